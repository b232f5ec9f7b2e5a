#pragma once

#include "jx_components_export.h"

#include "components/data/ErrorHolder.h"
#include "components/data/QueryResult.h"
#include "components/data/ServerAddress.h"
#include "platform/com/Dispatchable.h"

#include <QString>
#include <QVariant>

class ChangeFeed;

/// Program identifier the console creates the database object by.
inline constexpr const char *kDatabaseProgId = "qvDataAccessHelper.Database";

/// One connection to the product database (SQLite or PostgreSQL through Qt SQL).
///
/// The connection is described in the configuration file:
///   <configuration><database driver="sqlite" file="jx.db"/></configuration>
///     file is relative to the folder of the configuration file (the program folder).
///   <configuration><database driver="postgres" host="..." port="5432" user="..."
///                            password="..." database="..."/></configuration>
/// Child elements with the same names are accepted as well as attributes.
/// Statements in SQL Server dialect (select top N, left(x,n), getdate()) are
/// translated to what the connected engine accepts.
///
/// Reference-counted (see AppContext); its automation face offers the members
/// below by name, Properties as a collection of named values.
class JX_COMPONENTS_EXPORT Database final : public com::Dispatchable<Database>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E08-3B5D-4C7E-9F10-2A3B4C5D6E08}";
    static const com::MemberTable<Database> &members();

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    /// Opens the connection the configuration file describes. False: reason in LastError.
    bool Open(const QString &configFilePath, bool flag = true);
    /// Opens from an explicit description without a configuration file.
    /// driver "sqlite": file is used as given (must exist).
    /// driver "postgres": "host=..;port=..;user=..;password=..;database=.." in connection.
    bool OpenDirect(const QString &driver, const QString &connection);
    /// Opens a PostgreSQL database part by part; a host, user or database
    /// holding ';', '=' or a control character is refused.
    bool OpenServer(const ServerAddress &address);
    bool IsOpen() const;
    void Close();

    /// Runs one statement (translated for the engine). The second argument is ignored.
    QueryResult Query(const QString &sql, int options = 1);
    /// Runs a statement that changes data; false on failure, reason in LastError.
    bool Execute(const QString &sql);
    /// Runs a parameterised statement ("?" placeholders), rows read fully.
    QueryResult QueryParams(const QString &sql, const QVariantList &params);
    /// As QueryParams for a statement that must only read (one that comes
    /// from data, such as a function's definition): anything that could write
    /// is refused with the reason and changes nothing. On PostgreSQL outside a
    /// transaction it runs in a read-only one.
    QueryResult ReadParams(const QString &sql, const QVariantList &params);
    bool ExecuteParams(const QString &sql, const QVariantList &params);
    /// As ExecuteParams, giving the number of rows the statement changed; -1 on failure.
    int ExecuteCount(const QString &sql, const QVariantList &params);
    /// One transaction on the connection; false with the reason in LastError.
    bool BeginTrans();
    bool CommitTrans();
    bool RollbackTrans();
    /// Runs a script of statements separated by ";" at line ends, in one transaction.
    /// Column type BLOB becomes BYTEA on PostgreSQL.
    bool ExecuteScript(const QString &script);

    const ErrorHolder &LastError() const;
    bool ResetError();

    /// "getdate()" -> the engine's current date-time expression; other text unchanged.
    QString SqlExpression(const QString &expression) const;
    /// "driver" -> "sqlite" or "postgres"; "file", "host", "database" likewise; null when unknown.
    QVariant Properties(const QString &name) const;
    /// Names of the known properties.
    QStringList PropertyNames() const;

    /// Whether a transaction begun by BeginTrans is open.
    bool InTransaction() const;
    /// The notices of saved and deleted records on this connection (made
    /// when first asked for; gone with the connection). Late-bound as
    /// PublishChange(table, key, kind, user), WatchChanges(watcher) and
    /// UnwatchChanges(watcher).
    ChangeFeed &Changes();

    /// SQL Server dialect -> engine dialect ("sqlite" or "postgres").
    static QString translateSql(const QString &sql, const QString &driver);

private:
    struct Impl;
    Impl *d;
};
