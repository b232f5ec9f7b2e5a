#pragma once

#include "toolbar/control/clsItems.h"

#include <QAccessibleWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace qvtoolbar {

class NavToolbar;

// What assistive technology sees of a NavToolbar: a tool bar whose children
// are its visible buttons (separators and hidden buttons are none), each
// with its caption as name, its tip as description, its state and its press
// action. Qt's accessibility cache owns it; the buttons' interfaces are
// owned by it.
class NavToolbarAccessible final : public QAccessibleWidget
{
public:
    explicit NavToolbarAccessible(NavToolbar *bar);
    ~NavToolbarAccessible() override;

    // The factory that Qt asks for every object's interface.
    static QAccessibleInterface *Factory(const QString &className, QObject *object);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // The buttons that are children, in display order.
    std::vector<ItemRef> Buttons() const;
    // 1-based position of the button in the bar's collection, 0 when gone.
    int32_t PositionOf(const clsToolbarItem *item) const;
    NavToolbar *Bar() const;
    // Compares the buttons with what was last reported and raises the
    // accessibility events for what changed: children created, destroyed
    // or reordered, names, descriptions, states, and the focus.
    void Sync();

private:
    struct Seen
    {
        std::weak_ptr<clsToolbarItem> item;
        QString name;
        QString description;
        QAccessible::State state;
    };

    QAccessibleInterface *InterfaceFor(const ItemRef &item) const;
    void Forget(const clsToolbarItem *item);
    std::vector<Seen> Snapshot() const;

    // The buttons' interfaces, registered with Qt's cache.
    mutable std::vector<std::pair<std::weak_ptr<clsToolbarItem>, QAccessible::Id>> m_children;
    std::vector<Seen> m_seen;
};

} // namespace qvtoolbar
