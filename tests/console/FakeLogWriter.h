#pragma once

// A log writer that keeps the entries it is handed, so tests can read what
// the console logged. Everything else in the console tests is the real thing.

#include "components/log/TextEncoder.h"
#include "platform/ILogWriter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure output for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace jxtest {

struct LoggedEntry
{
    QString source;
    int kind;
    QString message;
};

class FakeLogWriter final : public jx::ILogWriter
{
public:
    void LoadConfig(const QString &configFileName) override { configFile = configFileName; }
    void Init() override { ++inits; }
    void Write(const QString &source, int32_t kind, const QString &message) override
    {
        entries.append({source, kind, message});
        if (onWrite)
            onWrite(message);
    }
    // The product's own encoder, so records read as the product writes them.
    QString Encode(const QString &text) override { return TextEncoder().Encode(text); }

    QStringList messagesOfKind(int kind) const
    {
        QStringList out;
        for (const LoggedEntry &e : entries)
            if (e.kind == kind)
                out << e.message;
        return out;
    }
    QString lastMessage() const { return entries.isEmpty() ? QString() : entries.last().message; }
    int lastKind() const { return entries.isEmpty() ? 0 : entries.last().kind; }

    QList<LoggedEntry> entries;
    QString configFile;
    int inits = 0;
    // Runs after an entry is recorded; lets a test act (or fail) at a given point.
    std::function<void(const QString &)> onWrite;
};

} // namespace jxtest
