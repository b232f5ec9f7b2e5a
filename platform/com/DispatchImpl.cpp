#include "platform/com/DispatchImpl.h"

namespace com {

void DispatchTable::add(const QString &name, DispGetter get, DispSetter set)
{
    m_members.push_back({name, std::move(get), std::move(set)});
}

DISPID DispatchTable::find(const QString &name) const
{
    for (size_t i = 0; i < m_members.size(); ++i) {
        if (m_members[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<DISPID>(i + 1);
    }
    return DISPID_UNKNOWN;
}

HRESULT DispatchTable::invoke(DISPID id, uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep) const
{
    if (id < 1 || static_cast<size_t>(id) > m_members.size())
        return DISP_E_MEMBERNOTFOUND;
    const Member &m = m_members[static_cast<size_t>(id - 1)];
    DispArgs args;
    VARIANT *newValue = nullptr;
    if (params) {
        // The platform passes arguments last to first; a property put passes its
        // value as the one named argument, first in the array.
        uint32_t positional = params->cArgs;
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (params->cArgs == 0)
                return DISP_E_BADPARAMCOUNT;
            newValue = &params->rgvarg[0];
            --positional;
        }
        for (uint32_t i = 0; i < positional; ++i)
            args.push_back(&params->rgvarg[params->cArgs - 1 - i]);
    }
    try {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!m.set)
                return DISP_E_MEMBERNOTFOUND;
            m.set(args, *newValue);
            return S_OK;
        }
        if (!m.get)
            return DISP_E_MEMBERNOTFOUND;
        Variant value = m.get(args);
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
        const RuntimeError err(440, QString(), QString::fromLocal8Bit(e.what()));
        fillExcepInfo(excep, err);
        setErrorInfo({err.number(), err.source(), err.description()});
        return DISP_E_EXCEPTION;
    }
}

} // namespace com
