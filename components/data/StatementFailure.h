#pragma once

#include "jx_components_export.h"

#include <QList>
#include <QMap>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <functional>

/// What a statement the engine refused means for the operator, read from the
/// error itself: whether the server connection went with it, and a plain
/// Chinese sentence for the errors an operator causes by what he typed (a
/// value too long, a duplicate, a missing referenced record, ...).
class JX_COMPONENTS_EXPORT StatementFailure
{
public:
    enum class Connection { Lost, Alive, Unclear };

    /// PostgreSQL: Lost for a connection error or SQLSTATE class 08 and
    /// 57P01..57P03; Alive for any other SQLSTATE; Unclear without one.
    static Connection connectionState(const QSqlError &error);

    /// One text column of a table and its declared limits in characters (a
    /// name may carry several when tables of that name live in several schemas).
    using ColumnLimits = QMap<QString, QList<int>>;
    using LimitLookup = std::function<ColumnLimits(const QString &table)>;

    /// The meaning of a PostgreSQL error; "" when it is none of the known kinds.
    /// sql and params are the statement as sent; limits is asked only for a value too long.
    static QString postgresMeaning(const QSqlError &error, const QString &sql, const QVariantList &params,
                                   const LimitLookup &limits);
    /// The meaning of an SQLite constraint failure by the engine's text; "" otherwise.
    static QString sqliteMeaning(const QString &native);
    /// An SQLite failure as the operator reads it: the engine's own text
    /// (native), led by what it means where the cause is one he can act on
    /// (another program holding the file, a file he may not write, a damaged
    /// file, a full disk, a read or write error, a value the schema refuses),
    /// as "meaning（native）"; native alone otherwise. resultCode is the
    /// engine's result code, extended or primary.
    static QString sqliteFailure(int resultCode, const QString &native);

    /// A column a statement gives a value to, with that value when the
    /// statement shows it (a bound value or a text literal).
    struct Assignment
    {
        QString column;
        QVariant value;
    };
    /// The columns "insert into T (cols) values (...)[, (...)]" or
    /// "update T set col=?, ..." assigns, in order, every row of a multi-row
    /// insert; table is T without quotes. Empty for any other statement.
    static QList<Assignment> assignments(const QString &sql, const QVariantList &params, QString *table);

    /// "“community”的内容太长：最多 100 个字符" for the first assigned text
    /// longer than its column's limit (the limit the server names, when it
    /// does); the limit alone, or a plain sentence, when no column can be told.
    static QString tooLong(const QList<Assignment> &assigned, const ColumnLimits &limits, int serverLimit);
};
