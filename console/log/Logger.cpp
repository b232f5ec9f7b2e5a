#include "console/log/Logger.h"

#include "platform/ILogWriter.h"
#include "platform/LogHook.h"
#include "platform/com/RuntimeError.h"

#include <QtGlobal>

namespace jx {

namespace {
struct LoggerState
{
    std::function<QString()> subject;
    std::function<QString()> userName;
};

LoggerState &state()
{
    static LoggerState s;
    return s;
}

[[noreturn]] void objectRequired()
{
    throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("JxMain1"));
}
} // namespace

void Logger::SetWriter(ILogWriter *writer) { LogHook::setWriter(writer); }
ILogWriter *Logger::Writer() { return LogHook::writer(); }
void Logger::SetSubjectSource(std::function<QString()> subject) { state().subject = std::move(subject); }
void Logger::SetUserNameSource(std::function<QString()> userName) { state().userName = std::move(userName); }

QString Logger::source(const QString &given)
{
    if (!given.isEmpty())
        return given;
    if (!state().subject)
        objectRequired();
    const QString subject = state().subject();
    return subject.isEmpty() ? QStringLiteral("简衡软件") : subject;
}

void Logger::WriteLog(const QString &message, int32_t kind, const QString &src)
{
    if (!LogHook::writer())
        objectRequired();
    LogHook::writer()->Write(source(src), kind, message);
}

QString Logger::OperationRecord(int32_t programNumber, const QString &encodedUser, const QString &encodedMessage)
{
    return LogHook::operationRecord(programNumber, encodedUser, encodedMessage);
}

void Logger::WriteOperation(const QString &message, int32_t programNumber, const QString &src)
{
    if (!LogHook::writer() || !state().userName)
        objectRequired();
    ILogWriter *writer = LogHook::writer();
    const QString from = source(src);
    const QString user = state().userName();
    writer->Write(from, LogOperation, OperationRecord(programNumber, writer->Encode(user), writer->Encode(message)));
}

void Logger::WriteSwallowed(const QString &where, const std::exception &error) noexcept
{
    QString text;
    try {
        text = where + QStringLiteral("：") + com::errorDescription(error);
        WriteLog(text, LogWarning);
        return;
    } catch (const std::exception &logFailure) {
        qWarning("%s (%s)", qUtf8Printable(text.isEmpty() ? where : text), logFailure.what());
    }
}

} // namespace jx
