#include "console/workspace/TabPages.h"

#include "controls/Panel.h"
#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"
#include "platform/Numeric.h"

namespace jx {

TabPages::TabPages(qvcontrols::VSTabCtl &tabs, qvcontrols::Panel *diagram, qvcontrols::Panel *firstPage)
    : m_tabs(tabs), m_diagram(diagram)
{
    m_pages.push_back(firstPage);
}

int TabPages::pageOfKey(const QString &key)
{
    return clng(val(key.mid(key.lastIndexOf(u'-') + 1)));
}

QString TabPages::codeOfKey(const QString &key)
{
    // Up to the first dash: a code holding one never finds its tab again,
    // so each opening of it gets a tab of its own.
    const qsizetype dash = key.indexOf(u'-');
    return dash >= 0 ? key.left(dash) : QString();
}

QString TabPages::controlName(int page)
{
    return QStringLiteral("edit") + QString::number(page);
}

qvcontrols::Panel *TabPages::page(int index) const
{
    return index >= 0 && index < pageCount() ? m_pages[index] : nullptr;
}

int TabPages::tabOfCode(const QString &code) const
{
    for (int t = 1; t <= m_tabs.Count(); ++t) {
        const QString key = m_tabs.Tab(t)->Key();
        if (key.contains(u'-') && codeOfKey(key) == code)
            return t;
    }
    return 0;
}

int TabPages::tabOfControl(const QString &name) const
{
    for (int t = 2; t <= m_tabs.Count(); ++t)
        if (controlName(pageOfKey(m_tabs.Tab(t)->Key())).compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return 0;
}

int TabPages::selectedTab() const
{
    for (int t = 1; t <= m_tabs.Count(); ++t)
        if (m_tabs.Tab(t)->Selected())
            return t;
    return 0;
}

int TabPages::open(const QString &caption, const QString &code, QWidget *parent)
{
    const int n = ++m_counter;
    qvcontrols::VSTab *tab = m_tabs.Add(caption, code + QStringLiteral("-") + QString::number(n), false);
    tab->setClosable(false);
    // The page exists before the tab is entered, so entering shows it.
    const qvcontrols::Panel *before = m_pages.back();
    auto *page = new qvcontrols::Panel(parent);
    page->setObjectName(QStringLiteral("picHolder_%1").arg(n));
    page->Move(before->Left(), before->Top(), before->Width(), before->Height());
    page->setBackColor(before->BackColor());
    page->setForeColor(before->ForeColor());
    page->setAccessibleName(caption);
    m_pages.push_back(page);
    page->show();
    m_current = n;
    m_tabs.select(tab);
    m_tabs.Refresh();
    return n;
}

void TabPages::close(int index)
{
    // The diagram page's tab is never closed.
    if (index < 2 || index > m_tabs.Count())
        return;
    if (m_tabs.Tab(index)->Selected())
        m_tabs.select(m_tabs.Tab(index - 1));
    m_tabs.Remove(index);
    if (m_tabs.Count() == 1) {
        m_diagram->show();
        showDiagramTab(true);
        m_diagram->raise();
    }
    m_tabs.Refresh();
}

void TabPages::leave(const qvcontrols::VSTab *tab) const
{
    if (!tab)
        return;
    if (tab->Index() == 1)
        m_diagram->hide();
    else if (qvcontrols::Panel *shown = page(pageOfKey(tab->Key())))
        shown->hide();
}

int TabPages::enter(const qvcontrols::VSTab *tab) const
{
    if (!tab)
        return 0;
    if (tab->Index() == 1) {
        m_diagram->show();
        m_diagram->raise();
        return 0;
    }
    const int n = pageOfKey(tab->Key());
    if (qvcontrols::Panel *shown = page(n)) {
        shown->show();
        shown->raise();
    }
    return n;
}

void TabPages::showDiagramTab(bool shown) const
{
    if (qvcontrols::VSTab *tab = m_tabs.Tab(1))
        if (tab->Hidden() == shown)
            tab->setHidden(!shown);
}

} // namespace jx
