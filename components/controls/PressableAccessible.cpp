#include "components/controls/PressableAccessible.h"

#include <QWidget>

namespace qvcontrols {

PressableAccessible::PressableAccessible(QWidget *widget, std::function<void()> press)
    : QAccessibleWidget(widget, QAccessible::Button), m_press(std::move(press))
{
}

QStringList PressableAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled())
        names.prepend(pressAction());
    return names;
}

void PressableAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction()) {
        if (widget()->isEnabled())
            m_press();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QStringList PressableAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

} // namespace qvcontrols
