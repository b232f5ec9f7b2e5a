// Reads on SQLite go straight through the sqlite3 interface; they must give
// what Qt SQL's SQLite driver gives for the same file.
#include "components/data/Database.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Each column's storage class and quoted value, and the row's id.
QString storageOfEveryCell()
{
    QString stored;
    for (const char *c : {"i", "r", "s", "b", "n", "f", "d", "v"})
        stored += QStringLiteral("typeof(%1), quote(%1), ").arg(QLatin1String(c));
    return stored + QStringLiteral("rowid");
}

// Every cell of a statement's rows as text, read through our recordset.
QStringList cellTexts(Database &db, const QString &sql)
{
    QStringList out;
    for (Recordset rs = db.Query(sql, 1).Recordset(); !rs.Eof(); rs.MoveNext())
        for (int c = 0; c < rs.fieldCount(); ++c)
            out << rs.Field(c).toString();
    return out;
}

} // namespace

TEST(SqliteStatement, WritesAndReadsWhatQtSqlDriverWritesAndReads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.db"));
    QFile(path).open(QIODevice::WriteOnly);
    Database db;
    ASSERT_TRUE(db.OpenDirect(QStringLiteral("sqlite"), path));
    const QString columns = QStringLiteral("(i INTEGER, r REAL, s TEXT, b BLOB, n TEXT, f INTEGER, d TEXT, v)");
    ASSERT_TRUE(db.Execute(QStringLiteral("create table ours ") + columns));
    ASSERT_TRUE(db.Execute(QStringLiteral("create table qts ") + columns));
    const QByteArray bytes("\x00\xff\r\n<x/>", 8);
    const QDateTime when(QDate(2026, 3, 1), QTime(8, 30, 5, 120));
    const QList<QVariantList> rows = {
        {qlonglong(1) << 40, 2.5, QStringLiteral("房源'一"), bytes, QVariant(), true, when, 0.1f},
        {-7, 0.25, QString(), QByteArray(), QVariant(), 0, QTime(23, 59, 1), QStringLiteral("12")},
        {uint(7), -1e300, QStringLiteral(""), QByteArray(""), QDate(2026, 1, 2), false, QDateTime(), qulonglong(5)},
    };
    for (const QVariantList &row : rows)
        ASSERT_TRUE(db.ExecuteParams(QStringLiteral("insert into ours values (?,?,?,?,?,?,?,?)"), row))
            << db.LastError().Description().toStdString();

    QSqlDatabase qt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sqlite-statement-test"));
    {
        qt.setDatabaseName(path);
        ASSERT_TRUE(qt.open());
        for (const QVariantList &row : rows) {
            QSqlQuery insert(qt);
            ASSERT_TRUE(insert.prepare(QStringLiteral("insert into qts values (?,?,?,?,?,?,?,?)")));
            for (const QVariant &v : row)
                insert.addBindValue(v);
            ASSERT_TRUE(insert.exec());
        }
        // Stored alike: the same storage class and value in every cell.
        const QStringList mine = cellTexts(db, QStringLiteral("select ") + storageOfEveryCell() + QStringLiteral(" from ours order by rowid"));
        QStringList theirs;
        QSqlQuery q(qt);
        ASSERT_TRUE(q.exec(QStringLiteral("select ") + storageOfEveryCell() + QStringLiteral(" from qts order by rowid")));
        while (q.next())
            for (int c = 0; c < q.record().count(); ++c)
                theirs << q.value(c).toString();
        EXPECT_EQ(mine, theirs);
        EXPECT_EQ(mine.size(), 3 * 17);

        // Read alike: names, types and values of every cell, Null as an invalid value.
        const QString sql = QStringLiteral("select i, r, s, b, n, f, d, v, i + 0.5 as \"half\", length(b) from qts order by rowid");
        Recordset rs = db.Query(sql, 1).Recordset();
        ASSERT_TRUE(q.exec(sql));
        ASSERT_EQ(rs.fieldNames().size(), q.record().count());
        for (int c = 0; c < q.record().count(); ++c)
            EXPECT_EQ(rs.fieldNames().at(c), q.record().fieldName(c));
        int n = 0;
        for (; q.next(); rs.MoveNext(), ++n) {
            ASSERT_FALSE(rs.Eof());
            for (int c = 0; c < q.record().count(); ++c) {
                const QVariant expected = q.value(c), got = rs.Field(c);
                SCOPED_TRACE(QStringLiteral("row %1 column %2").arg(n).arg(c).toStdString());
                if (expected.isNull()) {
                    EXPECT_FALSE(got.isValid());
                    continue;
                }
                EXPECT_EQ(got.metaType(), expected.metaType());
                EXPECT_EQ(got, expected);
            }
        }
        EXPECT_EQ(n, 3);
        EXPECT_TRUE(rs.Eof());
    }
    qt = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("sqlite-statement-test"));

    Recordset first = db.Query(QStringLiteral("select b, s, d from ours order by rowid"), 1).Recordset();
    EXPECT_EQ(first.Fields(QStringLiteral("B")).toByteArray(), bytes);
    EXPECT_EQ(first.Fields(QStringLiteral("s")).toString(), QStringLiteral("房源'一"));
    EXPECT_EQ(first.Fields(QStringLiteral("d")).toString(), when.toString(Qt::ISODateWithMs));
}

TEST(SqliteStatement, RefusesWhatItCannotRunAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.db"));
    QFile(path).open(QIODevice::WriteOnly);
    Database db;
    ASSERT_TRUE(db.OpenDirect(QStringLiteral("sqlite"), path));
    ASSERT_TRUE(db.Execute(QStringLiteral("create table t (a INTEGER)")));

    const QueryResult two = db.Query(QStringLiteral("insert into t values (1); insert into t values (2)"), 1);
    EXPECT_FALSE(two.ok());
    EXPECT_FALSE(db.LastError().Description().isEmpty());
    EXPECT_EQ(db.Query(QStringLiteral("select count(*) from t"), 1).Value().toInt(), 0) << "nothing of a refused batch runs";

    EXPECT_FALSE(db.ExecuteParams(QStringLiteral("insert into t values (?)"), {1, 2}));
    EXPECT_FALSE(db.Query(QStringLiteral("select nothing from nowhere"), 1).ok());
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("nowhere")));
    EXPECT_FALSE(db.Execute(QStringLiteral("  ")));
    // Trailing semicolons and blanks are one statement.
    EXPECT_TRUE(db.Execute(QStringLiteral("insert into t values (3);  \n")));
    EXPECT_EQ(db.Query(QStringLiteral("select a from t"), 1).Value().toInt(), 3);
}
