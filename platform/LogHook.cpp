#include "platform/LogHook.h"

#include "platform/ILogWriter.h"

#include <atomic>

namespace jx {

namespace {
std::atomic<ILogWriter *> &slot()
{
    static std::atomic<ILogWriter *> current{nullptr};
    return current;
}
} // namespace

void LogHook::setWriter(ILogWriter *writer)
{
    slot().store(writer);
}

ILogWriter *LogHook::writer()
{
    return slot().load();
}

QString LogHook::operationRecord(int32_t programNumber, const QString &encodedUser, const QString &encodedMessage)
{
    return QStringLiteral("<log>") + QStringLiteral("<progid>") + QString::number(programNumber)
        + QStringLiteral("</progid>") + QStringLiteral("<user>") + encodedUser + QStringLiteral("</user>")
        + QStringLiteral("<message>") + encodedMessage + QStringLiteral("</message>") + QStringLiteral("</log>");
}

bool LogHook::writeOperation(const QString &source, int32_t programNumber, const QString &user, const QString &message)
{
    ILogWriter *w = writer();
    if (!w)
        return false;
    w->Write(source, kLogOperationKind, operationRecord(programNumber, w->Encode(user), w->Encode(message)));
    return true;
}

} // namespace jx
