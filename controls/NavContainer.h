#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QPointer>
#include <QScrollBar>
#include <QWidget>

#include <cstdint>

namespace qvcontrols {

// qvNavigationPanel.NavContainer: the area of the navigation panel that holds
// the selected group's content (the console's menu buttons, placed in twips).
// Content taller than the area scrolls: with the wheel, the scroll bar at the
// right, PageUp/PageDown and Home/End (which also move the focus to the
// first/last button), and by itself to show whichever child gets the focus.
// Scrolling moves the children, so their geometry stays in the area's own
// coordinates and a child placed below another lands below it.
class JX_CONTROLS_EXPORT NavContainer final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
public:
    explicit NavContainer(QWidget *parent = nullptr);

    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t ole);

    // Pixels scrolled from the top, 0 to maximumScroll().
    int scrollOffset() const { return m_offset; }
    int maximumScroll() const;
    void scrollTo(int offset);
    // Scrolls the least that shows `child` whole (its top when it is taller).
    void ensureVisible(const QWidget *child);
    // While many children are removed, added and placed: nothing is painted
    // and the scroll bar is set once, at resumeLayout. Calls nest.
    void suspendLayout();
    void resumeLayout();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void childEvent(QChildEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The shown children, top to bottom, without the scroll bar.
    QList<QWidget *> content() const;
    int contentHeight() const;
    void updateScrollBar();
    void focusChild(QWidget *child);
    // True when the wheel turn scrolled the list.
    bool scrollByWheel(const QWheelEvent &event);

    int32_t m_backColor = 0xFAF0E6;
    int m_offset = 0;
    bool m_shifting = false;
    int m_suspended = 0;
    QPointer<QScrollBar> m_bar;
};

} // namespace qvcontrols
