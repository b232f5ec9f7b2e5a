#include "toolbar/control/NavToolbarButtonAccessible.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/NavToolbarAccessible.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace qvtoolbar {

NavToolbarButtonAccessible::NavToolbarButtonAccessible(NavToolbar *bar, const ItemRef &item)
    : m_bar(bar)
    , m_item(item)
{
}

ItemRef NavToolbarButtonAccessible::Item() const
{
    ItemRef item = m_item.lock();
    if (!item || !m_bar)
        return nullptr;
    // Still one of the bar's shown buttons (reading stored properties
    // replaces them all).
    for (const ItemRef &b : m_bar->Buttons())
        if (b == item)
            return item->Visible() && item->btnType() == Button ? item : nullptr;
    return nullptr;
}

bool NavToolbarButtonAccessible::isValid() const
{
    return Item() != nullptr;
}

QObject *NavToolbarButtonAccessible::object() const
{
    return nullptr; // painted, not a widget of its own
}

QWindow *NavToolbarButtonAccessible::window() const
{
    return m_bar ? m_bar->window()->windowHandle() : nullptr;
}

QAccessibleInterface *NavToolbarButtonAccessible::parent() const
{
    return m_bar ? QAccessible::queryAccessibleInterface(m_bar.data()) : nullptr;
}

QAccessibleInterface *NavToolbarButtonAccessible::child(int) const
{
    return nullptr;
}

int NavToolbarButtonAccessible::childCount() const
{
    return 0;
}

int NavToolbarButtonAccessible::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

QAccessibleInterface *NavToolbarButtonAccessible::childAt(int, int) const
{
    return nullptr;
}

QString NavToolbarButtonAccessible::text(QAccessible::Text t) const
{
    const ItemRef item = Item();
    if (!item)
        return QString();
    switch (t) {
    case QAccessible::Name:
        // A button showing only its icon is known by its tip.
        return item->Caption().isEmpty() ? item->TooltipText() : item->Caption();
    case QAccessible::Description:
        return item->TooltipText();
    default:
        return QString();
    }
}

void NavToolbarButtonAccessible::setText(QAccessible::Text, const QString &)
{
}

QRect NavToolbarButtonAccessible::rect() const
{
    const ItemRef item = Item();
    if (!item)
        return QRect();
    const QPoint topLeft = m_bar->mapToGlobal(QPoint(item->BoundsLeft(), item->BoundsTop()));
    return QRect(topLeft, QSize(item->BoundsRight() - item->BoundsLeft(), item->BoundsBottom() - item->BoundsTop()));
}

QAccessible::Role NavToolbarButtonAccessible::role() const
{
    const ItemRef item = Item();
    return item && item->Style() == CheckButton ? QAccessible::CheckBox : QAccessible::PushButton;
}

QAccessible::State NavToolbarButtonAccessible::state() const
{
    QAccessible::State s;
    const ItemRef item = Item();
    if (!item) {
        s.invalid = true;
        return s;
    }
    s.disabled = !item->Enabled();
    s.focusable = item->Enabled();
    s.pressed = item->State() == STA_PRESSED;
    s.hotTracked = item->State() == STA_OVER;
    if (item->Style() == CheckButton) {
        s.checkable = true;
        s.checked = item->Value();
    }
    s.hasPopup = item->Style() == DropdownButton;
    if (m_bar->hasFocus() && m_bar->FocusedPosition() > 0)
        s.focused = m_bar->Buttons().Item(m_bar->FocusedPosition()) == item;
    return s;
}

void *NavToolbarButtonAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList NavToolbarButtonAccessible::actionNames() const
{
    const ItemRef item = Item();
    if (!item || !item->Enabled())
        return {};
    switch (item->Style()) {
    case CheckButton:
        return {toggleAction()};
    case DropdownButton:
        return {pressAction(), showMenuAction()};
    default:
        return {pressAction()};
    }
}

void NavToolbarButtonAccessible::doAction(const QString &actionName)
{
    const ItemRef item = Item();
    if (!item)
        return;
    int32_t position = 0;
    int32_t i = 0;
    for (const ItemRef &b : m_bar->Buttons()) {
        ++i;
        if (b == item)
            position = i;
    }
    const bool arrow = actionName == showMenuAction() && item->Style() == DropdownButton;
    if (!arrow && actionName != pressAction() && actionName != toggleAction())
        return;
    // Pressed once the bus call has returned, as Qt's own buttons are: a
    // command that opens a modal window must not hold the caller's reply.
    // The bar refuses a disabled button then, as it does for the mouse.
    QMetaObject::invokeMethod(
        m_bar,
        [bar = QPointer<NavToolbar>(m_bar), position, arrow] {
            if (bar)
                bar->PressButton(position, arrow);
        },
        Qt::QueuedConnection);
}

QStringList NavToolbarButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == showMenuAction())
        return {QStringLiteral("Down")};
    if (actionName == pressAction() || actionName == toggleAction())
        return {QStringLiteral("Space")};
    return {};
}

} // namespace qvtoolbar
