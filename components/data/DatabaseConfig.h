#pragma once

#include "jx_components_export.h"

#include "components/data/ServerAddress.h"
#include "platform/com/Result.h"

#include <QString>

/// The product database as a configuration file describes it:
///   <configuration><database driver="sqlite" file="jx.db"/></configuration>
///   <configuration><database driver="postgres" host="..." port="5432" user="..."
///                            password="..." database="..."/></configuration>
/// Values as attributes or as child elements of the same names; a relative
/// file is taken from the configuration file's folder. The console, jx-db and
/// the backup all read the element through here, so they name one database.
class JX_COMPONENTS_EXPORT DatabaseConfig
{
public:
    enum class Engine { Sqlite, Postgres };

    /// Fails with the reason (in the product's words) when the file cannot be
    /// read or names no usable database.
    static jx::Result<DatabaseConfig> read(const QString &configFile);

    Engine engine() const { return m_engine; }
    bool isSqlite() const { return m_engine == Engine::Sqlite; }
    /// The SQLite file as an absolute local path; "" for PostgreSQL.
    const QString &file() const { return m_file; }
    /// The server's parts, password included when the configuration holds one.
    const ServerAddress &server() const { return m_server; }

private:
    Engine m_engine = Engine::Sqlite;
    QString m_file;
    ServerAddress m_server;
};
