#pragma once

#include "platform/com/ComPtr.h"
#include "platform/com/Variant.h"

#include <QString>

#include <cstdint>
#include <vector>

class AppContext;

namespace jx {

// The function controls by kind of entry, and the one way hosts start them,
// ask them to close and check the user's right to open them.
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
    // Asks a hosted control before its host closes it (QueryClose). False
    // only when the control answers False: the user chose to keep it. A
    // control without the member, or whose call fails, may be closed.
    static bool QueryClose(IDispatch *control);
    // Whether the signed-in user may run the function entry (kinds 100, 101,
    // 102, 103, 105 with a program number; other entries are not checked
    // here). When not, says so in one message box, logs it as a notice and
    // answers false: the caller opens nothing.
    static bool MayOpen(::AppContext *context, int32_t programNumber, int32_t kind, const QString &menuName);
    // Whether opening the entry asks for the run right at all.
    static bool NeedsRunRight(int32_t programNumber, int32_t kind);
};

} // namespace jx
