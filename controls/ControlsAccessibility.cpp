#include "controls/ControlsAccessibility.h"

#include "controls/NavPanel.h"
#include "controls/PressableAccessible.h"
#include "controls/VSTabCtl.h"
#include "controls/VSTabCtlAccessible.h"
#include "controls/dLinkLabel.h"
#include "controls/qvPilot_S.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QToolButton>

namespace qvcontrols {

namespace {

// Qt asks with the most derived class name first, then each base class.
QAccessibleInterface *controlsFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("qvcontrols::VSTabCtl"))
        return new VSTabCtlAccessible(static_cast<VSTabCtl *>(object));
    if (className == QLatin1String("qvcontrols::qvPilot_S")) {
        auto *node = static_cast<qvPilot_S *>(object);
        return new PressableAccessible(node, [node] { node->Activate(); });
    }
    if (className == QLatin1String("qvcontrols::dLinkLabel")) {
        auto *label = static_cast<dLinkLabel *>(object);
        return new PressableAccessible(label, [label] { label->Activate(); });
    }
    // A window of its own that is a plain widget (a function window) would be
    // a filler; it is a frame named by its title, as main windows are.
    if (className == QLatin1String("QWidget") && static_cast<QWidget *>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    // The group buttons are checkable to show the selected group, which Qt
    // would announce as check boxes without a press.
    if (className == QLatin1String("QToolButton") && qobject_cast<NavPanel *>(object->parent())) {
        auto *group = static_cast<QToolButton *>(object);
        return new PressableAccessible(group, [group] { group->click(); });
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    // Qt keeps one entry per factory, so a second call adds nothing.
    QAccessible::installFactory(controlsFactory);
}

} // namespace qvcontrols
