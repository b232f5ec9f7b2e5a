#include "platform/ErrorText.h"

#include "platform/AnsiCodec.h"
#include "platform/ILogWriter.h"
#include "platform/LogHook.h"
#include "platform/com/RuntimeError.h"

#include <QByteArray>
#include <QStringDecoder>

namespace jx {

namespace {
// The kind of a warning entry in the product's log.
constexpr int32_t kLogWarningKind = 4;
} // namespace

QString errorText(const std::exception &error)
{
    if (const auto *rt = dynamic_cast<const com::RuntimeError *>(&error))
        return rt->description();
    const QByteArray bytes(error.what());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromAnsi(bytes);
}

QString currentErrorText()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return errorText(e);
    } catch (...) {
        return QString();
    }
}

void logSwallowed(const QString &where) noexcept
{
    try {
        QString what = currentErrorText();
        if (what.isEmpty())
            what = QStringLiteral("未知错误");
        const QString text = where + QStringLiteral("：") + what;
        if (ILogWriter *writer = LogHook::writer())
            writer->Write(where, kLogWarningKind, text);
        else
            qWarning("%s", qUtf8Printable(text));
    } catch (...) {
        // The log itself failed: standard error is all that is left.
        qWarning("%s", qUtf8Printable(where));
    }
}

} // namespace jx
