#include "platform/com/Bstr.h"

#include <cstdlib>
#include <limits>

extern "C" {

BSTR SysAllocStringLen(const OLECHAR *pch, uint32_t cch)
{
    if (cch > (std::numeric_limits<uint32_t>::max() - 8) / sizeof(OLECHAR))
        return nullptr;
    const uint32_t bytes = cch * sizeof(OLECHAR);
    auto *block = static_cast<char *>(std::malloc(sizeof(uint32_t) + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    std::memcpy(block, &bytes, sizeof(uint32_t));
    auto *chars = reinterpret_cast<OLECHAR *>(block + sizeof(uint32_t));
    if (pch)
        std::memcpy(chars, pch, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[cch] = 0;
    return chars;
}

BSTR SysAllocString(const OLECHAR *psz)
{
    if (!psz)
        return nullptr;
    uint32_t n = 0;
    while (psz[n])
        ++n;
    return SysAllocStringLen(psz, n);
}

void SysFreeString(BSTR bstr)
{
    if (bstr)
        std::free(reinterpret_cast<char *>(bstr) - sizeof(uint32_t));
}

uint32_t SysStringLen(BSTR bstr)
{
    if (!bstr)
        return 0;
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<char *>(bstr) - sizeof(uint32_t), sizeof(uint32_t));
    return bytes / sizeof(OLECHAR);
}

} // extern "C"

namespace com {

BSTR toBstr(const QString &text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), static_cast<uint32_t>(text.size()));
}

QString fromBstr(const BSTR bstr)
{
    if (!bstr)
        return QString();
    return QString::fromUtf16(bstr, static_cast<qsizetype>(SysStringLen(bstr)));
}

} // namespace com
