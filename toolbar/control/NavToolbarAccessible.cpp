#include "toolbar/control/NavToolbarAccessible.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/NavToolbarButtonAccessible.h"

#include <algorithm>
#include <bit>

namespace qvtoolbar {

NavToolbarAccessible::NavToolbarAccessible(NavToolbar *bar)
    : QAccessibleWidget(bar, QAccessible::ToolBar)
{
    // What is there now is known; later changes are reported by Sync.
    m_seen = Snapshot();
}

NavToolbarAccessible::~NavToolbarAccessible()
{
    for (const auto &[item, id] : m_children)
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface *NavToolbarAccessible::Factory(const QString &className, QObject *object)
{
    if (className != QLatin1String("qvtoolbar::NavToolbar") || !object || !object->isWidgetType())
        return nullptr;
    auto *bar = static_cast<NavToolbar *>(object);
    bar->m_accessibleMade = true;
    return new NavToolbarAccessible(bar);
}

NavToolbar *NavToolbarAccessible::Bar() const
{
    return static_cast<NavToolbar *>(widget());
}

QString NavToolbarAccessible::text(QAccessible::Text t) const
{
    QString s = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && s.isEmpty())
        s = QStringLiteral("工具栏");
    return s;
}

std::vector<ItemRef> NavToolbarAccessible::Buttons() const
{
    std::vector<ItemRef> shown;
    for (const ItemRef &b : Bar()->Buttons())
        if (b && b->Visible() && b->btnType() == Button)
            shown.push_back(b);
    return shown;
}

int32_t NavToolbarAccessible::PositionOf(const clsToolbarItem *item) const
{
    int32_t i = 0;
    for (const ItemRef &b : Bar()->Buttons()) {
        ++i;
        if (b.get() == item)
            return i;
    }
    return 0;
}

QAccessibleInterface *NavToolbarAccessible::InterfaceFor(const ItemRef &item) const
{
    for (const auto &[known, id] : m_children)
        if (known.lock() == item)
            return QAccessible::accessibleInterface(id);
    auto *iface = new NavToolbarButtonAccessible(Bar(), item);
    m_children.emplace_back(item, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

void NavToolbarAccessible::Forget(const clsToolbarItem *item)
{
    std::erase_if(m_children, [item](const auto &entry) {
        const ItemRef known = entry.first.lock();
        if (known && known.get() != item)
            return false;
        QAccessible::deleteAccessibleInterface(entry.second);
        return true;
    });
}

int NavToolbarAccessible::childCount() const
{
    return int(Buttons().size());
}

QAccessibleInterface *NavToolbarAccessible::child(int index) const
{
    const std::vector<ItemRef> shown = Buttons();
    if (index < 0 || size_t(index) >= shown.size())
        return nullptr;
    return InterfaceFor(shown[size_t(index)]);
}

int NavToolbarAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *button = dynamic_cast<const NavToolbarButtonAccessible *>(child);
    const ItemRef item = button ? button->Item() : nullptr;
    if (!item)
        return -1;
    const std::vector<ItemRef> shown = Buttons();
    const auto it = std::find(shown.begin(), shown.end(), item);
    return it == shown.end() ? -1 : int(it - shown.begin());
}

QAccessibleInterface *NavToolbarAccessible::childAt(int x, int y) const
{
    const QPoint p = Bar()->mapFromGlobal(QPoint(x, y));
    for (const ItemRef &b : Buttons())
        if (p.x() >= b->BoundsLeft() && p.x() < b->BoundsRight() && p.y() >= b->BoundsTop() && p.y() < b->BoundsBottom())
            return InterfaceFor(b);
    return nullptr;
}

QAccessibleInterface *NavToolbarAccessible::focusChild() const
{
    NavToolbar *bar = Bar();
    if (!bar->hasFocus())
        return nullptr;
    const ItemRef focused = bar->FocusedPosition() > 0 ? bar->Buttons().Item(bar->FocusedPosition()) : nullptr;
    if (!focused || !focused->Visible() || focused->btnType() != Button)
        return nullptr;
    return InterfaceFor(focused);
}

std::vector<NavToolbarAccessible::Seen> NavToolbarAccessible::Snapshot() const
{
    std::vector<Seen> seen;
    for (const ItemRef &b : Buttons()) {
        QAccessibleInterface *iface = InterfaceFor(b);
        seen.push_back({b, iface->text(QAccessible::Name), iface->text(QAccessible::Description), iface->state()});
    }
    return seen;
}

void NavToolbarAccessible::Sync()
{
    std::vector<Seen> now = Snapshot();
    auto find = [](const std::vector<Seen> &list, const ItemRef &item) {
        return std::find_if(list.begin(), list.end(), [&item](const Seen &s) { return s.item.lock() == item; });
    };
    // Gone: a button removed or hidden, or the whole set replaced.
    std::vector<ItemRef> keptOld;
    for (const Seen &old : m_seen) {
        const ItemRef item = old.item.lock();
        if (item && find(now, item) != now.end()) {
            keptOld.push_back(item);
            continue;
        }
        if (item) {
            QAccessibleEvent gone(InterfaceFor(item), QAccessible::ObjectDestroyed);
            QAccessible::updateAccessibility(&gone);
        }
        Forget(item.get());
    }
    std::vector<ItemRef> keptNow;
    for (const Seen &s : now) {
        const ItemRef item = s.item.lock();
        const auto old = find(m_seen, item);
        if (old == m_seen.end()) {
            QAccessibleEvent created(InterfaceFor(item), QAccessible::ObjectCreated);
            QAccessible::updateAccessibility(&created);
            continue;
        }
        keptNow.push_back(item);
        QAccessibleInterface *iface = InterfaceFor(item);
        if (old->name != s.name) {
            QAccessibleEvent e(iface, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&e);
        }
        if (old->description != s.description) {
            QAccessibleEvent e(iface, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&e);
        }
        if (!(old->state == s.state)) {
            const auto changed = std::bit_cast<quint64>(old->state) ^ std::bit_cast<quint64>(s.state);
            QAccessibleStateChangeEvent e(iface, std::bit_cast<QAccessible::State>(changed));
            QAccessible::updateAccessibility(&e);
            if (s.state.focused && !old->state.focused) {
                QAccessibleEvent focus(iface, QAccessible::Focus);
                QAccessible::updateAccessibility(&focus);
            }
        }
    }
    if (keptOld != keptNow) {
        QAccessibleEvent reorder(Bar(), QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    m_seen = std::move(now);
}

} // namespace qvtoolbar
