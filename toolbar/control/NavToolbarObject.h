#pragma once

#include "platform/com/Dispatchable.h"
#include "toolbar/control/NavToolbarIds.h"

#include <QPointer>

namespace qvtoolbar {

class NavToolbar;

// NavToolbar as the library's class factory hands it to automation hosts:
// the control (a top-level window until the host re-parents it) behind its
// default interface _NavToolbar. Its events go to the object put into
// "EventSink" (the event interface __NavToolbar, by dispatch identifier).
class NavToolbarObject final : public com::Dispatchable<NavToolbarObject>
{
public:
    static constexpr IID kInterfaceIid = IID__NavToolbar;
    static const com::MemberTable<NavToolbarObject> &members();

    NavToolbarObject();
    ~NavToolbarObject();
    NavToolbarObject(const NavToolbarObject &) = delete;
    NavToolbarObject &operator=(const NavToolbarObject &) = delete;

    NavToolbar *control() const;

private:
    // The control for a member; refuses once the host's window has deleted it.
    NavToolbar *live() const;

    // Deleted with this object while it has no parent; a host that gave it
    // a parent window leaves it to that window.
    QPointer<NavToolbar> m_control;
};

} // namespace qvtoolbar
