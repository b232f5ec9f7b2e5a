#include "DatabaseBackup.h"

#include "components/data/DatabaseConfig.h"
#include "components/data/StatementFailure.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <pugixml.hpp>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kBusyWaitMs = 10000;

QString localPath(QString path)
{
    return QDir::cleanPath(path.replace(u'\\', u'/'));
}

QString sqliteMessage(sqlite3 *db, int rc)
{
    return StatementFailure::sqliteFailure(db ? sqlite3_extended_errcode(db) : rc,
                                           db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

// Closes the handles however the copy ends.
struct SqliteHandle
{
    sqlite3 *db = nullptr;
    ~SqliteHandle() { sqlite3_close(db); }
};

} // namespace

DatabaseBackup::DatabaseBackup(QString configFile, QString appPath, QString progId)
    : m_configFile(std::move(configFile))
    , m_appPath(std::move(appPath))
    , m_progId(std::move(progId))
{
}

bool DatabaseBackup::readConfiguration()
{
    pugi::xml_document doc;
    const QByteArray file = QFile::encodeName(localPath(m_configFile));
    const pugi::xml_parse_result parsed = doc.load_file(file.constData());
    if (!parsed) {
        m_error = QStringLiteral("无法读取配置文件%1：%2").arg(m_configFile, QString::fromUtf8(parsed.description()));
        return false;
    }
    const auto read = DatabaseConfig::read(m_configFile);
    if (!read) {
        m_error = read.error();
        return false;
    }
    const DatabaseConfig &database = *read;

    // This plug-in's own entry: how many copies to keep and where.
    m_keep = kDefaultKeep;
    QString folder;
    for (const pugi::xml_node &p : doc.child("configuration").child("system").child("plugins").children("plugin")) {
        if (QString::fromUtf8(p.child("classname").text().get()).trimmed().compare(m_progId, Qt::CaseInsensitive) != 0)
            continue;
        const QString keepText = QString::fromUtf8(p.child("keep").text().get()).trimmed();
        bool ok = false;
        const int keep = keepText.toInt(&ok);
        if (ok && keep > 0)
            m_keep = keep;
        else if (!keepText.isEmpty())
            m_notes << QStringLiteral("数据库每日备份的保留份数<keep>%1</keep>无效（应为正整数），按默认保留%2份")
                           .arg(keepText)
                           .arg(kDefaultKeep);
        folder = QString::fromUtf8(p.child("folder").text().get()).trimmed();
        break;
    }
    const QDir app(localPath(m_appPath));
    m_folder = folder.isEmpty() ? app.filePath(QStringLiteral("backup")) : app.filePath(localPath(folder));

    if (database.isSqlite()) {
        m_driver = QStringLiteral("sqlite");
        m_sqliteFile = database.file();
        const QString canonical = QFileInfo(m_sqliteFile).canonicalFilePath();
        m_identity = Identity(QStringLiteral("sqlite:") + (canonical.isEmpty() ? m_sqliteFile : canonical));
        return true;
    }
    const ServerAddress &server = database.server();
    m_driver = QStringLiteral("postgres");
    m_pgDatabase = server.database;
    m_pgArguments.clear();
    // pg_dump reads a --dbname holding '=' as connection settings of its own.
    if (const QString part = server.partWithSeparator(); !part.isEmpty()) {
        m_error = QStringLiteral("配置文件中的数据库连接说明含有不允许的字符（分号、等号或控制字符）：%1").arg(part);
        return false;
    }
    const QString port = server.port > 0 ? QString::number(server.port) : QString();
    m_identity = Identity(QStringLiteral("postgres:%1:%2/%3")
                              .arg(server.host.toLower(), port.isEmpty() ? QStringLiteral("5432") : port, m_pgDatabase));
    if (!server.host.isEmpty())
        m_pgArguments << QStringLiteral("--host=") + server.host;
    if (!port.isEmpty())
        m_pgArguments << QStringLiteral("--port=") + port;
    if (!server.user.isEmpty())
        m_pgArguments << QStringLiteral("--username=") + server.user;
    if (!m_pgDatabase.isEmpty())
        m_pgArguments << QStringLiteral("--dbname=") + m_pgDatabase;
    return true;
}

bool DatabaseBackup::Load()
{
    m_error.clear();
    m_notes.clear();
    return readConfiguration();
}

QString DatabaseBackup::Stem() const
{
    const QString base = IsSqlite() ? QFileInfo(m_sqliteFile).completeBaseName()
                                    : (m_pgDatabase.isEmpty() ? QStringLiteral("postgres") : m_pgDatabase);
    return base + u'-' + m_identity;
}

QString DatabaseBackup::Suffix() const
{
    return IsSqlite() ? QStringLiteral(".db") : QStringLiteral(".sql");
}

bool DatabaseBackup::CopyTo(const QString &target)
{
    m_error.clear();
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        m_error = QStringLiteral("无法建立备份文件夹：%1").arg(QFileInfo(target).absolutePath());
        return false;
    }
    if (!IsSqlite())
        return dumpPostgres(target);
    const auto copied = CopySqlite(m_sqliteFile, target);
    if (copied)
        return true;
    m_error = QStringLiteral("数据库备份失败：") + copied.error();
    return false;
}

bool DatabaseBackup::Run(const QDate &today)
{
    m_backupFile.clear();
    m_alreadyDone = false;
    if (!Load())
        return false;
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("无法建立备份文件夹：%1").arg(m_folder);
        return false;
    }
    const QString target = QDir(m_folder).filePath(Stem() + u'-' + today.toString(QStringLiteral("yyyyMMdd")) + Suffix());
    m_backupFile = target;
    if (QFileInfo::exists(target)) {
        m_alreadyDone = true;
    } else if (!CopyTo(target)) {
        m_backupFile.clear();
        return false;
    }
    Prune(m_folder, Stem(), Suffix(), m_keep);
    return true;
}

jx::Result<> DatabaseBackup::CopySqlite(const QString &source, const QString &target)
{
    if (!QFileInfo(source).isFile())
        return jx::fail(QStringLiteral("数据库文件不存在：%1").arg(source));
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);

    // Handles close on every way out of the copy; only then is the file renamed or removed.
    const auto copy = [&]() -> jx::Result<> {
        SqliteHandle from;
        SqliteHandle to;
        int rc = sqlite3_open_v2(QFile::encodeName(source).constData(), &from.db, SQLITE_OPEN_READONLY, nullptr);
        if (rc != SQLITE_OK)
            return jx::fail(QStringLiteral("无法打开数据库%1：%2").arg(source, sqliteMessage(from.db, rc)));
        sqlite3_busy_timeout(from.db, kBusyWaitMs);
        rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &to.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK)
            return jx::fail(QStringLiteral("无法建立备份文件%1：%2").arg(partial, sqliteMessage(to.db, rc)));

        sqlite3_backup *backup = sqlite3_backup_init(to.db, "main", from.db, "main");
        if (!backup)
            return jx::fail(QStringLiteral("无法开始备份：%1").arg(sqliteMessage(to.db, SQLITE_ERROR)));
        // All pages in one step: the source stays read-locked for the whole
        // copy, so a writer cannot change it half-way. A writer holding the
        // lock just now makes us wait and try again.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyWaitMs);
        do {
            rc = sqlite3_backup_step(backup, -1);
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                QThread::msleep(20);
        } while ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && std::chrono::steady_clock::now() < deadline);
        const int stepped = rc;
        rc = sqlite3_backup_finish(backup);
        if (stepped != SQLITE_DONE) {
            const QString why = stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED
                ? QStringLiteral("数据库一直被占用")
                : StatementFailure::sqliteFailure(stepped, QString::fromUtf8(sqlite3_errstr(stepped)));
            return jx::fail(QStringLiteral("备份未完成：%1").arg(why));
        }
        if (rc != SQLITE_OK)
            return jx::fail(QStringLiteral("备份未完成：%1").arg(sqliteMessage(to.db, rc)));
        sqlite3_stmt *check = nullptr;
        const bool sound = sqlite3_prepare_v2(to.db, "pragma quick_check", -1, &check, nullptr) == SQLITE_OK
                && sqlite3_step(check) == SQLITE_ROW
                && qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(check, 0)), "ok") == 0;
        sqlite3_finalize(check);
        if (!sound)
            return jx::fail(QStringLiteral("备份文件检查未通过：%1").arg(partial));
        return {};
    };
    jx::Result<> copied = copy();
    if (copied && !QFile::rename(partial, target))
        copied = jx::fail(QStringLiteral("无法保存备份文件：%1").arg(target));
    if (!copied)
        QFile::remove(partial);
    return copied;
}

bool DatabaseBackup::dumpPostgres(const QString &target)
{
    const QString pgDump = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (pgDump.isEmpty()) {
        m_error = QStringLiteral("无法备份PostgreSQL数据库：本机没有安装 pg_dump");
        return false;
    }
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QProcess dump;
    // The password comes from the user's ~/.pgpass; never wait for a prompt.
    dump.start(pgDump, QStringList(m_pgArguments) << QStringLiteral("--no-password") << QStringLiteral("--file=") + partial);
    const bool finished = dump.waitForStarted() && dump.waitForFinished(10 * 60 * 1000);
    if (!finished || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        const QString why = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
        if (dump.state() != QProcess::NotRunning) {
            dump.kill();
            dump.waitForFinished();
        }
        QFile::remove(partial);
        m_error = QStringLiteral("pg_dump 备份失败：") + (why.isEmpty() ? dump.errorString() : why);
        return false;
    }
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        m_error = QStringLiteral("无法保存备份文件：%1").arg(target);
        return false;
    }
    return true;
}

QString DatabaseBackup::Identity(const QString &what)
{
    return QString::fromLatin1(QCryptographicHash::hash(what.toUtf8(), QCryptographicHash::Sha256).toHex().left(8));
}

QStringList DatabaseBackup::Prune(const QString &folder, const QString &stem, const QString &suffix, int keep)
{
    const QRegularExpression own(QStringLiteral("^") + QRegularExpression::escape(stem) + QStringLiteral("-\\d{8}")
                                 + QRegularExpression::escape(suffix) + QStringLiteral("$"));
    QStringList copies;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files))
        if (own.match(name).hasMatch())
            copies << name;
    // The date in the name sorts them; newest first.
    std::sort(copies.begin(), copies.end(), std::greater<>());
    QStringList removed;
    for (qsizetype i = std::max(keep, 1); i < copies.size(); ++i)
        if (QFile::remove(dir.filePath(copies.at(i))))
            removed << copies.at(i);
    return removed;
}
