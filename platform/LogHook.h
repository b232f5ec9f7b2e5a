#pragma once

#include "jx_platform_export.h"

#include <QString>

#include <cstdint>

namespace jx {

class ILogWriter;

// The kind of an entry that records what a user did (an operation record).
constexpr int32_t kLogOperationKind = 48;

// The process-wide log writer hook: start-up installs the writer, shutdown
// removes it; any module of the process reaches the same writer through it.
class JX_PLATFORM_EXPORT LogHook final
{
public:
    static void setWriter(ILogWriter *writer);
    // Null while no log is set up.
    static ILogWriter *writer();

    // The operation record's text; user name and message escaped by the writer.
    static QString operationRecord(int32_t programNumber, const QString &encodedUser, const QString &encodedMessage);
    // Writes an operation record for `user` through the installed writer;
    // false when none is installed.
    static bool writeOperation(const QString &source, int32_t programNumber, const QString &user, const QString &message);
};

} // namespace jx
