// A 1,000-row recordset read by field name on SQLite: the database component
// beside the same read through the sqlite3 C interface, on the same file.
#include "components/data/Database.h"
#include "platform/com/LateBound.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {
struct BenchDb
{
    QTemporaryDir dir;
    QString path;
    BenchDb()
    {
        path = dir.filePath(QStringLiteral("bench.db"));
        QFile(path).open(QIODevice::WriteOnly);
        Database db;
        db.OpenDirect(QStringLiteral("sqlite"), path);
        QString script = QStringLiteral("CREATE TABLE xt_menu (menucode VARCHAR(20) PRIMARY KEY, menuname VARCHAR(100), progID INTEGER, menuorder INTEGER);\n");
        for (int i = 0; i < 1000; ++i)
            script += QStringLiteral("INSERT INTO xt_menu VALUES ('%1', '菜单%1', %2, %3);\n").arg(i, 6, 10, QChar(u'0')).arg(1000 + i).arg(i % 17);
        db.ExecuteScript(script);
    }
};

BenchDb &benchDb()
{
    static BenchDb db;
    return db;
}

const char *kSql = "select menucode,menuname,progID,menuorder from xt_menu order by menucode";

void BM_Database_ReadByFieldName(benchmark::State &state)
{
    Database db;
    db.OpenDirect(QStringLiteral("sqlite"), benchDb().path);
    const QString sql = QString::fromLatin1(kSql);
    for (auto _ : state) {
        Recordset rs = db.Query(sql, 1).Recordset();
        qint64 sum = 0;
        for (; !rs.Eof(); rs.MoveNext()) {
            sum += rs.Fields(QStringLiteral("menucode")).toString().size();
            sum += rs.Fields(QStringLiteral("menuName")).toString().size();
            sum += rs.Fields(QStringLiteral("progid")).toLongLong();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Database_ReadByFieldName)->Unit(benchmark::kMicrosecond);

int columnByName(sqlite3_stmt *st, const char *name)
{
    for (int i = 0; i < sqlite3_column_count(st); ++i)
        if (sqlite3_stricmp(sqlite3_column_name(st, i), name) == 0)
            return i;
    return -1;
}

// The 1,000 rows through the sqlite3 C interface; `column` finds a field's position.
template<typename Column>
void readThroughSqlite3(benchmark::State &state, Column column)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(benchDb().path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, kSql, -1, &st, nullptr);
        qint64 sum = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            sum += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, column(st, "menucode", 0)))).size();
            sum += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, column(st, "menuName", 1)))).size();
            sum += sqlite3_column_int64(st, column(st, "progid", 2));
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * 1000);
}

void BM_Sqlite3C_ReadByFieldName(benchmark::State &state)
{
    // Looked up by name on every row, as the recordset reader does.
    readThroughSqlite3(state, [](sqlite3_stmt *st, const char *name, int) { return columnByName(st, name); });
}
BENCHMARK(BM_Sqlite3C_ReadByFieldName)->Unit(benchmark::kMicrosecond);

// One field of the current row, early-bound: the C++ object as the console uses it.
void BM_Recordset_FieldEarlyBound(benchmark::State &state)
{
    Database db;
    db.OpenDirect(QStringLiteral("sqlite"), benchDb().path);
    const Recordset rs = db.Query(QString::fromLatin1(kSql), 1).Recordset();
    for (auto _ : state)
        benchmark::DoNotOptimize(rs.Fields(QStringLiteral("menuName")).toString().size());
}
BENCHMARK(BM_Recordset_FieldEarlyBound);

// The same field as another library reads it: Fields("menuName").Value by name.
void BM_Recordset_FieldLateBound(benchmark::State &state)
{
    Database db;
    db.OpenDirect(QStringLiteral("sqlite"), benchDb().path);
    Recordset rs = db.Query(QString::fromLatin1(kSql), 1).Recordset();
    const com::Variant name = com::Variant::fromString(QStringLiteral("menuName"));
    for (auto _ : state) {
        const com::Variant field = com::call(&rs, QStringLiteral("Fields"), {name});
        const com::Variant value = com::get(field.pdispVal, QStringLiteral("Value"));
        benchmark::DoNotOptimize(com::toQVariant(value).toString().size());
    }
}
BENCHMARK(BM_Recordset_FieldLateBound);

// 1,000 rows read in one late-bound GetRows call, every cell turned into a value.
void BM_Recordset_GetRowsLateBound(benchmark::State &state)
{
    Database db;
    db.OpenDirect(QStringLiteral("sqlite"), benchDb().path);
    const QString sql = QString::fromLatin1(kSql);
    for (auto _ : state) {
        Recordset rs = db.Query(sql, 1).Recordset();
        const QVector<QVector<QVariant>> cells = com::tableOf(com::call(&rs, QStringLiteral("GetRows")));
        qint64 sum = 0;
        for (int r = 0; r < cells[0].size(); ++r)
            sum += cells[0][r].toString().size() + cells[1][r].toString().size() + cells[2][r].toLongLong();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Recordset_GetRowsLateBound)->Unit(benchmark::kMicrosecond);

// The same 1,000 rows through the sqlite3 C interface, by column position.
void BM_Sqlite3C_ReadRows(benchmark::State &state)
{
    readThroughSqlite3(state, [](sqlite3_stmt *, const char *, int position) { return position; });
}
BENCHMARK(BM_Sqlite3C_ReadRows)->Unit(benchmark::kMicrosecond);
} // namespace
