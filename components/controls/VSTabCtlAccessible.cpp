#include "components/controls/VSTabCtlAccessible.h"

#include "components/controls/VSTabCtl.h"

namespace qvcontrols {

VSTabCtlAccessible::VSTabCtlAccessible(VSTabCtl *strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}

VSTabCtl *VSTabCtlAccessible::strip() const
{
    return static_cast<VSTabCtl *>(widget());
}

int VSTabCtlAccessible::childCount() const
{
    return strip()->Count();
}

QAccessibleInterface *VSTabCtlAccessible::child(int index) const
{
    VSTab *tab = strip()->Tab(index + 1);
    return tab ? tab->accessible() : nullptr;
}

int VSTabCtlAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int i = 1; i <= strip()->Count(); ++i) {
        if (strip()->Tab(i)->accessible() == child)
            return i - 1;
    }
    return -1;
}

QAccessibleInterface *VSTabCtlAccessible::childAt(int x, int y) const
{
    const QPoint local = strip()->mapFromGlobal(QPoint(x, y));
    for (int i = 1; i <= strip()->Count(); ++i) {
        if (strip()->tabRect(i).contains(local))
            return strip()->Tab(i)->accessible();
    }
    return nullptr;
}

QAccessibleInterface *VSTabCtlAccessible::focusChild() const
{
    VSTab *selected = strip()->SelectedTab();
    return strip()->hasFocus() && selected ? selected->accessible() : nullptr;
}

} // namespace qvcontrols
