#include "platform/com/LateBound.h"

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RuntimeError.h"

namespace com {

Variant invoke(IDispatch *object, const QString &name, uint16_t flags, std::vector<VARIANT> args)
{
    if (!object)
        throw RuntimeError::of(errors::ObjectRequired);
    BSTR bname = toBstr(name);
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(GUID_NULL, &bname, 1, 0, &id);
    SysFreeString(bname);
    if (FAILED(hr)) {
        clearErrorInfo();
        throw RuntimeError::of(errors::MemberNotFound);
    }
    // The callee expects the arguments last to first.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID putId = -3; // DISPID_PROPERTYPUT
    DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO excep{};
    clearErrorInfo();
    hr = object->Invoke(id, GUID_NULL, 0, flags, &params, &result, &excep, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        const ErrorRecord r = takeErrorInfo();
        QString source = fromBstr(excep.bstrSource);
        QString description = fromBstr(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        int32_t number = errorNumberFromHresult(excep.scode);
        if (description.isEmpty())
            description = r.description;
        if (source.isEmpty())
            source = r.source;
        if (number == 0)
            number = r.number;
        throw RuntimeError(number, source, description);
    }
    throwIfFailed(hr);
    return result;
}

Variant call(IDispatch *object, const QString &name, const std::vector<Variant> &args)
{
    std::vector<VARIANT> raw(args.begin(), args.end()); // shallow: `args` keeps ownership
    return invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, raw);
}

Variant get(IDispatch *object, const QString &name)
{
    return invoke(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
}

void put(IDispatch *object, const QString &name, const Variant &value)
{
    invoke(object, name, DISPATCH_PROPERTYPUT, {static_cast<const VARIANT &>(value)});
}

Variant getPath(IDispatch *object, const QString &dottedPath)
{
    const QStringList parts = dottedPath.split(QLatin1Char('.'));
    ComPtr<IDispatch> current(object);
    Variant value;
    for (int i = 0; i < parts.size(); ++i) {
        value = get(current.get(), parts[i]);
        if (i + 1 < parts.size())
            current = objectOf(value);
    }
    return value;
}

VARIANT byRef(BSTR *variable)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = variable;
    return v;
}

VARIANT byRef(IDispatch **variable)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH | VT_BYREF;
    v.ppdispVal = variable;
    return v;
}

VARIANT byRef(VARIANT *variable)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = variable;
    return v;
}

VARIANT byRef(int32_t *variable)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = variable;
    return v;
}

VARIANT byRef(int16_t *variable)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2 | VT_BYREF;
    v.piVal = variable;
    return v;
}

ComPtr<IDispatch> objectOf(const Variant &value)
{
    IDispatch *d = asDispatch(value);
    if (!d) {
        if (IUnknown *u = asUnknown(value)) {
            ComPtr<IDispatch> out;
            if (SUCCEEDED(u->QueryInterface(IID_IDispatch, out.putVoid())))
                return out;
        }
        throw RuntimeError::of(errors::ObjectRequired);
    }
    return ComPtr<IDispatch>(d);
}

} // namespace com
