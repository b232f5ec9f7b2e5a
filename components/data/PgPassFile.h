#pragma once

#include "jx_components_export.h"

#include <QString>

/// The standard PostgreSQL password file (~/.pgpass, or the file PGPASSFILE
/// names). libpq reads it itself whenever a connection names no password;
/// this class only answers whether it would serve a given connection, so that
/// a failed sign-in can say why.
class JX_COMPONENTS_EXPORT PgPassFile
{
public:
    /// PGPASSFILE when set, otherwise ~/.pgpass.
    static QString defaultPath();

    explicit PgPassFile(QString path = defaultPath());

    QString path() const { return m_path; }
    bool exists() const;
    /// libpq ignores a password file that its group or others may read or write.
    bool permissionsTooOpen() const;
    /// True when a line "host:port:database:user:password" matches; each of
    /// the first four fields may be "*". Empty arguments take libpq's defaults
    /// (host "localhost", port "5432", user the account name, database the user).
    bool covers(const QString &host, const QString &port, const QString &database, const QString &user) const;

private:
    QString m_path;
};
