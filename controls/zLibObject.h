#pragma once

#include "jx_controls_export.h"

#include "controls/zLibControl.h"

#include "platform/com/Dispatchable.h"

namespace qvcontrols {

// The archive control as an automation object: ExtractArchive(archive,
// folder, six flags) and LastError, for hosts that create it by class name.
class JX_CONTROLS_EXPORT zLibObject final : public com::Dispatchable<zLibObject>
{
public:
    static const com::MemberTable<zLibObject> &members();

private:
    zLibControl m_control;
};

} // namespace qvcontrols
