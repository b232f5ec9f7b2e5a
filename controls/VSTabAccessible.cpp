#include "controls/VSTabAccessible.h"

#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"

#include <QPointer>

namespace qvcontrols {

namespace {
QString selectAction()
{
    return QStringLiteral("select");
}
} // namespace

bool VSTabAccessible::isValid() const
{
    // The tab deletes this interface before it goes, so the pointer is live.
    return m_tab->owner() != nullptr;
}

QWindow *VSTabAccessible::window() const
{
    QAccessibleInterface *strip = parent();
    return strip ? strip->window() : nullptr;
}

QAccessibleInterface *VSTabAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(m_tab->owner());
}

QString VSTabAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? m_tab->Caption() : QString();
}

QRect VSTabAccessible::rect() const
{
    const VSTabCtl *strip = m_tab->owner();
    const QRect r = strip->tabRect(m_tab->Index());
    if (r.isEmpty())
        return {};
    return QRect(strip->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State VSTabAccessible::state() const
{
    const VSTabCtl *strip = m_tab->owner();
    QAccessible::State s;
    s.selectable = true;
    s.focusable = true;
    s.selected = m_tab->Selected();
    s.focused = s.selected && strip->hasFocus();
    s.invisible = m_tab->Hidden() || !strip->isVisible();
    s.offscreen = s.invisible;
    s.disabled = !strip->isEnabled();
    return s;
}

void *VSTabAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList VSTabAccessible::actionNames() const
{
    if (m_tab->Hidden() || !m_tab->owner()->isEnabled())
        return {};
    return {pressAction(), selectAction()};
}

void VSTabAccessible::doAction(const QString &actionName)
{
    if ((actionName != pressAction() && actionName != selectAction()) || actionNames().isEmpty())
        return;
    // Selected once the bus call has returned: entering a tab may open windows.
    QMetaObject::invokeMethod(
        m_tab->owner(),
        [owner = QPointer<VSTabCtl>(m_tab->owner()), tab = m_tab] {
            if (owner && owner->indexOf(tab) > 0)
                owner->activate(tab);
        },
        Qt::QueuedConnection);
}

} // namespace qvcontrols
