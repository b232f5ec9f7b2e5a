#pragma once

// What the 数据备份 function does with one installation's copies: lists them,
// makes one now and puts one back. Knows nothing of widgets.

#include "platform/com/Result.h"

#include <QDateTime>
#include <QString>

#include <vector>

class DatabaseBackup;

class BackupCatalog final
{
public:
    struct Copy
    {
        QString file;      // full path
        QDateTime taken;   // from the name: the day (at 00:00) or the moment of a copy made by hand
        qint64 size = 0;
        bool byHand = false;
    };

    // `backup` has been loaded (DatabaseBackup::Load) and outlives the catalog.
    explicit BackupCatalog(DatabaseBackup &backup) : m_backup(backup) {}

    // This database's copies in the backup folder, newest first: the daily
    // ones and those made by hand. Other installations' copies are not listed.
    std::vector<Copy> Copies() const;

    // A copy made now, named with the time of day as well, so it never takes
    // the place of the day's copy and pruning leaves it alone.
    bool CopyNow(const QDateTime &now);
    // The copy the last CopyNow or Restore made.
    QString LastCopy() const { return m_lastCopy; }

    // Puts `copy` in place of the SQLite database: the copy is checked first
    // (refused when damaged or not a product database), then the database as
    // it stands is copied by hand, then the copy's content replaces it in one
    // transaction, so a failure leaves the database as it was. PostgreSQL
    // dumps are refused with what restoring one needs.
    bool Restore(const QString &copy, const QDateTime &now);

    // The confirmation question, naming what will be replaced by what.
    QString RestoreQuestion(const Copy &copy) const;

    QString Error() const { return m_error; }

    // A file that SQLite opens, whose pages pass its quick check and that
    // holds the product's menu and user tables.
    static jx::Result<> CheckSqliteCopy(const QString &file);

private:
    bool restoreSqlite(const QString &copy);

    DatabaseBackup &m_backup;
    QString m_lastCopy;
    QString m_error;
};
