#pragma once

#include "controls/zLibControl.h"

#include "platform/com/Dispatchable.h"

namespace qvcontrols {

// The archive control as an automation object: ExtractArchive(archive,
// folder, six flags) and LastError, for hosts that create it by class name.
class zLibObject final : public com::Dispatchable<zLibObject>
{
public:
    static const com::MemberTable<zLibObject> &members();

private:
    zLibControl m_control;
};

} // namespace qvcontrols
