#include "platform/com/DispatchImpl.h"

#include "platform/com/Dispatchable.h"

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
    return invokeMember(flags, params, result, excep, m.get, m.set);
}

} // namespace com
