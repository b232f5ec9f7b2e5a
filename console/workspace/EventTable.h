#pragma once

#include "platform/com/Dispatchable.h"

#include <QString>

namespace jx {

class IFunctionHost;

// The events hosted function controls raise and what each does in its host.
// Names are compared without letter case; parameters are addressed from 0.
// Unknown events are ignored. A failure while handling one (a failing query,
// say) is raised on to the control.
class EventTable final
{
public:
    // `sender` is the name the raising control has in its host.
    static void Handle(IFunctionHost &host, const QString &sender, const QString &event, const com::DispArgs &params);
    // An event parameter read as a Boolean: True, -1 or any number but 0,
    // and the texts "True" / "-1".
    static bool isTrue(const VARIANT &value);
};

} // namespace jx
