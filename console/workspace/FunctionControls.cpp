#include "console/workspace/FunctionControls.h"

#include "console/log/Logger.h"
#include "console/workspace/EventTable.h"
#include "console/workspace/MenuKind.h"

#include "components/context/AppContext.h"
#include "components/log/OperatorNotice.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/com/LateBound.h"

namespace jx {

namespace {

// An answer that reads as False: the Boolean False, the number 0 or the
// texts "False" / "0". Nothing else (an empty result, say) keeps a control.
bool saysFalse(const VARIANT &value)
{
    const QVariant v = com::toQVariant(value);
    if (v.typeId() == QMetaType::Bool)
        return !v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString text = trimBlanks(v.toString());
        return text.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0 || text == u"0";
    }
    bool numeric = false;
    const double number = v.toDouble(&numeric);
    return numeric && number == 0;
}

// A failing question is noted for whoever reads the log, never shown: the
// user is closing, and the control lets him.
void noteFailedQuestion(const QString &why)
{
    try {
        WriteLog(QStringLiteral("询问功能能否关闭时出错:") + why, LogProgress);
    } catch (const std::exception &) {
    }
}

} // namespace

QString FunctionControls::ClassFor(int32_t kind)
{
    switch (kind) {
    case MenuKind::Edit:
    case MenuKind::Edit2:
        return QStringLiteral("JxEdit.oedit");
    case MenuKind::Report:
        return QStringLiteral("JxEdit.oReport");
    case MenuKind::ReportEntry:
        return QStringLiteral("JxEdit.oeditrpt");
    case MenuKind::Query:
        return QStringLiteral("JxEdit.oquery");
    case MenuKind::Overview:
        return QStringLiteral("JxEdit.ooverview");
    case MenuKind::Agenda:
        return QStringLiteral("JxEdit.oagenda");
    case MenuKind::Alert:
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

bool FunctionControls::QueryClose(IDispatch *control)
{
    if (!control)
        return true;
    // The control may raise "unload" while it asks, and its host remove it.
    const com::ComPtr<IDispatch> keep(control);
    try {
        return !saysFalse(com::invoke(control, QStringLiteral("QueryClose"), DISPATCH_METHOD));
    } catch (const com::RuntimeError &e) {
        if (e.number() != com::errors::MemberNotFound)
            noteFailedQuestion(e.description());
    } catch (...) {
        noteFailedQuestion(com::currentErrorDescription());
    }
    return true;
}

bool FunctionControls::NeedsRunRight(int32_t programNumber, int32_t kind)
{
    switch (kind) {
    case MenuKind::Edit:
    case MenuKind::Report:
    case MenuKind::ReportEntry:
    case MenuKind::Query:
    case MenuKind::Overview:
    case MenuKind::Edit2:
    case MenuKind::Agenda:
        // Number 0 is a directory.
        return programNumber > 0;
    default:
        return false;
    }
}

bool FunctionControls::MayOpen(::AppContext *context, int32_t programNumber, int32_t kind, const QString &menuName)
{
    // Without a context nothing opens anyway.
    if (!NeedsRunRight(programNumber, kind) || !context)
        return true;
    if (context->Rights(programNumber).Allowed(1))
        return true;
    const QString text = QStringLiteral("您没有使用“") + menuName + QStringLiteral("”的权限，请与系统管理员联系。");
    const QString title = QStringLiteral("提示：");
    msgBox(text, Exclamation, title);
    try {
        // The box above is the one the user sees; the log keeps the record only.
        const OperatorNotice::AlreadyShown shown(text);
        WriteLog(text, LogNotice, title);
    } catch (const std::exception &) {
    }
    return false;
}

} // namespace jx
