#pragma once

#include "platform/com/Dispatchable.h"
#include "toolbar/control/NavToolbarIds.h"
#include "toolbar/control/clsItems.h"

namespace qvtoolbar {

// A button as automation hosts see it in the control's events: its
// properties by name, read and written on the button itself.
class clsToolbarItemDispatch final : public com::Dispatchable<clsToolbarItemDispatch>
{
public:
    static constexpr IID kInterfaceIid = IID__clsToolbarItem;
    static const com::MemberTable<clsToolbarItemDispatch> &members();

    explicit clsToolbarItemDispatch(ItemRef item) : m_item(std::move(item)) {}
    const ItemRef &item() const { return m_item; }

private:
    ItemRef m_item;
};

} // namespace qvtoolbar
