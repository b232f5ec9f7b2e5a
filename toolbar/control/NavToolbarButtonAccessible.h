#pragma once

#include "toolbar/control/clsItems.h"

#include <QAccessibleInterface>
#include <QPointer>

#include <memory>

namespace qvtoolbar {

class NavToolbar;

// One painted button of a NavToolbar as assistive technology sees it:
// a push button (a check box for a check button) named by its caption,
// pressed through the same path as a click with the mouse.
class NavToolbarButtonAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    NavToolbarButtonAccessible(NavToolbar *bar, const ItemRef &item);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    // The button, null once it has left the bar.
    ItemRef Item() const;

private:
    QPointer<NavToolbar> m_bar;
    std::weak_ptr<clsToolbarItem> m_item;
};

} // namespace qvtoolbar
