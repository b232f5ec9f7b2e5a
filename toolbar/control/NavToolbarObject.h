#pragma once

#include "platform/com/DispatchImpl.h"

#include <QPointer>

namespace qvtoolbar {

class NavToolbar;

// NavToolbar as the library's class factory hands it to automation hosts:
// the control (a top-level window until the host re-parents it) behind its
// default interface _NavToolbar. Its events go to the object put into
// "EventSink" (the event interface __NavToolbar, by dispatch identifier).
class NavToolbarObject final : public com::DispatchImpl<IDispatch>
{
public:
    NavToolbarObject();
    ~NavToolbarObject() override;

    NavToolbar *control() const;

private:
    // Deleted with this object while it has no parent; a host that gave it
    // a parent window leaves it to that window.
    QPointer<NavToolbar> m_control;
};

} // namespace qvtoolbar
