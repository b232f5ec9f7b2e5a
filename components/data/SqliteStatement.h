#pragma once

#include "platform/com/Result.h"
#include "jx_components_export.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

struct sqlite3;

/// Runs one statement straight through the sqlite3 interface on the handle of
/// a connection Qt SQL opened, reading every row. Values come back as Qt
/// SQL's SQLite driver gives them (integer → qlonglong, real → double,
/// text → QString, blob → QByteArray) except that Null is an invalid QVariant;
/// parameters bind as that driver binds them. Skipping Qt SQL's per-value
/// caching is what makes large reads cheap.
class JX_COMPONENTS_EXPORT SqliteStatement
{
public:
    /// The sqlite3 handle behind a Qt SQLite connection's driver handle; null when it is none.
    static sqlite3 *handleOf(const QVariant &driverHandle);

    /// Whether the engine finds that one statement only reads (prepared, not run).
    /// A failure with the reason when it would write or cannot be prepared.
    static jx::Result<> readsOnly(sqlite3 *db, const QString &sql);

    /// The rows go into cells one after the other (row * columns + field),
    /// filled in place; a failure with the engine's reason.
    static jx::Result<> run(sqlite3 *db, const QString &sql, const QVariantList &params, QStringList &columns,
                            QVector<QVariant> &cells);
};
