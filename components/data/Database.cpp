#include "components/data/Database.h"

#include "components/data/ChangeFeed.h"
#include "components/data/DatabaseConfig.h"

#include "components/data/DbProperties.h"
#include "components/data/ReadOnlyStatement.h"
#include "components/data/ServerAddress.h"
#include "components/data/SqliteStatement.h"
#include "components/data/StatementFailure.h"
#include "platform/com/LateBound.h"

#include <sqlite3.h>

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sys/stat.h>

#include <memory>
#include <optional>

namespace {
QAtomicInt g_connectionCounter;

const QString kSqlite = QStringLiteral("sqlite");
const QString kPostgres = QStringLiteral("postgres");

QString normalDriver(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == u"sqlite" || n == u"sqlite3" || n == u"qsqlite")
        return kSqlite;
    if (n == u"postgres" || n == u"postgresql" || n == u"pgsql" || n == u"qpsql")
        return kPostgres;
    return n;
}

// Index just past the ')' that closes the '(' at open, skipping string literals; -1 if unbalanced.
int closingParen(const QString &s, int open, int *firstComma)
{
    int depth = 0;
    QChar quote;
    if (firstComma)
        *firstComma = -1;
    for (int i = open; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            if (--depth == 0)
                return i + 1;
        } else if (c == u',' && depth == 1 && firstComma && *firstComma < 0) {
            *firstComma = i;
        }
    }
    return -1;
}

// True when position i of s lies inside a string literal.
bool insideLiteral(const QString &s, int pos)
{
    bool in = false;
    for (int i = 0; i < pos && i < s.size(); ++i)
        if (s.at(i) == u'\'')
            in = !in;
    return in;
}

// Arguments after the statement text, Null and empty as SQL NULL.
QVariantList statementParams(const com::DispArgs &a)
{
    QVariantList params;
    for (size_t i = 1; i < a.size(); ++i) {
        const QVariant value = com::toQVariant(*a[i]);
        // An empty text is a value, not NULL (its string may arrive null).
        params << (value.typeId() == QMetaType::QString && value.toString().isEmpty() ? QVariant(QStringLiteral("")) : value);
    }
    return params;
}

// Which file a path names: the same path may come to name another file when
// the one opened is deleted or replaced.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

std::optional<FileIdentity> fileIdentity(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}
} // namespace

struct Database::Impl
{
    QString connectionName;
    QString driver;
    QMap<QString, QString> properties;
    ErrorHolder error;
    bool open = false;
    bool inTransaction = false;
    // The server went away under an open connection: the next statement
    // connects again before it runs.
    bool connectionLost = false;
    // SQLite: the file opened and which file it was. When the path comes to
    // name another file, or none, this connection reaches a database nobody
    // else sees any more; the next statement opens the path again.
    QString file;
    FileIdentity opened;
    bool fileLost = false;
    std::unique_ptr<ChangeFeed> feed;

    QSqlDatabase db() const { return QSqlDatabase::database(connectionName, false); }

    bool addConnection(const QString &qtDriver)
    {
        if (!QSqlDatabase::isDriverAvailable(qtDriver)) {
            fail(QStringLiteral("数据库驱动 %1 不可用").arg(qtDriver));
            return false;
        }
        connectionName = QStringLiteral("jxdb-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1));
        QSqlDatabase::addDatabase(qtDriver, connectionName);
        return true;
    }

    // Opens the described connection and readies it; a failure says why.
    jx::Result<> connect(QSqlDatabase &d) const
    {
        if (!d.open())
            return jx::fail(QStringLiteral("无法连接数据库：%1").arg(d.lastError().text().trimmed()));
        if (driver == kSqlite) {
            // Qt opens any file; make sure it really is a database.
            QSqlQuery probe(d);
            if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
                return jx::fail(QStringLiteral("不是有效的数据库文件：%1 (%2)").arg(file, probe.lastError().text().trimmed()));
        }
        if (const auto setup = prepareConnection(d); !setup)
            return jx::fail(QStringLiteral("无法连接数据库：%1").arg(setup.error()));
        return {};
    }

    static QString fileReplacedText(const QString &path)
    {
        return QStringLiteral("数据库文件已被删除或替换：%1").arg(path);
    }

    // Before an SQLite statement: the file opened is still the one the path
    // names, or the path is opened again (a file put back, a restored copy).
    // A transaction begun on the old file cannot go on on the new one.
    bool followFile()
    {
        if (driver != kSqlite)
            return true;
        const std::optional<FileIdentity> now = fileIdentity(file);
        if (now && *now == opened && db().isOpen()) {
            fileLost = false;
            return true;
        }
        fileLost = true;
        if (!now) {
            fail(fileReplacedText(file) + QStringLiteral("，数据没有保存；请把数据库文件放回原处后再试"));
            return false;
        }
        if (inTransaction) {
            fail(fileReplacedText(file) + QStringLiteral("，进行中的事务已经丢失，请回滚后重做"));
            return false;
        }
        QSqlDatabase d = db();
        d.close();
        opened = *now;
        if (const auto connected = connect(d); !connected) {
            d.close();
            fail(fileReplacedText(file) + QStringLiteral("，无法重新打开：") + connected.error());
            return false;
        }
        fileLost = false;
        return true;
    }

    // After a failed SQLite statement: the engine's words hide a file
    // deleted or replaced under the connection (it calls that read-only).
    bool fileChanged() const
    {
        if (driver != kSqlite)
            return false;
        const std::optional<FileIdentity> now = fileIdentity(file);
        return !now || !(*now == opened);
    }

    // What every new connection runs first. SQLite enforces the schema's
    // foreign keys only when asked to, per connection.
    jx::Result<> prepareConnection(QSqlDatabase &d) const
    {
        QSqlQuery setup(d);
        if (driver == kSqlite) {
            if (!setup.exec(QStringLiteral("PRAGMA foreign_keys = ON")))
                return jx::fail(setup.lastError().text().trimmed());
            return {};
        }
        setup.exec(QStringLiteral("SET client_encoding TO 'UTF8'"));
        return {};
    }

    // After a failed statement on a server: is the connection itself gone?
    // The error says so itself in most cases. Without an SQLSTATE it came
    // from the client library, not the server: outside a transaction a probe
    // tells; inside one a probe would only fail on the aborted transaction,
    // and a server error always carries its SQLSTATE, so the connection is
    // taken as gone.
    void noteFailure(const QSqlError &error)
    {
        if (driver != kPostgres)
            return;
        if (!db().isOpen()) { // the driver saw the connection go
            connectionLost = true;
            return;
        }
        switch (StatementFailure::connectionState(error)) {
        case StatementFailure::Connection::Lost:
            connectionLost = true;
            return;
        case StatementFailure::Connection::Alive:
            connectionLost = false;
            return;
        case StatementFailure::Connection::Unclear:
            break;
        }
        if (inTransaction) {
            connectionLost = true;
            return;
        }
        QSqlQuery probe(db());
        connectionLost = !probe.exec(QStringLiteral("select 1"))
            && StatementFailure::connectionState(probe.lastError()) != StatementFailure::Connection::Alive;
    }

    // Declared lengths of a table's text columns. A transaction aborted by
    // the failure answers nothing more, so then another connection asks;
    // it cannot see this one's schema path, hence every schema's table of the name.
    StatementFailure::ColumnLimits columnLimits(const QString &table) const
    {
        const int dot = static_cast<int>(table.lastIndexOf(u'.'));
        const QString name = table.mid(dot + 1).toLower();
        const QString schema = dot > 0 ? table.left(dot).toLower() : QString();
        const auto read = [&](QSqlDatabase connection, bool ownPath, bool *ok) {
            StatementFailure::ColumnLimits limits;
            QSqlQuery q(connection);
            q.prepare(QStringLiteral("select column_name, character_maximum_length from information_schema.columns"
                                     " where table_name=? and character_maximum_length is not null")
                      + (!schema.isEmpty() ? QStringLiteral(" and table_schema=?")
                                           : ownPath ? QStringLiteral(" and table_schema=current_schema()") : QString()));
            q.addBindValue(name);
            if (!schema.isEmpty())
                q.addBindValue(schema);
            *ok = q.exec();
            while (*ok && q.next())
                limits[q.value(0).toString()].append(q.value(1).toInt());
            return limits;
        };
        bool ok = false;
        if (!inTransaction) {
            const auto limits = read(db(), true, &ok);
            if (ok)
                return limits;
        }
        const QString other = connectionName + QStringLiteral("-catalog");
        StatementFailure::ColumnLimits limits;
        {
            QSqlDatabase catalog = QSqlDatabase::cloneDatabase(connectionName, other);
            if (catalog.open())
                limits = read(catalog, false, &ok);
            catalog.close();
        }
        QSqlDatabase::removeDatabase(other);
        return limits;
    }

    // Connects again after a lost connection; false (reason set) while the server is still away.
    bool reconnectIfLost()
    {
        if (!connectionLost && (driver != kPostgres || db().isOpen()))
            return true;
        // What a transaction did before the drop is gone with it: its later
        // statements must not go on outside it on a new connection, or half
        // a change would be stored. The caller rolls back first.
        if (inTransaction) {
            fail(QStringLiteral("与数据库服务器的连接已断开，进行中的事务已经丢失，请回滚后重做"));
            return false;
        }
        QSqlDatabase d = db();
        d.close();
        if (!d.open()) {
            fail(QStringLiteral("数据库连接已断开，无法重新连接：%1").arg(d.lastError().text().trimmed()));
            return false;
        }
        if (const auto prepared = prepareConnection(d); !prepared) {
            fail(QStringLiteral("数据库连接已断开，无法重新连接：%1").arg(prepared.error()));
            return false;
        }
        connectionLost = false;
        return true;
    }

    void fail(const QString &text) { error.setDescription(text); }

    // A statement the driver refused; when the server connection went with
    // it, the reason says so first, since that is what the operator must know.
    // Otherwise what the error means, where it is one he can act on, then the
    // engine's own text. sent and params are the statement as it went out.
    void failStatement(const QSqlError &error, const QString &sql, const QString &sent, const QVariantList &params)
    {
        const QString native = error.text().trimmed();
        if (connectionLost) {
            fail(QStringLiteral("与数据库服务器的连接已断开，语句没有执行：%1 [%2]").arg(native, sql));
            return;
        }
        const QString meaning = driver == kPostgres
            ? StatementFailure::postgresMeaning(error, sent, params, [this](const QString &table) { return columnLimits(table); })
            : StatementFailure::sqliteMeaning(native);
        fail(meaning.isEmpty() ? QStringLiteral("执行SQL语句出错：%1 [%2]").arg(native, sql)
                               : QStringLiteral("执行SQL语句出错：%1（%2） [%3]").arg(meaning, native, sql));
    }

    void closeConnection()
    {
        feed.reset(); // it listens on this connection only
        if (connectionName.isEmpty())
            return;
        {
            QSqlDatabase d = db();
            if (d.isValid())
                d.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
        connectionName.clear();
        open = false;
        connectionLost = false;
        inTransaction = false;
        fileLost = false;
        file.clear();
    }
};

Database::Database() : d(new Impl) {}

Database::~Database()
{
    d->closeConnection();
    delete d;
}

QString Database::translateSql(const QString &input, const QString &driverName)
{
    const QString driver = normalDriver(driverName);
    if (driver != kSqlite && driver != kPostgres)
        return input;
    QString sql = input;

    // getdate() -> the engine's local current time.
    static const QRegularExpression getdate(QStringLiteral("\\bgetdate\\s*\\(\\s*\\)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString now = driver == kSqlite ? QStringLiteral("datetime('now','localtime')")
                                          : QStringLiteral("LOCALTIMESTAMP(0)");
    for (int pos = 0;;) {
        const auto m = getdate.match(sql, pos);
        if (!m.hasMatch())
            break;
        if (insideLiteral(sql, m.capturedStart())) {
            pos = m.capturedEnd();
            continue;
        }
        sql.replace(m.capturedStart(), m.capturedLength(), now);
        pos = m.capturedStart() + now.size();
    }

    // left(x,n): SQLite has no left(); PostgreSQL has it but only for text.
    static const QRegularExpression left(QStringLiteral("(?<![A-Za-z0-9_.])left\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    int from = 0;
    for (;;) {
        const auto m = left.match(sql, from);
        if (!m.hasMatch())
            break;
        if (insideLiteral(sql, m.capturedStart())) {
            from = m.capturedEnd();
            continue;
        }
        const int open = m.capturedEnd() - 1;
        int comma = -1;
        const int close = closingParen(sql, open, &comma);
        if (close < 0 || comma < 0) {
            from = m.capturedEnd();
            continue;
        }
        const QString arg1 = sql.mid(open + 1, comma - open - 1);
        const QString arg2 = sql.mid(comma + 1, close - 1 - comma - 1);
        const QString repl = driver == kSqlite
            ? QStringLiteral("substr(%1,1,%2)").arg(arg1, arg2)
            : QStringLiteral("substr(CAST(%1 AS text),1,%2)").arg(arg1, arg2);
        sql.replace(m.capturedStart(), close - m.capturedStart(), repl);
        from = m.capturedStart() + 6; // inner arguments may hold further left() calls
    }

    // select top N ... -> select ... LIMIT N (outermost statement only).
    static const QRegularExpression top(QStringLiteral("^(\\s*select\\s+(?:distinct\\s+)?)top\\s+(\\d+)\\s+"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto t = top.match(sql);
    if (t.hasMatch()) {
        const QString n = t.captured(2);
        sql.replace(t.capturedStart(), t.capturedLength(), t.captured(1));
        while (sql.endsWith(u';') || (!sql.isEmpty() && sql.back().isSpace()))
            sql.chop(1);
        sql += QStringLiteral(" LIMIT ") + n;
    }
    return sql;
}

QString Database::SqlExpression(const QString &expression) const
{
    return translateSql(expression, d->driver);
}

bool Database::Open(const QString &configFilePath, bool)
{
    d->error.clear();
    const auto read = DatabaseConfig::read(configFilePath);
    if (!read) {
        d->fail(read.error());
        return false;
    }
    const DatabaseConfig &config = *read;
    return config.isSqlite() ? OpenDirect(kSqlite, config.file()) : OpenServer(config.server());
}

bool Database::OpenDirect(const QString &driverName, const QString &connection)
{
    const QString driver = normalDriver(driverName);
    if (driver == kPostgres) {
        ServerAddress address;
        for (const QString &part : connection.split(u';', Qt::SkipEmptyParts)) {
            const int eq = static_cast<int>(part.indexOf(u'='));
            if (eq <= 0)
                continue;
            const QString key = part.left(eq).trimmed().toLower();
            const QString value = part.mid(eq + 1).trimmed();
            if (key == u"host" || key == u"server")
                address.host = value;
            else if (key == u"port")
                address.port = value.toInt();
            else if (key == u"user" || key == u"uid")
                address.user = value;
            else if (key == u"password" || key == u"pwd")
                address.password = value;
            else if (key == u"database" || key == u"dbname")
                address.database = value;
        }
        return OpenServer(address);
    }
    Close();
    d->error.clear();
    d->properties.clear();
    if (driver != kSqlite) {
        d->fail(QStringLiteral("不支持的数据库驱动：%1").arg(driverName));
        return false;
    }
    const QFileInfo fi(connection);
    if (!fi.exists() || !fi.isFile()) {
        // Opening would create an empty database; refuse instead.
        d->fail(QStringLiteral("数据库文件不存在：%1").arg(connection));
        return false;
    }
    if (!d->addConnection(QStringLiteral("QSQLITE")))
        return false;
    QSqlDatabase db = d->db();
    d->driver = kSqlite;
    d->properties.insert(QStringLiteral("driver"), kSqlite);
    d->properties.insert(QStringLiteral("file"), fi.absoluteFilePath());
    d->file = fi.absoluteFilePath();
    db.setDatabaseName(d->file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    // Taken before opening: a file swapped while it opens is then noticed at
    // the first statement instead of passing for the one opened.
    d->opened = fileIdentity(d->file).value_or(FileIdentity{});
    if (const auto connected = d->connect(db); !connected) {
        d->fail(connected.error());
        db = QSqlDatabase();
        d->closeConnection();
        return false;
    }
    d->open = true;
    return true;
}

bool Database::OpenServer(const ServerAddress &address)
{
    Close();
    d->error.clear();
    d->properties.clear();
    if (const QString part = address.partWithSeparator(); !part.isEmpty()) {
        d->fail(QStringLiteral("数据库连接说明的%1含有不允许的字符（分号、等号或控制字符），没有连接").arg(part));
        return false;
    }
    if (address.port < 0 || address.port > 65535) {
        d->fail(QStringLiteral("数据库端口不是有效的端口号：%1").arg(address.port));
        return false;
    }
    if (!d->addConnection(QStringLiteral("QPSQL")))
        return false;
    QSqlDatabase db = d->db();
    d->driver = kPostgres;
    d->properties.insert(QStringLiteral("driver"), kPostgres);
    db.setHostName(address.host);
    if (address.port > 0)
        db.setPort(address.port);
    db.setUserName(address.user);
    db.setPassword(address.password);
    db.setDatabaseName(address.database);
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    const std::pair<const char *, QString> shown[] = {
        {"host", address.host},
        {"port", address.port > 0 ? QString::number(address.port) : QString()},
        {"user", address.user},
        {"database", address.database}};
    for (const auto &[key, value] : shown)
        if (!value.isEmpty())
            d->properties.insert(QString::fromLatin1(key), value);
    if (const auto connected = d->connect(db); !connected) {
        d->fail(connected.error());
        db = QSqlDatabase();
        d->closeConnection();
        return false;
    }
    d->open = true;
    return true;
}

// A server connection that went away still counts as open: the next
// statement connects again, or says why it cannot. So does an SQLite
// connection whose file went: the next statement looks for it again.
bool Database::IsOpen() const
{
    return d->open && (d->driver == kPostgres || d->fileLost || d->db().isOpen());
}

void Database::Close() { d->closeConnection(); }

namespace {
// The rows one after the other, as the recordset keeps them.
QVector<QVariant> readRows(QSqlQuery &q, QStringList &columns)
{
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        columns << rec.fieldName(i);
    QVector<QVariant> cells;
    while (q.next()) {
        for (int i = 0; i < columns.size(); ++i) {
            QVariant v = q.value(i);
            cells.append(v.isNull() ? QVariant() : std::move(v));
        }
    }
    return cells;
}
} // namespace

QueryResult Database::QueryParams(const QString &sql, const QVariantList &params)
{
    if (!IsOpen()) {
        d->fail(QStringLiteral("数据库没有打开"));
        return {};
    }
    const QString text = translateSql(sql, d->driver);
    if (!d->followFile())
        return {};
    if (d->driver == kSqlite) {
        if (sqlite3 *handle = SqliteStatement::handleOf(d->db().driver()->handle())) {
            QStringList columns;
            QVector<QVariant> rows;
            if (const auto ran = SqliteStatement::run(handle, text, params, columns, rows); !ran) {
                QString why = ran.error();
                if (d->fileChanged())
                    why = Impl::fileReplacedText(d->file) + QStringLiteral("，数据没有保存（") + why + QStringLiteral("）");
                d->fail(QStringLiteral("执行SQL语句出错：%1 [%2]").arg(why, sql.trimmed()));
                return {};
            }
            return QueryResult(::Recordset(std::move(columns), std::move(rows)), true);
        }
    }
    if (!d->reconnectIfLost())
        return {};
    // A read found on a dead connection (the server restarted while the
    // program sat idle) is sent once more on a new one. A change is not: it
    // may have been carried out before the connection went.
    const bool mayRetry = !d->inTransaction && text.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive);
    for (int attempt = 0;; ++attempt) {
        QSqlQuery q(d->db());
        q.setForwardOnly(true);
        bool ok;
        if (params.isEmpty()) {
            ok = q.exec(text);
        } else {
            ok = q.prepare(text);
            for (const QVariant &p : params)
                q.addBindValue(p);
            ok = ok && q.exec();
        }
        if (ok) {
            QStringList columns;
            auto rows = readRows(q, columns);
            return QueryResult(::Recordset(std::move(columns), std::move(rows)), true);
        }
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        d->noteFailure(error);
        if (attempt == 0 && mayRetry && d->connectionLost && d->reconnectIfLost())
            continue;
        d->failStatement(error, sql.trimmed(), text, params);
        return {};
    }
}

QueryResult Database::ReadParams(const QString &sql, const QVariantList &params)
{
    if (!IsOpen()) {
        d->fail(QStringLiteral("数据库没有打开"));
        return {};
    }
    if (const auto allowed = ReadOnlyStatement::allows(sql); !allowed) {
        d->fail(QStringLiteral("执行SQL语句出错：%1 [%2]").arg(allowed.error(), sql.trimmed()));
        return {};
    }
    if (d->driver == kSqlite) {
        if (sqlite3 *handle = SqliteStatement::handleOf(d->db().driver()->handle())) {
            if (const auto reads = SqliteStatement::readsOnly(handle, translateSql(sql, d->driver)); !reads) {
                d->fail(QStringLiteral("执行SQL语句出错：%1 [%2]").arg(reads.error(), sql.trimmed()));
                return {};
            }
        }
        return QueryParams(sql, params);
    }
    // A running transaction cannot be made read-only; the text check holds there.
    if (d->inTransaction)
        return QueryParams(sql, params);
    if (!BeginTrans())
        return {};
    QSqlQuery readOnly(d->db());
    if (!readOnly.exec(QStringLiteral("SET TRANSACTION READ ONLY"))) {
        const QString native = readOnly.lastError().text().trimmed();
        readOnly = QSqlQuery();
        RollbackTrans();
        d->fail(QStringLiteral("执行SQL语句出错：%1 [%2]").arg(native, sql.trimmed()));
        return {};
    }
    readOnly = QSqlQuery();
    QueryResult result = QueryParams(sql, params);
    // It only read: nothing to keep, and the reason of a failure outlives the rollback.
    const QString failure = d->error.Description();
    RollbackTrans();
    if (!result.ok())
        d->fail(failure);
    return result;
}

QueryResult Database::Query(const QString &sql, int) { return QueryParams(sql, {}); }

bool Database::ExecuteParams(const QString &sql, const QVariantList &params)
{
    return QueryParams(sql, params).ok();
}

bool Database::Execute(const QString &sql) { return ExecuteParams(sql, {}); }

int Database::ExecuteCount(const QString &sql, const QVariantList &params)
{
    if (!IsOpen()) {
        d->fail(QStringLiteral("数据库没有打开"));
        return -1;
    }
    if (!d->followFile())
        return -1;
    if (d->driver == kSqlite) {
        if (sqlite3 *handle = SqliteStatement::handleOf(d->db().driver()->handle())) {
            if (!QueryParams(sql, params).ok())
                return -1;
            return sqlite3_changes(handle);
        }
    }
    if (!d->reconnectIfLost())
        return -1;
    QSqlQuery q(d->db());
    const QString text = translateSql(sql, d->driver);
    bool ok = q.prepare(text);
    for (const QVariant &p : params)
        q.addBindValue(p);
    ok = ok && q.exec();
    if (!ok) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        d->noteFailure(error);
        d->failStatement(error, sql.trimmed(), text, params);
        return -1;
    }
    return q.numRowsAffected();
}

bool Database::BeginTrans()
{
    if (!IsOpen()) {
        d->fail(QStringLiteral("数据库没有打开"));
        return false;
    }
    if (!d->reconnectIfLost() || !d->followFile())
        return false;
    if (!d->db().transaction()) {
        // A connection found dead before anything ran (the server restarted
        // while the program sat idle): beginning on a new one is safe.
        d->noteFailure(d->db().lastError());
        if (!d->connectionLost || !d->reconnectIfLost() || !d->db().transaction()) {
            d->fail(QStringLiteral("开始事务出错：%1").arg(d->db().lastError().text().trimmed()));
            return false;
        }
    }
    d->inTransaction = true;
    return true;
}

bool Database::CommitTrans()
{
    QSqlDatabase db = d->db();
    d->inTransaction = false;
    if (d->connectionLost) {
        d->fail(QStringLiteral("与数据库服务器的连接已断开，事务没有提交"));
        return false;
    }
    if (d->driver == kSqlite && IsOpen()) {
        // Through the engine itself, so a full disk or a replaced file is
        // worded as it is for a statement. A refused commit leaves the
        // transaction for the caller to roll back.
        QString why;
        if (d->fileChanged()) {
            why = Impl::fileReplacedText(d->file) + QStringLiteral("，事务没有提交");
        } else if (sqlite3 *handle = SqliteStatement::handleOf(db.driver()->handle())) {
            QStringList columns;
            QVector<QVariant> rows;
            const auto committed = SqliteStatement::run(handle, QStringLiteral("COMMIT"), {}, columns, rows);
            if (committed)
                return true;
            why = committed.error();
            if (d->fileChanged())
                why = Impl::fileReplacedText(d->file) + QStringLiteral("，事务没有提交（") + why + QStringLiteral("）");
        } else if (db.commit()) {
            return true;
        } else {
            why = db.lastError().text().trimmed();
        }
        d->fail(QStringLiteral("提交事务出错：%1").arg(why));
        return false;
    }
    if (!IsOpen() || !db.commit()) {
        d->fail(QStringLiteral("提交事务出错：%1").arg(db.lastError().text().trimmed()));
        d->noteFailure(db.lastError());
        return false;
    }
    return true;
}

bool Database::RollbackTrans()
{
    QSqlDatabase db = d->db();
    d->inTransaction = false;
    if (d->connectionLost)
        return true; // the server discarded the transaction with the connection
    // SQLite rolls back by itself after some failures (a full disk among them).
    if (d->driver == kSqlite && IsOpen())
        if (sqlite3 *handle = SqliteStatement::handleOf(db.driver()->handle()); handle && sqlite3_get_autocommit(handle))
            return true;
    if (!IsOpen() || !db.rollback()) {
        d->fail(QStringLiteral("回滚事务出错：%1").arg(db.lastError().text().trimmed()));
        return false;
    }
    return true;
}

bool Database::ExecuteScript(const QString &script)
{
    if (!IsOpen()) {
        d->fail(QStringLiteral("数据库没有打开"));
        return false;
    }
    if (!d->reconnectIfLost() || !d->followFile())
        return false;
    QSqlDatabase db = d->db();
    // Statements end with ';' at the end of a line; '--' lines are comments.
    QStringList statements;
    QString current;
    for (const QString &line : script.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("--")) || (trimmed.isEmpty() && current.isEmpty()))
            continue;
        current += line + u'\n';
        if (trimmed.endsWith(u';')) {
            statements << current.trimmed().chopped(1);
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    if (d->driver == kPostgres) {
        static const QRegularExpression blob(QStringLiteral("\\bBLOB\\b"));
        for (QString &st : statements)
            st.replace(blob, QStringLiteral("BYTEA"));
    }
    db.transaction();
    for (const QString &st : statements) {
        QSqlQuery q(db);
        if (!q.exec(st)) {
            const QSqlError error = q.lastError();
            q = QSqlQuery();
            db.rollback();
            d->noteFailure(error);
            d->failStatement(error, st.left(200), st, {});
            return false;
        }
    }
    if (!db.commit()) {
        d->fail(QStringLiteral("提交事务出错：%1").arg(db.lastError().text()));
        return false;
    }
    return true;
}

bool Database::InTransaction() const { return d->inTransaction; }

ChangeFeed &Database::Changes()
{
    if (!d->feed)
        d->feed = std::make_unique<ChangeFeed>(*this, d->connectionName);
    return *d->feed;
}

const ErrorHolder &Database::LastError() const { return d->error; }

bool Database::ResetError()
{
    d->error.clear();
    return true;
}

QVariant Database::Properties(const QString &name) const
{
    const auto it = d->properties.constFind(name.trimmed().toLower());
    if (it == d->properties.constEnd())
        return {};
    return *it;
}

QStringList Database::PropertyNames() const { return d->properties.keys(); }

const com::MemberTable<Database> &Database::members()
{
    using com::DispArgs;
    using com::Variant;
    static const com::MemberTable<Database> table = com::MemberTable<Database>()
        .add(QStringLiteral("Query"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return com::faceOf(self.Query(com::argText(a, 0), com::argInt(a, 1, 1)));
        })
        // Parameterised statements for other libraries: the statement, then
        // one argument per "?" in order.
        .add(QStringLiteral("ReadParams"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return com::faceOf(self.ReadParams(com::argText(a, 0), statementParams(a)));
        })
        .add(QStringLiteral("QueryParams"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return com::faceOf(self.QueryParams(com::argText(a, 0), statementParams(a)));
        })
        .add(QStringLiteral("ExecuteParams"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromInt32(self.ExecuteCount(com::argText(a, 0), statementParams(a)));
        })
        .add(QStringLiteral("BeginTrans"), [](Database &self, const DispArgs &) { return Variant::fromBool(self.BeginTrans()); })
        .add(QStringLiteral("CommitTrans"), [](Database &self, const DispArgs &) { return Variant::fromBool(self.CommitTrans()); })
        .add(QStringLiteral("RollbackTrans"), [](Database &self, const DispArgs &) { return Variant::fromBool(self.RollbackTrans()); })
        .add(QStringLiteral("Open"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromBool(self.Open(com::argText(a, 0), com::argBool(a, 1, true)));
        })
        // Inside the caller's transaction: the notice goes out with the change.
        .add(QStringLiteral("PublishChange"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 3);
            if (!self.IsOpen()) {
                self.d->fail(QStringLiteral("数据库没有打开"));
                return Variant::fromBool(false);
            }
            const auto published = self.Changes().publish(com::argText(a, 0), com::toQVariant(*a[1]), com::argText(a, 2), com::argText(a, 3));
            if (!published)
                self.d->fail(published.error());
            return Variant::fromBool(published.ok());
        })
        .add(QStringLiteral("WatchChanges"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            if (self.IsOpen())
                self.Changes().watch(com::argObject(a, 0));
            return Variant::fromBool(self.IsOpen());
        })
        .add(QStringLiteral("UnwatchChanges"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            if (self.d->feed)
                self.d->feed->unwatch(com::argObject(a, 0));
            return Variant();
        })
        .add(QStringLiteral("IsOpen"), [](Database &self, const DispArgs &) { return Variant::fromBool(self.IsOpen()); })
        .add(QStringLiteral("LastError"), [](Database &self, const DispArgs &) { return com::faceOf(self.LastError()); })
        .add(QStringLiteral("ResetError"), [](Database &self, const DispArgs &) { return Variant::fromBool(self.ResetError()); })
        .add(QStringLiteral("SqlExpression"), [](Database &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromString(self.SqlExpression(com::argText(a, 0)));
        })
        .add(QStringLiteral("Properties"), [](Database &self, const DispArgs &a) {
            QMap<QString, QVariant> values;
            for (const QString &name : self.PropertyNames())
                values.insert(name, self.Properties(name));
            Variant collection = com::newObject<DbProperties>(values);
            if (a.empty())
                return collection;
            // Properties(name) is Properties.Item(name), the collection's default member.
            return com::call(collection.pdispVal, QStringLiteral("Item"), {Variant::copyOf(*a[0])});
        });
    return table;
}
