#pragma once

// The work of the daily backup, apart from its automation face: reads the
// installation's database description, copies the database into the backup
// folder at most once per day and keeps the newest copies. Several
// installations may share one folder: a copy's name carries the identity of
// the database it was taken from ("jx-1a2b3c4d-20261205.db"), and each
// installation counts and removes only copies of its own database.

#include "platform/com/Result.h"

#include <QDate>
#include <QString>
#include <QStringList>

class DatabaseBackup
{
public:
    static constexpr int kDefaultKeep = 7;

    // configFile: the installation's configuration file; the database node and
    // this plug-in's own entry (keep, folder) are read from it.
    DatabaseBackup(QString configFile, QString appPath, QString progId);

    // Makes today's copy unless it exists, then removes all but the newest
    // `Keep()` copies. False with the reason in Error(); nothing is lost then
    // (a partial copy is removed, older copies stay).
    bool Run(const QDate &today = QDate::currentDate());

    // Reads the installation's database description and this plug-in's own
    // entry; False with the reason in Error(). Run does it itself.
    bool Load();
    bool IsSqlite() const { return m_driver == QLatin1String("sqlite"); }
    QString SqliteFile() const { return m_sqliteFile; }
    QString PgDatabase() const { return m_pgDatabase; }
    // "<base>-<id>": how every copy of this database is named, then the
    // date, then Suffix() (".db" for SQLite, ".sql" for a PostgreSQL dump).
    QString Stem() const;
    QString Suffix() const;
    // One copy of the database into `target` (SQLite's online backup, or
    // pg_dump). False with the reason in Error(); no partial file is left.
    bool CopyTo(const QString &target);

    QString Error() const { return m_error; }
    // The copy made or found by the last Run; "" when none.
    QString BackupFile() const { return m_backupFile; }
    // True when the last Run found today's copy already there.
    bool AlreadyDone() const { return m_alreadyDone; }
    int Keep() const { return m_keep; }
    QString Folder() const { return m_folder; }

    // Copies an SQLite database through SQLite's online backup, so a copy
    // taken while another connection writes is one consistent state. The
    // target is written under a temporary name and renamed when complete.
    static jx::Result<> CopySqlite(const QString &source, const QString &target);
    // Removes the files "<stem>-yyyyMMdd<suffix>" of `folder` except the newest
    // `keep`; returns the names removed. Other files are never touched, among
    // them copies named before names carried the database's identity: whose
    // they are cannot be told, so they are left for the operator.
    static QStringList Prune(const QString &folder, const QString &stem, const QString &suffix, int keep);
    // Eight hex digits standing for one database: its SQLite file, or its
    // server and name. The same database gives the same digits on every run.
    static QString Identity(const QString &what);
    // What the last Run noticed without failing (a setting it could not use).
    QStringList Notes() const { return m_notes; }

private:
    bool readConfiguration();
    bool dumpPostgres(const QString &target);

    QString m_configFile;
    QString m_appPath;
    QString m_progId;
    QString m_driver;
    QString m_sqliteFile;
    QStringList m_pgArguments;
    QString m_pgDatabase;
    QString m_identity;
    QStringList m_notes;
    QString m_folder;
    int m_keep = kDefaultKeep;
    QString m_error;
    QString m_backupFile;
    bool m_alreadyDone = false;
};
