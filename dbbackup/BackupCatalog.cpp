#include "dbbackup/BackupCatalog.h"

#include "dbbackup/DatabaseBackup.h"

#include "components/data/StatementFailure.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <sqlite3.h>

#include <memory>

namespace {

constexpr int kBusyWaitMs = 10000;

struct SqliteClose
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using SqlitePtr = std::unique_ptr<sqlite3, SqliteClose>;

jx::Result<SqlitePtr> openSqlite(const QString &file, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
    SqlitePtr owned(db);
    if (rc != SQLITE_OK)
        return jx::fail(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_busy_timeout(db, kBusyWaitMs);
    return owned;
}

// The first column of the statement's first row as text; empty when none.
QString firstValue(sqlite3 *db, const char *sql, bool *ok)
{
    sqlite3_stmt *s = nullptr;
    QString value;
    *ok = sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK;
    if (*ok) {
        const int rc = sqlite3_step(s);
        *ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
        if (rc == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    return value;
}

QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::Chinese, QLocale::China).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

std::vector<BackupCatalog::Copy> BackupCatalog::Copies() const
{
    const QRegularExpression own(QStringLiteral("^") + QRegularExpression::escape(m_backup.Stem())
                                 + QStringLiteral("-(\\d{8})(?:-(\\d{6}))?") + QRegularExpression::escape(m_backup.Suffix())
                                 + QStringLiteral("$"));
    std::vector<Copy> out;
    const QDir dir(m_backup.Folder());
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files)) {
        const QRegularExpressionMatch m = own.match(info.fileName());
        if (!m.hasMatch())
            continue;
        const QDate day = QDate::fromString(m.captured(1), QStringLiteral("yyyyMMdd"));
        const QTime time = m.captured(2).isEmpty() ? QTime(0, 0) : QTime::fromString(m.captured(2), QStringLiteral("HHmmss"));
        if (!day.isValid() || !time.isValid())
            continue;
        out.push_back({info.absoluteFilePath(), QDateTime(day, time), info.size(), !m.captured(2).isEmpty()});
    }
    std::sort(out.begin(), out.end(), [](const Copy &a, const Copy &b) {
        return a.taken != b.taken ? a.taken > b.taken : a.file > b.file;
    });
    return out;
}

bool BackupCatalog::CopyNow(const QDateTime &now)
{
    m_error.clear();
    m_lastCopy.clear();
    const QString target = QDir(m_backup.Folder())
                               .filePath(m_backup.Stem() + u'-' + now.toString(QStringLiteral("yyyyMMdd-HHmmss"))
                                         + m_backup.Suffix());
    if (QFileInfo::exists(target)) {
        m_error = QStringLiteral("这一秒已经做过一份备份：%1").arg(target);
        return false;
    }
    if (!m_backup.CopyTo(target)) {
        m_error = m_backup.Error();
        return false;
    }
    m_lastCopy = target;
    return true;
}

QString BackupCatalog::RestoreQuestion(const Copy &copy) const
{
    const QString when = copy.byHand ? copy.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                     : copy.taken.date().toString(QStringLiteral("yyyy-MM-dd"));
    return QStringLiteral("将用 %1 的备份（%2，%3）替换当前数据库 %4 的全部内容，此后录入的数据将不再存在。\n\n"
                          "替换之前会先为当前数据库另做一份备份。是否继续？")
        .arg(when, QFileInfo(copy.file).fileName(), sizeText(copy.size), QDir::toNativeSeparators(m_backup.SqliteFile()));
}

jx::Result<> BackupCatalog::CheckSqliteCopy(const QString &file)
{
    const QString damaged = QStringLiteral("备份文件已损坏，不能用来恢复：");
    auto opened = openSqlite(file, SQLITE_OPEN_READONLY);
    if (!opened)
        return jx::fail(damaged + opened.error());
    const SqlitePtr db = std::move(opened).value();
    bool ok = false;
    const QString check = firstValue(db.get(), "pragma quick_check", &ok);
    if (!ok || check != u"ok")
        return jx::fail(damaged + (ok ? check : QString::fromUtf8(sqlite3_errmsg(db.get()))));
    const QString tables = firstValue(
        db.get(), "select count(*) from sqlite_master where type='table' and lower(name) in ('xt_menu','jx_user')", &ok);
    if (!ok || tables != u"2")
        return jx::fail(QStringLiteral("这个文件不是本系统的数据库备份，不能用来恢复"));
    return {};
}

bool BackupCatalog::Restore(const QString &copy, const QDateTime &now)
{
    m_error.clear();
    m_lastCopy.clear();
    if (!m_backup.IsSqlite()) {
        m_error = QStringLiteral("PostgreSQL 数据库不能在这里恢复。备份 %1 是 pg_dump 导出的脚本；恢复需要数据库管理员在服务器上"
                                 "建立一个空数据库，再用 psql -d <数据库名> -f \"%1\" 导入，然后把配置文件中的数据库名改为它。")
                      .arg(QDir::toNativeSeparators(copy));
        return false;
    }
    if (const auto sound = CheckSqliteCopy(copy); !sound) {
        m_error = sound.error();
        return false;
    }
    // The database as it stands, so a restore can itself be undone.
    if (!CopyNow(now)) {
        m_error = QStringLiteral("没有恢复：当前数据库的备份没有做成。") + m_error;
        return false;
    }
    const QString safety = m_lastCopy;
    if (!restoreSqlite(copy))
        return false;
    m_lastCopy = safety;
    return true;
}

bool BackupCatalog::restoreSqlite(const QString &copy)
{
    auto openedFrom = openSqlite(copy, SQLITE_OPEN_READONLY);
    if (!openedFrom) {
        m_error = QStringLiteral("没有恢复：") + openedFrom.error();
        return false;
    }
    const SqlitePtr from = std::move(openedFrom).value();
    // The database must be there: a restore never creates one somewhere else.
    auto openedTo = openSqlite(m_backup.SqliteFile(), SQLITE_OPEN_READWRITE);
    if (!openedTo) {
        m_error = QStringLiteral("没有恢复：") + openedTo.error();
        return false;
    }
    const SqlitePtr to = std::move(openedTo).value();
    sqlite3_backup *backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) {
        m_error = QStringLiteral("没有恢复：") + QString::fromUtf8(sqlite3_errmsg(to.get()));
        return false;
    }
    // One step copies every page inside one write transaction of the target:
    // it ends complete or not at all.
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 50; ++tries) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(200);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        const int failed = rc != SQLITE_DONE ? rc : finished;
        m_error = QStringLiteral("没有恢复，当前数据库未被改动：")
            + (failed == SQLITE_BUSY || failed == SQLITE_LOCKED ? QStringLiteral("数据库正被其他程序写入，请稍后再试")
                                                                : StatementFailure::sqliteFailure(failed, QString::fromUtf8(sqlite3_errstr(failed))));
        return false;
    }
    return true;
}
