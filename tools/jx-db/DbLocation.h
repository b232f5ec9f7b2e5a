#pragma once

#include "platform/com/Result.h"

#include "components/data/ServerAddress.h"

#include <QString>

class Database;

/// A product database named on the command line: a console configuration
/// file (…​.Config), a SQLite file ("sqlite:PATH" or a plain path), or a
/// PostgreSQL server as "postgres://user@host:port/database". Passwords are
/// refused here; libpq takes them from ~/.pgpass.
class DbLocation
{
public:
    enum class Kind { SqliteFile, Postgres };

    /// A failure with the reason for text that names no usable database.
    static jx::Result<DbLocation> parse(const QString &text);

    Kind kind() const { return m_kind; }
    bool isPostgres() const { return m_kind == Kind::Postgres; }
    /// The SQLite file (absolute); "" for PostgreSQL.
    QString file() const { return m_file; }
    /// The configuration file it was read from; "" when named directly.
    QString configFile() const { return m_configFile; }
    /// The configuration keeps a password of its own.
    bool configHoldsPassword() const { return m_configPassword; }

    /// Opens it as the console would (through the configuration file when there is one).
    bool open(Database &db) const;
    /// The server's parts for Database::OpenServer (no password: ~/.pgpass has it).
    ServerAddress address() const;
    /// For people: the file, or user@host:port/database.
    QString describe() const;
    /// The <database …/> element a workstation's configuration needs for it.
    QString configElement() const;
    /// When failure (the connection's error text) is a refused sign-in: what
    /// ~/.pgpass lacks for this server; "" otherwise or when it looks fine.
    QString passwordFileHint(const QString &failure) const;
    bool sameAs(const DbLocation &other) const;

private:
    static jx::Result<DbLocation> fromConfig(const QString &path);

    Kind m_kind = Kind::SqliteFile;
    QString m_file, m_configFile;
    QString m_host, m_port, m_user, m_database;
    bool m_configPassword = false;
};
