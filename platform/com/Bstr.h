#pragma once

// Automation strings: UTF-16 characters preceded by a 4-byte byte length and
// followed by a NUL, the pointer pointing at the first character. They cross
// library boundaries; inside a module the product uses QString. A null BSTR
// and an empty one mean the same.

#include "platform/com/ComTypes.h"

#include <QString>

extern "C" {
QVCOM_EXPORT BSTR SysAllocString(const OLECHAR *psz);
QVCOM_EXPORT BSTR SysAllocStringLen(const OLECHAR *pch, uint32_t cch);
QVCOM_EXPORT void SysFreeString(BSTR bstr);
QVCOM_EXPORT uint32_t SysStringLen(BSTR bstr);
}

namespace com {

QVCOM_EXPORT BSTR toBstr(const QString &text);
QVCOM_EXPORT QString fromBstr(const BSTR bstr);

} // namespace com
