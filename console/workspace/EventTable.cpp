#include "console/workspace/EventTable.h"

#include "console/log/Logger.h"
#include "console/workspace/IFunctionHost.h"
#include "console/workspace/MenuQueries.h"

#include "platform/Numeric.h"
#include "platform/com/LateBound.h"

namespace jx {

namespace {

QVariant param(const com::DispArgs &params, size_t index)
{
    return index < params.size() && params[index] ? com::toQVariant(*params[index]) : QVariant();
}

com::Variant paramVariant(const com::DispArgs &params, size_t index)
{
    if (index < params.size() && params[index])
        return com::Variant::copyOf(com::deref(*params[index]));
    return com::Variant();
}

} // namespace

bool EventTable::isTrue(const VARIANT &value)
{
    const QVariant v = com::toQVariant(value);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString text = trimBlanks(v.toString());
        if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
            return true;
        bool numeric = false;
        const double number = text.toDouble(&numeric);
        return numeric && number != 0;
    }
    bool numeric = false;
    const double number = v.toDouble(&numeric);
    return numeric && number != 0;
}

void EventTable::Handle(IFunctionHost &host, const QString &sender, const QString &event, const com::DispArgs &params)
{
    const QString name = event.toLower();
    const bool window = host.IsFunctionWindow();
    if (name == u"message") {
        host.ShowMessage(toText(param(params, 0)));
    } else if (name == u"errmessage") {
        WriteLog(toText(param(params, 0)), clng(val(toText(param(params, 1)))), toText(param(params, 2)));
    } else if (name == u"unload") {
        if (!params.empty() && params[0] && isTrue(*params[0]))
            host.CloseRequested(sender);
        else
            host.SetUnloadRequested(false);
    } else if (name == u"detaile") {
        host.OpenFunctionWindow(MenuQueries::programNumber(param(params, 0)),
                                com::Variant::fromDouble(val(toText(param(params, 1)))), nullptr, 0);
    } else if (name == u"detailes" || (name == u"detailerpt" && !window)) {
        host.OpenFunctionWindow(MenuQueries::programNumber(param(params, 0)), paramVariant(params, 1), nullptr, 0);
    } else if (name == u"detailerpt") {
        const com::Variant object = paramVariant(params, 1);
        host.OpenFunctionWindow(MenuQueries::programNumber(param(params, 0)), com::Variant(),
                                com::asDispatch(object), 0);
    } else if (name == u"filenew" && !window) {
        host.OpenFunctionWindow(MenuQueries::programNumber(param(params, 0)), com::Variant::fromInt16(0), nullptr, 1);
    } else if (name == u"fileedit" && !window) {
        host.OpenFunctionWindow(MenuQueries::programNumber(param(params, 0)),
                                com::Variant::fromDouble(val(toText(param(params, 1)))), nullptr, 2);
    }
}

} // namespace jx
