#include "components/log/LogWriter.h"

#include "components/log/LogSink.h"
#include "components/log/OperatorNotice.h"
#include "components/xml/XmlDocument.h"
#include "platform/PathMapper.h"
#include "platform/com/Result.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

LogWriter::LogWriter() = default;

LogWriter &LogWriter::instance()
{
    static LogWriter writer;
    return writer;
}

bool LogWriter::LoadConfig(const QString &configFileName)
{
    const QDir programDir = QFileInfo(jx::toLocalPath(configFileName)).absoluteDir();
    m_folder = programDir.filePath(QStringLiteral("log"));
    m_show = true;
    XmlDocument doc;
    if (!doc.Load(configFileName)) {
        m_lastError = doc.lastError();
        return false;
    }
    QString folder = doc.GetAttribute(QStringLiteral("/configuration/log"), QStringLiteral("folder")).toString().trimmed();
    folder.replace(u'\\', u'/');
    if (!folder.isEmpty())
        m_folder = jx::toLocalPath(QFileInfo(folder).isRelative() ? programDir.filePath(folder) : folder);
    const QVariant show = doc.GetAttribute(QStringLiteral("/configuration/log"), QStringLiteral("show"));
    if (!show.isNull())
        m_show = show.toString().trimmed() != QStringLiteral("0");
    m_lastError.clear();
    return true;
}

QVariant LogWriter::Init(QObject *, LogSink *sink)
{
    m_sink = sink;
    return true;
}

QString LogWriter::fileFor(const QDate &day) const
{
    QString folder = m_folder;
    if (folder.isEmpty())
        folder = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("log"));
    return QDir(folder).filePath(day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log"));
}

namespace {
// Appends one line; a failure says why it cannot.
jx::Result<> appendLine(const QString &path, const QByteArray &line)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return jx::fail(QStringLiteral("cannot write log file %1: %2").arg(path, file.errorString()));
    if (file.write(line) < 0 || !file.flush())
        return jx::fail(QStringLiteral("cannot write log file %1: %2").arg(path, file.errorString()));
    return {};
}
} // namespace

QString LogWriter::fallbackFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return data.isEmpty() ? QDir::temp().filePath(QStringLiteral("jx-log")) : QDir(data).filePath(QStringLiteral("log"));
}

QVariant LogWriter::Write(const LogEntry &entry, int)
{
    if (m_sink)
        m_sink->Receive(entry);

    // One line per entry; line breaks inside the message are kept visible but harmless.
    QString message = entry.message();
    message.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    const QByteArray line = (entry.time().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + u'\t'
                             + QString::number(entry.kind()) + u'\t' + entry.source() + u'\t' + message + u'\n')
                                .toUtf8();
    const QString path = fileFor(entry.time().date());
    const auto appended = appendLine(path, line);
    const bool written = appended.ok();
    m_lastError = appended.error();
    if (!written) {
        // The audit trail is not dropped: the entry goes to the user's own data
        // folder, and the operator hears about it once per log folder.
        const QString spare = QDir(fallbackFolder()).filePath(QFileInfo(path).fileName());
        const bool kept = spare != path && appendLine(spare, line).ok();
        if (m_unwritableFolder != m_folder) {
            m_unwritableFolder = m_folder;
            const QString text = kept
                ? QStringLiteral("日志文件夹%1无法写入，日志暂时记录在%2").arg(QFileInfo(path).absolutePath(), QFileInfo(spare).absolutePath())
                : QStringLiteral("日志文件夹%1无法写入，日志没有记录：%2").arg(QFileInfo(path).absolutePath(), m_lastError);
            OperatorNotice::show(OperatorNotice::Icon::Exclamation, QStringLiteral("日志"), text);
        }
    }

    OperatorNotice::Icon icon;
    if (m_show && OperatorNotice::iconForKind(entry.kind(), icon))
        OperatorNotice::show(icon, entry.source(), entry.message());
    return written;
}
