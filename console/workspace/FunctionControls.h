#pragma once

#include "platform/com/ComPtr.h"
#include "platform/com/Variant.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace jx {

// The function controls by kind of entry, and the one way hosts start them.
class FunctionControls final
{
public:
    // The class of the function control for a kind of entry; empty when the
    // kind has none.
    static QString ClassFor(int32_t kind);
    // Calls Py_Init(context, configuration, program number, extra...) on the
    // control, every argument by reference. Afterwards `context` and
    // `configuration` hold what the control left in them. The Boolean result;
    // raises what the control raises.
    static bool PyInit(IDispatch *control, com::ComPtr<IDispatch> &context, com::ComPtr<IDispatch> &configuration,
                       int32_t programNumber, std::vector<VARIANT> extra);
};

} // namespace jx
