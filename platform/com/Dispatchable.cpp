#include "platform/com/Dispatchable.h"

#include <cmath>

namespace com {

HRESULT invokeMember(uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep,
                     const std::function<Variant(const DispArgs &)> &get,
                     const std::function<void(const DispArgs &, const VARIANT &)> &set)
{
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    DispArgs args;
    VARIANT *newValue = nullptr;
    if (params) {
        // The platform passes arguments last to first; a property put passes its
        // value as the one named argument, first in the array.
        uint32_t positional = params->cArgs;
        if (put) {
            if (params->cArgs == 0)
                return DISP_E_BADPARAMCOUNT;
            newValue = &params->rgvarg[0];
            --positional;
        }
        for (uint32_t i = 0; i < positional; ++i)
            args.push_back(&params->rgvarg[params->cArgs - 1 - i]);
    }
    try {
        if (put) {
            if (!set)
                return DISP_E_MEMBERNOTFOUND;
            set(args, *newValue);
            return S_OK;
        }
        if (!get)
            return DISP_E_MEMBERNOTFOUND;
        Variant value = get(args);
        if (result) {
            VariantClear(result);
            *result = value.detach();
        }
        return S_OK;
    } catch (const RuntimeError &e) {
        fillExcepInfo(excep, e);
        setErrorInfo({e.number(), e.source(), e.description()});
        return DISP_E_EXCEPTION;
    } catch (const std::exception &e) {
        const RuntimeError err(errors::AutomationError, QString(), QString::fromLocal8Bit(e.what()));
        fillExcepInfo(excep, err);
        setErrorInfo({err.number(), err.source(), err.description()});
        return DISP_E_EXCEPTION;
    }
}

namespace {
// An omitted optional argument arrives as VT_ERROR (DISP_E_PARAMNOTFOUND) or not at all.
const VARIANT *present(const DispArgs &args, int index)
{
    if (index < 0 || index >= static_cast<int>(args.size()) || !args[static_cast<size_t>(index)])
        return nullptr;
    const VARIANT &v = deref(*args[static_cast<size_t>(index)]);
    if (v.vt == VT_ERROR || v.vt == VT_EMPTY)
        return nullptr;
    return &v;
}
} // namespace

int argCount(const DispArgs &args)
{
    return static_cast<int>(args.size());
}

QString argText(const DispArgs &args, int index, const QString &fallback)
{
    const VARIANT *v = present(args, index);
    if (!v)
        return fallback;
    if (v->vt == VT_BOOL)
        return v->boolVal ? QStringLiteral("True") : QStringLiteral("False");
    if (v->vt == VT_NULL)
        throw RuntimeError::of(94);
    return toQVariant(*v).toString();
}

int32_t argInt(const DispArgs &args, int index, int32_t fallback)
{
    const VARIANT *v = present(args, index);
    if (!v)
        return fallback;
    switch (v->vt) {
    case VT_I2:
        return v->iVal;
    case VT_I4:
        return v->lVal;
    case VT_BOOL:
        return v->boolVal ? -1 : 0;
    case VT_R4:
    case VT_R8: {
        const double d = v->vt == VT_R4 ? v->fltVal : v->dblVal;
        if (d >= 2147483647.5 || d < -2147483648.5)
            throw RuntimeError::of(errors::Overflow);
        return static_cast<int32_t>(std::nearbyint(d));
    }
    case VT_BSTR: {
        bool ok = false;
        const double d = toQVariant(*v).toString().trimmed().toDouble(&ok);
        if (!ok)
            throw RuntimeError::of(errors::TypeMismatch);
        if (d >= 2147483647.5 || d < -2147483648.5)
            throw RuntimeError::of(errors::Overflow);
        return static_cast<int32_t>(std::nearbyint(d));
    }
    default:
        throw RuntimeError::of(errors::TypeMismatch);
    }
}

bool argBool(const DispArgs &args, int index, bool fallback)
{
    const VARIANT *v = present(args, index);
    if (!v)
        return fallback;
    if (v->vt == VT_BOOL)
        return v->boolVal != 0;
    if (v->vt == VT_BSTR) {
        const QString t = toQVariant(*v).toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return argInt(args, index, 0) != 0;
}

IDispatch *argObject(const DispArgs &args, int index)
{
    const VARIANT *v = present(args, index);
    return v ? asDispatch(*v) : nullptr;
}

void requireArgs(const DispArgs &args, int count)
{
    for (int i = 0; i < count; ++i)
        if (!present(args, i))
            throw RuntimeError::of(errors::ArgumentNotOptional);
}

} // namespace com
