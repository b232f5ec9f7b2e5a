#pragma once

#include "jx_controls_export.h"

#include "controls/NavItem.h"
#include "controls/TwipsGeometry.h"

#include <QVariantList>
#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QToolButton;

namespace qvcontrols {

// qvNavigationPanel.NavPanel: the group bar. From the top: a header with the
// selected group's caption, the selected group's container, the large group
// buttons (VisibleItems of them, in collection order) and a row of small
// icon buttons for the groups that do not fit, as in the group bars users
// know. Items are addressed by key or by 1-based index.
class JX_CONTROLS_EXPORT NavPanel final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(int VisibleItems READ VisibleItems WRITE setVisibleItems)
    Q_PROPERTY(bool Redraw READ Redraw WRITE setRedraw)
    Q_PROPERTY(int Count READ Count)
public:
    explicit NavPanel(QWidget *parent = nullptr);
    ~NavPanel() override;

    // Adds a group; a key already in use raises a com::RuntimeError.
    NavItem *Add(const QString &caption, const QString &key, const QPixmap &picture, QWidget *container,
                 bool visible = true);
    int Count() const { return static_cast<int>(m_items.size()); }
    // 1-based; null when out of range.
    NavItem *Item(int index) const;
    // Exact key; null when there is none.
    NavItem *Item(const QString &key) const;
    void Clear();

    NavItem *SelectedItem() const { return m_selected; }
    // Selecting another item raises SelectionChanged, whoever selects it.
    void setSelectedItem(NavItem *item);

    // Number of large group buttons; groups beyond it collapse into the icon
    // row. Reads back what was set (or dragged), also when there are fewer groups.
    int VisibleItems() const { return m_visibleItems; }
    void setVisibleItems(int count);

    // Off: changes are collected and laid out once when it is switched on.
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // Where the grip between content and group buttons is; dragging it
    // shows more or fewer large buttons.
    QRect gripRect() const;

signals:
    void SelectionChanged(qvcontrols::NavItem *item);
    void Event(const QString &name, const QVariantList &params);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void rebuild();
    void relayout();
    int largeTop() const;

    std::vector<std::unique_ptr<NavItem>> m_items;
    NavItem *m_selected = nullptr;
    int m_visibleItems = 3;
    bool m_redraw = true;
    bool m_dirty = false;
    bool m_dragging = false;
    QLabel *m_header = nullptr;
    std::vector<QToolButton *> m_large;
    std::vector<QToolButton *> m_small;
};

} // namespace qvcontrols
