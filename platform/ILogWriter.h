#pragma once

#include "jx_platform_export.h"

#include <QString>

#include <cstdint>

namespace jx {

// The log writer as the product drives it: one call per finished entry.
// Installed once per process through LogHook, so a library loaded by the
// console writes into the same log.
class JX_PLATFORM_EXPORT ILogWriter
{
public:
    virtual void LoadConfig(const QString &configFileName) = 0;
    virtual void Init() = 0;
    virtual void Write(const QString &source, int32_t kind, const QString &message) = 0;
    // Escapes a message so that it stays well-formed inside an operation record.
    virtual QString Encode(const QString &text) = 0;

protected:
    ~ILogWriter() = default;
};

} // namespace jx
