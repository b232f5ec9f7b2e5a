#pragma once

#include "jxedit/FunctionControl.h"

namespace jxedit {

class GridView;

/// "JxEdit.oalert": today's work for the signed-in agent: follow-ups due,
/// contracts whose payment or hand-over date is within a week, and listings
/// without a follow-up for 30 days. Py_Init(context, configuration, program number).
class AlertControl final : public FunctionControl
{
public:
    AlertControl();
    GridView *grid() const { return m_grid; }

protected:
    bool start(const com::DispArgs &args) override;

private:
    bool reload();
    GridView *m_grid;
};

} // namespace jxedit
