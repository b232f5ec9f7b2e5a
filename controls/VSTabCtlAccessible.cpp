#include "controls/VSTabCtlAccessible.h"

#include "controls/VSTabCtl.h"

namespace qvcontrols {

VSTabCtlAccessible::VSTabCtlAccessible(VSTabCtl *strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}

VSTabCtl *VSTabCtlAccessible::strip() const
{
    // Null once the strip is being destroyed (the bridge may still ask then):
    // its tabs are gone before the widget tells the bridge it goes.
    return qobject_cast<VSTabCtl *>(widget());
}

int VSTabCtlAccessible::childCount() const
{
    return strip() ? strip()->Count() : 0;
}

QAccessibleInterface *VSTabCtlAccessible::child(int index) const
{
    VSTab *tab = strip() ? strip()->Tab(index + 1) : nullptr;
    return tab ? tab->accessible() : nullptr;
}

int VSTabCtlAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int i = 1; i <= childCount(); ++i) {
        if (strip()->Tab(i)->accessible() == child)
            return i - 1;
    }
    return -1;
}

QAccessibleInterface *VSTabCtlAccessible::childAt(int x, int y) const
{
    if (!strip())
        return nullptr;
    const QPoint local = strip()->mapFromGlobal(QPoint(x, y));
    for (int i = 1; i <= strip()->Count(); ++i) {
        if (strip()->tabRect(i).contains(local))
            return strip()->Tab(i)->accessible();
    }
    return nullptr;
}

QAccessibleInterface *VSTabCtlAccessible::focusChild() const
{
    VSTab *selected = strip() ? strip()->SelectedTab() : nullptr;
    return selected && strip()->hasFocus() ? selected->accessible() : nullptr;
}

} // namespace qvcontrols
