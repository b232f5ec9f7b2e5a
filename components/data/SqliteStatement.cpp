#include "components/data/SqliteStatement.h"

#include "components/data/StatementFailure.h"

#include <QByteArray>
#include <QDateTime>
#include <QTime>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {
struct Finalize
{
    void operator()(sqlite3_stmt *st) const { sqlite3_finalize(st); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

// A null string, byte array or date binds Null, as in Qt SQL.
bool isNullValue(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDateTime:
        return static_cast<const QDateTime *>(value.constData())->isNull();
    case QMetaType::QDate:
        return static_cast<const QDate *>(value.constData())->isNull();
    case QMetaType::QTime:
        return static_cast<const QTime *>(value.constData())->isNull();
    default:
        return false;
    }
}

int bindText(sqlite3_stmt *st, int index, const QString &text)
{
    return sqlite3_bind_text16(st, index, text.utf16(), static_cast<int>(text.size() * sizeof(char16_t)),
                               SQLITE_TRANSIENT);
}

// The same storage classes Qt SQL's SQLite driver binds.
int bind(sqlite3_stmt *st, int index, const QVariant &value)
{
    if (isNullValue(value))
        return sqlite3_bind_null(st, index);
    switch (value.metaType().id()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(st, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(st, index, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(st, index, value.toDouble());
    case QMetaType::QDateTime:
        return bindText(st, index, value.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime:
        return bindText(st, index, value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
    default:
        return bindText(st, index, value.toString());
    }
}

QVariant columnValue(sqlite3_stmt *st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB: {
        const void *data = sqlite3_column_blob(st, i);
        return QVariant(QByteArray(static_cast<const char *>(data), sqlite3_column_bytes(st, i)));
    }
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
        // Built inside the variant: QVariant(const QString &) would copy the
        // string and drop the temporary, two indirect calls per text value.
        QVariant value(QMetaType::fromType<QString>(), nullptr);
        *static_cast<QString *>(value.data()) = QString::fromUtf8(text, sqlite3_column_bytes(st, i));
        return value;
    }
    }
}

QString failure(sqlite3 *db)
{
    return StatementFailure::sqliteFailure(sqlite3_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}
} // namespace

sqlite3 *SqliteStatement::handleOf(const QVariant &driverHandle)
{
    if (!driverHandle.isValid() || qstrcmp(driverHandle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(driverHandle.constData());
}

jx::Result<> SqliteStatement::readsOnly(sqlite3 *db, const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &raw, nullptr) != SQLITE_OK)
        return jx::fail(failure(db));
    Statement st(raw);
    if (st && !sqlite3_stmt_readonly(st.get()))
        return jx::fail(QStringLiteral("该语句会修改数据，这里只能读取数据"));
    return {};
}

jx::Result<> SqliteStatement::run(sqlite3 *db, const QString &sql, const QVariantList &params, QStringList &columns,
                                  QVector<QVariant> &cells)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &raw, &tail) != SQLITE_OK)
        return jx::fail(failure(db));
    Statement st(raw);
    if (!st) // only blanks or a comment
        return jx::fail(QStringLiteral("no statement"));
    for (const char *p = tail; p && *p; ++p) {
        if (*p != ';' && !QChar::isSpace(static_cast<uchar>(*p)))
            return jx::fail(QStringLiteral("Unable to execute multiple statements at a time"));
    }
    if (sqlite3_bind_parameter_count(st.get()) != params.size())
        return jx::fail(QStringLiteral("Parameter count mismatch"));
    for (int i = 0; i < params.size(); ++i) {
        if (bind(st.get(), i + 1, params.at(i)) != SQLITE_OK)
            return jx::fail(failure(db));
    }
    const int width = sqlite3_column_count(st.get());
    for (int i = 0; i < width; ++i)
        columns << QString::fromUtf8(sqlite3_column_name(st.get(), i)).remove(u'"');
    for (;;) {
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            return {};
        if (rc != SQLITE_ROW) {
            columns.clear();
            cells.clear();
            return jx::fail(failure(db));
        }
        // Grown by doubling and filled in place: appending cell by cell went
        // through an out-of-line emplace for every value.
        const qsizetype used = cells.size();
        if (cells.capacity() < used + width)
            cells.reserve(std::max<qsizetype>({2 * cells.capacity(), used + width, 64}));
        cells.resize(used + width);
        QVariant *cell = cells.data() + used;
        for (int i = 0; i < width; ++i)
            cell[i] = columnValue(st.get(), i);
    }
}
