#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>

namespace jx {

class ILogWriter;

// Kinds of log entries.
enum LogKind : int32_t {
    LogProgress = 1,
    LogNotice = 2,
    LogWarning = 4,
    LogError = 8,
    LogOperation = 48,
};

// Builds log entries and operation records and hands them to the log writer.
class Logger final
{
public:
    // Wiring done by start-up and undone by shutdown. Without a writer, or
    // without the configuration / current user after shutdown, the routines
    // raise the "object required" run-time error.
    static void SetWriter(ILogWriter *writer);
    static ILogWriter *Writer();
    static void SetSubjectSource(std::function<QString()> subject);
    static void SetUserNameSource(std::function<QString()> userName);

    static void WriteLog(const QString &message, int32_t kind, const QString &source = QString());
    static void WriteOperation(const QString &message, int32_t programNumber, const QString &source = QString());
    // For code that must not let an error out (a layout step, a click):
    // what it swallowed goes to the log as a warning, "where：description",
    // or to Qt's warning channel while no log is wired (before start-up,
    // after shutdown).
    static void WriteSwallowed(const QString &where, const std::exception &error) noexcept;

    // The record text; the user name is escaped like the message so that a
    // name holding "<" or "&" cannot break the record.
    static QString OperationRecord(int32_t programNumber, const QString &encodedUser, const QString &encodedMessage);

private:
    static QString source(const QString &given);
};

// Shorthands used throughout the console.
inline void WriteLog(const QString &message, int32_t kind, const QString &source = QString())
{
    Logger::WriteLog(message, kind, source);
}
inline void WriteOperation(const QString &message, int32_t programNumber, const QString &source = QString())
{
    Logger::WriteOperation(message, programNumber, source);
}

} // namespace jx
