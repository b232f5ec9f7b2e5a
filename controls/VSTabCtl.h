#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"
#include "controls/VSTab.h"

#include <QVariantList>
#include <QWidget>

#include <memory>
#include <vector>

namespace qvcontrols {

// qvVSTabs.qvVSTabCtl: a strip of keyed tabs under the work area's pages.
// Changing the selection, by the user or by code, raises TabLeave for the tab
// left (when there was one) and then TabEnter for the tab entered. A close
// button or a middle click on a closable tab raises CloseRequested only: the
// host decides, and removes the tab itself when the function has closed.
// With the focus, Left and Right (also Ctrl+Tab / Ctrl+PageDown and
// Ctrl+Shift+Tab / Ctrl+PageUp, which wrap round) move to the neighbouring
// shown tab and Ctrl+W asks to close the selected one. Assistive technology
// sees a page tab list with one page tab per tab (VSTabCtlAccessible, through
// the controls' accessibility factory); the strip's accessible name is the
// selected tab's caption.
class JX_CONTROLS_EXPORT VSTabCtl final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)
public:
    explicit VSTabCtl(QWidget *parent = nullptr);
    ~VSTabCtl() override;

    // Adds a tab at the end; a key already in use raises a com::RuntimeError.
    VSTab *Add(const QString &caption, const QString &key, bool selected = false);
    // Removes without events; removing the selected tab leaves none selected.
    // Out-of-range indexes raise a com::RuntimeError.
    void Remove(int index);
    int Count() const { return static_cast<int>(m_tabs.size()); }
    // 1-based; null when out of range.
    VSTab *Tab(int index) const;
    VSTab *Tab(const QString &key) const;
    VSTab *SelectedTab() const { return m_selected; }
    // Lays the tabs out again and repaints.
    void Refresh();

    int indexOf(const VSTab *tab) const;
    void select(VSTab *tab);
    // What a click on the tab does (also the accessible press action).
    void activate(VSTab *tab);
    // Tells assistive technology about a change of one tab.
    void notifyAccessible(VSTab *tab, QAccessible::Event type);
    // Where the tab is drawn (empty when hidden); for tests and the gallery.
    QRect tabRect(int index) const;
    QRect closeRect(int index) const;

    QSize sizeHint() const override;

signals:
    void TabLeave(qvcontrols::VSTab *tab);
    void TabEnter(qvcontrols::VSTab *tab);
    void CloseRequested(qvcontrols::VSTab *tab);
    void Event(const QString &name, const QVariantList &params);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void layoutTabs();
    int tabAt(const QPoint &pos) const;
    void requestClose(VSTab *tab);
    // The next shown tab after (step 1) or before (-1) the selected one.
    VSTab *neighbour(int step, bool wrap) const;

    std::vector<std::unique_ptr<VSTab>> m_tabs;
    std::vector<QRect> m_rects;
    VSTab *m_selected = nullptr;
    int m_hover = 0;
};

} // namespace qvcontrols
