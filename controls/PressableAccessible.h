#pragma once

#include <QAccessibleWidget>

#include <functional>

namespace qvcontrols {

// A painted control the user acts on (a diagram node, a link label) as a
// push button: named as the widget is, with a press action that runs the
// control's own click path.
class PressableAccessible final : public QAccessibleWidget
{
public:
    PressableAccessible(QWidget *widget, std::function<void()> press);

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    std::function<void()> m_press;
};

} // namespace qvcontrols
