#pragma once

#include "jx_components_export.h"

#include <QString>
#include <QStringList>

class Database;

/// What tables and columns an open database holds, read from the engine's own
/// catalogue (sqlite_master, or information_schema for the current PostgreSQL
/// schema). Failures leave the reason in the database's LastError.
class JX_COMPONENTS_EXPORT SchemaCatalog
{
public:
    explicit SchemaCatalog(Database &db) : m_db(db) {}

    /// Base tables, names as the engine keeps them (PostgreSQL folds to lower
    /// case), sorted case-insensitively. ok reports whether the catalogue could be read.
    QStringList tables(bool *ok = nullptr) const;
    /// Columns of a table in their order; empty when the table cannot be read.
    QStringList columns(const QString &table) const;
    /// Rows of a table; -1 when it cannot be counted.
    qint64 rowCount(const QString &table) const;

    /// The entry of names equal to name ignoring letter case; "" when none.
    static QString find(const QStringList &names, const QString &name);

private:
    Database &m_db;
};
