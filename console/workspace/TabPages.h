#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace qvcontrols {
class Panel;
class VSTab;
class VSTabCtl;
} // namespace qvcontrols

namespace jx {

// The work area's tabs and pages. Tab 1 is the diagram page; every further
// tab hosts one function on a page of its own, numbered by a running counter
// (page 0 is the design-time one, never a function's). A function tab's key
// is "<menu code>-<page>", and the control on that page is "edit<page>".
class TabPages final
{
public:
    TabPages(qvcontrols::VSTabCtl &tabs, qvcontrols::Panel *diagram, qvcontrols::Panel *firstPage);

    // The page a tab's key names (0 for the diagram tab's "key").
    static int pageOfKey(const QString &key);
    // The menu code a function tab's key names, up to its first dash; empty
    // for the diagram tab.
    static QString codeOfKey(const QString &key);
    // The name of the control hosted on a page.
    static QString controlName(int page);

    qvcontrols::VSTabCtl &tabs() const { return m_tabs; }
    // Null when out of range.
    qvcontrols::Panel *page(int index) const;
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const std::vector<qvcontrols::Panel *> &pages() const { return m_pages; }
    // The page of the function the operator works in.
    int current() const { return m_current; }
    void setCurrent(int page) { m_current = page; }
    // Function tabs made so far.
    int counter() const { return m_counter; }

    // The first tab showing that entry; 0 when none does.
    int tabOfCode(const QString &code) const;
    // The function tab whose page hosts the control of that name (any
    // letter case); 0 when none does.
    int tabOfControl(const QString &name) const;
    // The selected tab; 0 when none is.
    int selectedTab() const;

    // A new tab and page for an entry, selected, its page current; the page
    // lies where the last one lies and has its colours. Returns the page.
    int open(const QString &caption, const QString &code, QWidget *parent);
    // Removes function tab `index` (2 or above; others are left alone).
    // When it was the selected one its left neighbour is selected first;
    // another tab closing keeps the operator's selection. With the last
    // function gone the diagram page and its tab show again.
    void close(int index);

    // The page of a tab left is hidden; that of a tab entered is shown in
    // front. enter returns the function page entered, 0 for the diagram.
    void leave(const qvcontrols::VSTab *tab) const;
    int enter(const qvcontrols::VSTab *tab) const;
    // Shows or hides the diagram page's tab (hidden while a function shows
    // in place of the diagram).
    void showDiagramTab(bool shown) const;

private:
    qvcontrols::VSTabCtl &m_tabs;
    qvcontrols::Panel *m_diagram;
    std::vector<qvcontrols::Panel *> m_pages;
    int m_current = 0;
    int m_counter = 0;
};

} // namespace jx
