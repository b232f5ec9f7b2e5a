#pragma once

#include "jx_components_export.h"

#include "components/log/LogEntry.h"

#include <QString>
#include <QVariant>

#include <optional>

class LogSink;
class QObject;

/// Process-wide log writer. Entries are appended, one line each, to
/// <folder>/<yyyy-MM-dd>.log; kinds 2, 4 and 8 are also shown to the operator
/// (OperatorNotice) with the source as title.
///
/// Settings in the configuration file (all optional):
///   <configuration><log folder="log" show="1"/></configuration>
/// folder is relative to the folder of the configuration file (default "log");
/// show="0" keeps notices out of message boxes.
class JX_COMPONENTS_EXPORT LogWriter
{
public:
    static LogWriter &instance();

    /// Reads the settings from the configuration file. False when the file cannot be read
    /// (the defaults stay in force).
    bool LoadConfig(const QString &configFileName);
    QVariant Init(QObject *application, LogSink *sink);
    /// Writes one entry; false when the log file cannot be written. The entry is
    /// then kept in fallbackFolder(), and the operator is told once per folder.
    QVariant Write(const LogEntry &entry, int flags = 0);

    QString folder() const { return m_folder; }
    void setFolder(const QString &folder) { m_folder = folder; }
    void setShowNotices(bool show) { m_show = show; }
    /// Detaches the sink (at shutdown).
    void detachSink() { m_sink = nullptr; }
    /// Full path of the file an entry of the given day goes to.
    QString fileFor(const QDate &day) const;
    QString lastError() const { return m_lastError; }
    /// Where entries go while the configured folder cannot be written.
    static QString fallbackFolder();

private:
    LogWriter();
    QString m_folder;
    QString m_lastError;
    std::optional<QString> m_unwritableFolder; // the folder the operator was last told about
    LogSink *m_sink = nullptr;
    bool m_show = true;
};
