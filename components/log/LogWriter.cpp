#include "components/log/LogWriter.h"

#include "components/log/LogSink.h"
#include "components/log/OperatorNotice.h"
#include "components/xml/XmlDocument.h"
#include "platform/PathMapper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

QVariant LogWriter::Write(const LogEntry &entry, int)
{
    if (m_sink)
        m_sink->Receive(entry);

    bool written = false;
    const QString path = fileFor(entry.time().date());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        // One line per entry; line breaks inside the message are kept visible but harmless.
        QString message = entry.message();
        message.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        const QString line = entry.time().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + u'\t'
            + QString::number(entry.kind()) + u'\t' + entry.source() + u'\t' + message + u'\n';
        written = file.write(line.toUtf8()) >= 0 && file.flush();
        m_lastError = written ? QString() : file.errorString();
    } else {
        m_lastError = QStringLiteral("cannot write log file %1: %2").arg(path, file.errorString());
    }

    OperatorNotice::Icon icon;
    if (m_show && OperatorNotice::iconForKind(entry.kind(), icon))
        OperatorNotice::show(icon, entry.source(), entry.message());
    return written;
}
