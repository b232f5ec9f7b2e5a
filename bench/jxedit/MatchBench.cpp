// Matching one customer against 100,000 listings and one listing against
// 100,000 customers (candidates from the database, scored and ordered),
// each next to the plain range query over the same rows in the same run:
// the same table, the exact bounds, every row read through Qt SQL.

#include "BenchDatabase.h"

#include "components/context/AppContext.h"
#include "components/data/Database.h"
#include "jxedit/ListingMatcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRows = 100000;

struct Fixture
{
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Database> db;
    AppContext context;
    jxedit::DataLink link;

    Fixture()
    {
        path = dir.filePath(QStringLiteral("jx.db"));
        db = std::make_unique<Database>();
        benchdb::build(*db, path, kRows, kRows);
        if (!context.Attach(db.get(), 0)) {
            std::fprintf(stderr, "cannot attach the database\n");
            std::exit(1);
        }
        auto made = jxedit::DataLink::fromContext(&context);
        if (!made) {
            std::fprintf(stderr, "no database link: %s\n", qPrintable(made.error()));
            std::exit(1);
        }
        link = std::move(made).value();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

QSqlDatabase plainConnection(benchmark::State &state)
{
    const QString name = QStringLiteral("bench-plain");
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name) : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(fixture().path);
    if (!db.isOpen() && !db.open())
        state.SkipWithError("cannot open the database");
    return db;
}

// A buyer of a three-room flat in two districts, 300 to 500 (10,000 yuan), 90 to 130 m².
jxedit::ListingMatcher::Wish buyer()
{
    jxedit::ListingMatcher::Wish w;
    w.dealType = QStringLiteral("出售");
    w.districts = {QStringLiteral("西湖区"), QStringLiteral("滨江区")};
    w.priceMin = 300;
    w.priceMax = 500;
    w.areaMin = 90;
    w.areaMax = 130;
    w.rooms = 3;
    return w;
}

// A three-room flat in 西湖区 for sale at 260.
jxedit::ListingMatcher::Offer flat()
{
    jxedit::ListingMatcher::Offer o;
    o.dealType = QStringLiteral("出售");
    o.district = QStringLiteral("西湖区");
    o.price = 260;
    o.area = 100;
    o.rooms = 3;
    return o;
}

void BM_MatchCustomerToListings(benchmark::State &state)
{
    const jxedit::ListingMatcher matcher(fixture().link);
    const jxedit::ListingMatcher::Wish wish = buyer();
    QVector<jxedit::ListingMatcher::Match> found;
    for (auto _ : state) {
        auto matched = matcher.listingsFor(wish);
        if (!matched)
            state.SkipWithError(qPrintable(matched.error()));
        found = matched.valueOr({});
        benchmark::DoNotOptimize(found.size());
    }
    state.counters["rows"] = double(found.size());
}

void BM_PlainListingRangeQuery(benchmark::State &state)
{
    QSqlDatabase db = plainConnection(state);
    qsizetype rows = 0;
    for (auto _ : state) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("select id,code,dealtype,district,community,rooms,area,price,agent from fy_house"
                                 " where status='有效' and dealtype=? and district in (?,?) and price>=? and price<=?"
                                 " and area>=? and area<=? and rooms=? order by id"));
        for (const QVariant &v : QVariantList{QStringLiteral("出售"), QStringLiteral("西湖区"), QStringLiteral("滨江区"), 300, 500, 90, 130, 3})
            q.addBindValue(v);
        if (!q.exec())
            state.SkipWithError("query failed");
        rows = 0;
        while (q.next()) {
            for (int c = 0; c < 9; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++rows;
        }
    }
    state.counters["rows"] = double(rows);
}

void BM_MatchListingToCustomers(benchmark::State &state)
{
    const jxedit::ListingMatcher matcher(fixture().link);
    const jxedit::ListingMatcher::Offer offer = flat();
    QVector<jxedit::ListingMatcher::Match> found;
    for (auto _ : state) {
        auto matched = matcher.customersFor(offer);
        if (!matched)
            state.SkipWithError(qPrintable(matched.error()));
        found = matched.valueOr({});
        benchmark::DoNotOptimize(found.size());
    }
    state.counters["rows"] = double(found.size());
}

void BM_PlainCustomerRangeQuery(benchmark::State &state)
{
    QSqlDatabase db = plainConnection(state);
    qsizetype rows = 0;
    for (auto _ : state) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("select id,name,phone,dealtype,districts,pricemin,pricemax,areamin,areamax,rooms,agent from kh_customer"
                                 " where status='有效' and dealtype=? and (districts='' or districts like ?)"
                                 " and not (pricemax>0 and pricemax<?) and not (pricemin>?)"
                                 " and not (areamax>0 and areamax<?) and not (areamin>?) and (rooms<=0 or rooms=?) order by id"));
        for (const QVariant &v : QVariantList{QStringLiteral("出售"), QStringLiteral("%西湖区%"), 260, 260, 100, 100, 3})
            q.addBindValue(v);
        if (!q.exec())
            state.SkipWithError("query failed");
        rows = 0;
        while (q.next()) {
            for (int c = 0; c < 11; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++rows;
        }
    }
    state.counters["rows"] = double(rows);
}

BENCHMARK(BM_PlainListingRangeQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchCustomerToListings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCustomerRangeQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchListingToCustomers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    fixture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
