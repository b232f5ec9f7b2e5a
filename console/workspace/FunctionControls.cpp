#include "console/workspace/FunctionControls.h"

#include "console/workspace/EventTable.h"

#include "platform/com/LateBound.h"

namespace jx {

QString FunctionControls::ClassFor(int32_t kind)
{
    switch (kind) {
    case 100:
    case 105:
        return QStringLiteral("JxEdit.oedit");
    case 101:
        return QStringLiteral("JxEdit.oReport");
    case 102:
        return QStringLiteral("JxEdit.oeditrpt");
    case 103:
        return QStringLiteral("JxEdit.oquery");
    case 220:
        return QStringLiteral("JxEdit.oalert");
    default:
        return {};
    }
}

bool FunctionControls::PyInit(IDispatch *control, com::ComPtr<IDispatch> &context,
                              com::ComPtr<IDispatch> &configuration, int32_t programNumber, std::vector<VARIANT> extra)
{
    // The variables the control may write through; each holds one reference.
    IDispatch *contextVar = context.detach();
    IDispatch *configVar = configuration.detach();
    int32_t number = programNumber;
    std::vector<VARIANT> args{com::byRef(&contextVar), com::byRef(&configVar), com::byRef(&number)};
    args.insert(args.end(), extra.begin(), extra.end());
    com::Variant result;
    try {
        result = com::invoke(control, QStringLiteral("Py_Init"), DISPATCH_METHOD, args);
    } catch (...) {
        context = com::ComPtr<IDispatch>::adopt(contextVar);
        configuration = com::ComPtr<IDispatch>::adopt(configVar);
        throw;
    }
    context = com::ComPtr<IDispatch>::adopt(contextVar);
    configuration = com::ComPtr<IDispatch>::adopt(configVar);
    return EventTable::isTrue(result);
}

} // namespace jx
