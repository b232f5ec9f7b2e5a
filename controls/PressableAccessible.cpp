#include "controls/PressableAccessible.h"

#include <QPointer>
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
        // Pressed once the bus call has returned, as Qt's own buttons are: a
        // click that opens a modal window must not hold the caller's reply.
        QMetaObject::invokeMethod(
            widget(),
            [target = QPointer<QWidget>(widget()), press = m_press] {
                if (target && target->isEnabled())
                    press();
            },
            Qt::QueuedConnection);
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
