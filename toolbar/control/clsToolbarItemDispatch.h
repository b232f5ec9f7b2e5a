#pragma once

#include "platform/com/DispatchImpl.h"
#include "toolbar/control/clsItems.h"

namespace qvtoolbar {

// A button as automation hosts see it in the control's events: its
// properties by name, read and written on the button itself.
class clsToolbarItemDispatch final : public com::DispatchImpl<IDispatch>
{
public:
    explicit clsToolbarItemDispatch(ItemRef item);
    const ItemRef &item() const { return m_item; }

private:
    ItemRef m_item;
};

} // namespace qvtoolbar
