#include "DbLocation.h"

#include "components/data/Database.h"
#include "components/data/DatabaseConfig.h"
#include "components/data/PgPassFile.h"
#include "components/data/ServerAddress.h"

#include <QFileInfo>
#include <QUrl>

namespace {
const QString kNoPassword = QStringLiteral(
    "jx-db takes no password on the command line; put it into ~/.pgpass "
    "(a line host:port:database:user:password, file mode 0600)");

QString xmlAttr(const QString &v)
{
    return v.toHtmlEscaped();
}
} // namespace

jx::Result<DbLocation> DbLocation::parse(const QString &textIn)
{
    DbLocation out;
    const QString text = textIn.trimmed();
    if (text.isEmpty())
        return jx::fail(QStringLiteral("no database named"));
    if (text.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive)
        || text.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return jx::fail(QStringLiteral("not a server address: %1 (write postgres://user@host:port/database)").arg(text));
        if (!url.password().isEmpty())
            return jx::fail(kNoPassword);
        if (url.hasQuery() || url.hasFragment())
            return jx::fail(QStringLiteral("connection options after '?' or '#' are not supported: %1").arg(text));
        // Decoded, a part is what the server will see; one that still holds
        // a separator would name other connection settings, so it is refused.
        out.m_kind = Kind::Postgres;
        out.m_host = url.host(QUrl::FullyDecoded);
        out.m_port = url.port() > 0 ? QString::number(url.port()) : QStringLiteral("5432");
        out.m_user = url.userName(QUrl::FullyDecoded);
        out.m_database = url.path(QUrl::FullyDecoded).mid(1);
        const std::pair<const char *, QString> parts[] = {
            {"host", out.m_host}, {"user", out.m_user}, {"database", out.m_database}};
        for (const auto &[name, value] : parts) {
            // Not the address itself: what is bent into it may be a password.
            if (ServerAddress::holdsSeparator(value))
                return jx::fail(QStringLiteral("the %1 of the server address holds ';', '=' or a control character "
                                               "(perhaps percent-encoded); no part may, so nothing was opened")
                                    .arg(QString::fromLatin1(name)));
        }
        if (out.m_user.isEmpty() || out.m_database.isEmpty() || out.m_database.contains(u'/'))
            return jx::fail(QStringLiteral("name the user and the database: postgres://user@host:port/database"));
        return out;
    }
    if (text.endsWith(QStringLiteral(".Config"), Qt::CaseInsensitive))
        return fromConfig(QFileInfo(text).absoluteFilePath());
    QString file = text;
    if (file.startsWith(QStringLiteral("sqlite:"), Qt::CaseInsensitive))
        file = file.mid(7);
    if (file.isEmpty())
        return jx::fail(QStringLiteral("no SQLite file named"));
    out.m_kind = Kind::SqliteFile;
    out.m_file = QFileInfo(file).absoluteFilePath();
    return out;
}

jx::Result<DbLocation> DbLocation::fromConfig(const QString &path)
{
    const auto read = DatabaseConfig::read(path);
    if (!read)
        return jx::fail(QStringLiteral("cannot use the configuration %1: %2").arg(path, read.error()));
    const DatabaseConfig &config = *read;
    DbLocation out;
    out.m_configFile = path;
    if (config.isSqlite()) {
        out.m_kind = Kind::SqliteFile;
        out.m_file = config.file();
        return out;
    }
    const ServerAddress &server = config.server();
    out.m_kind = Kind::Postgres;
    out.m_host = server.host;
    out.m_port = server.port > 0 ? QString::number(server.port) : QString();
    out.m_user = server.user;
    out.m_database = server.database;
    out.m_configPassword = !server.password.isEmpty();
    return out;
}

bool DbLocation::open(Database &db) const
{
    if (!m_configFile.isEmpty())
        return db.Open(m_configFile, true);
    if (m_kind == Kind::SqliteFile)
        return db.OpenDirect(QStringLiteral("sqlite"), m_file);
    return db.OpenServer(address());
}

ServerAddress DbLocation::address() const
{
    ServerAddress address;
    address.host = m_host;
    address.port = m_port.toInt();
    address.user = m_user;
    address.database = m_database;
    return address;
}

QString DbLocation::describe() const
{
    if (m_kind == Kind::SqliteFile)
        return m_file;
    return QStringLiteral("%1@%2:%3/%4").arg(m_user, m_host, m_port.isEmpty() ? QStringLiteral("5432") : m_port, m_database);
}

QString DbLocation::configElement() const
{
    if (m_kind == Kind::SqliteFile)
        return QStringLiteral("<database driver=\"sqlite\" file=\"%1\"/>").arg(xmlAttr(m_file));
    return QStringLiteral("<database driver=\"postgres\" host=\"%1\" port=\"%2\" user=\"%3\" database=\"%4\"/>")
        .arg(xmlAttr(m_host), xmlAttr(m_port.isEmpty() ? QStringLiteral("5432") : m_port), xmlAttr(m_user),
             xmlAttr(m_database));
}

QString DbLocation::passwordFileHint(const QString &failure) const
{
    if (m_kind != Kind::Postgres || m_configPassword
        || !(failure.contains(QStringLiteral("password"), Qt::CaseInsensitive)
             || failure.contains(QStringLiteral("authentication"), Qt::CaseInsensitive)))
        return {};
    const PgPassFile pgpass;
    if (!pgpass.exists())
        return QStringLiteral("there is no password file %1; add the line %2:%3:%4:%5:PASSWORD and chmod 600 it")
            .arg(pgpass.path(), m_host, m_port.isEmpty() ? QStringLiteral("5432") : m_port, m_database, m_user);
    if (pgpass.permissionsTooOpen())
        return QStringLiteral("%1 is readable by others, so PostgreSQL ignores it; run chmod 600 %1").arg(pgpass.path());
    if (!pgpass.covers(m_host, m_port, m_database, m_user))
        return QStringLiteral("%1 has no line for %2:%3:%4:%5")
            .arg(pgpass.path(), m_host, m_port.isEmpty() ? QStringLiteral("5432") : m_port, m_database, m_user);
    return {};
}

bool DbLocation::sameAs(const DbLocation &other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (m_kind == Kind::SqliteFile)
        return QFileInfo(m_file).canonicalFilePath() == QFileInfo(other.m_file).canonicalFilePath()
            && !QFileInfo(m_file).canonicalFilePath().isEmpty();
    return m_host.compare(other.m_host, Qt::CaseInsensitive) == 0 && m_port == other.m_port
        && m_database == other.m_database;
}
