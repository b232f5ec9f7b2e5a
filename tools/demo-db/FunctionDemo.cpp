#include "FunctionDemo.h"

#include "OfferDemo.h"

#include "components/data/Database.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"

#include <QDate>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace {

const QStringList kDistricts = {QStringLiteral("西湖区"), QStringLiteral("上城区"), QStringLiteral("拱墅区"),
                                QStringLiteral("滨江区"), QStringLiteral("余杭区"), QStringLiteral("萧山区"),
                                QStringLiteral("临平区"), QStringLiteral("钱塘区")};
const QStringList kCommunities = {QStringLiteral("翠苑一区"), QStringLiteral("文鼎苑"), QStringLiteral("西溪诚园"),
                                  QStringLiteral("金地自在城"), QStringLiteral("绿城桂花园"), QStringLiteral("钱江花园"),
                                  QStringLiteral("星洲花园"), QStringLiteral("万科良渚文化村"), QStringLiteral("滨江金色海岸"),
                                  QStringLiteral("湖滨花园"), QStringLiteral("运河宸园"), QStringLiteral("东方郡")};
const QStringList kRoads = {QStringLiteral("文三路"), QStringLiteral("天目山路"), QStringLiteral("莫干山路"),
                            QStringLiteral("江南大道"), QStringLiteral("文一西路"), QStringLiteral("市心北路")};
const QStringList kSurnames = {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"), QStringLiteral("刘"),
                               QStringLiteral("陈"), QStringLiteral("杨"), QStringLiteral("赵"), QStringLiteral("黄"),
                               QStringLiteral("周"), QStringLiteral("吴"), QStringLiteral("徐"), QStringLiteral("孙")};
const QStringList kGiven = {QStringLiteral("先生"), QStringLiteral("女士"), QStringLiteral("建华"), QStringLiteral("玉兰"),
                            QStringLiteral("海涛"), QStringLiteral("晓燕"), QStringLiteral("志明"), QStringLiteral("婷婷")};
const QStringList kAgents = {QStringLiteral("王志强"), QStringLiteral("李秀英"), QStringLiteral("张伟"),
                             QStringLiteral("刘丽娟"), QStringLiteral("陈建国"), QStringLiteral("杨帆")};
const QStringList kMethods = {QStringLiteral("电话"), QStringLiteral("带看"), QStringLiteral("面谈"), QStringLiteral("微信")};
const QStringList kNotes = {QStringLiteral("客户对户型满意，考虑价格"), QStringLiteral("业主同意小幅议价"),
                            QStringLiteral("约周末再次带看"), QStringLiteral("客户希望靠近地铁"),
                            QStringLiteral("已发送房源照片"), QStringLiteral("暂不考虑，下月再联系")};

QString pick(QRandomGenerator &r, const QStringList &list) { return list.at(int(r.bounded(list.size()))); }
QString day(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }
QString phone(QRandomGenerator &r) { return QStringLiteral("13%1").arg(r.bounded(100000000, 999999999)); }

jx::Result<QString> readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return jx::fail(QStringLiteral("cannot read %1").arg(path));
    return QString::fromUtf8(f.readAll());
}

jx::Result<> run(Database &db, const QString &sql, const QVariantList &params)
{
    if (db.ExecuteParams(sql, params))
        return {};
    return jx::fail(db.LastError().Description());
}

// One listing; sale prices in 10,000 yuan, rents in yuan a month.
QVariantList listing(QRandomGenerator &r, int id, const QDate &today)
{
    const bool rent = r.bounded(3) == 0;
    const int rooms = int(r.bounded(1, 5));
    const double area = 35 + rooms * 22 + r.bounded(30);
    const double price = rent ? double(1500 + rooms * 900 + r.bounded(40) * 50)
                              : double(qRound(area * (2.2 + r.bounded(30) / 10.0)));
    const QString district = pick(r, kDistricts);
    return {id,
            QStringLiteral("FY%1").arg(id, 6, 10, QLatin1Char('0')),
            rent ? QStringLiteral("出租") : QStringLiteral("出售"),
            district,
            pick(r, kCommunities),
            QStringLiteral("%1%2号").arg(pick(r, kRoads)).arg(r.bounded(1, 300)),
            rooms,
            area,
            price,
            QStringLiteral("%1/%2").arg(r.bounded(1, 18)).arg(18),
            pick(r, kSurnames) + pick(r, kGiven),
            phone(r),
            pick(r, kAgents),
            r.bounded(10) == 0 ? QStringLiteral("暂缓") : QStringLiteral("有效"),
            day(today.addDays(-int(r.bounded(400))))};
}

const QString kInsertListing = QStringLiteral(
    "insert into fy_house (id,code,dealtype,district,community,address,rooms,area,price,floor,owner,ownerphone,agent,status,regdate)"
    " values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");

// One customer looking to buy or rent; `second` draws the further districts
// apart from `r`, so the rest of the demo rows stay as they were before
// customers named several.
QVariantList customer(QRandomGenerator &r, QRandomGenerator &second, int id, const QDate &today)
{
    const bool rent = r.bounded(3) == 0;
    const int rooms = int(r.bounded(1, 5));
    const double low = rent ? 1500 + rooms * 600 : 80 + rooms * 60;
    const double high = rent ? low + 3000 : low + 200;
    // Drawn in the order the rows always were.
    const QString name = pick(r, kSurnames) + pick(r, kGiven);
    const QString number = phone(r);
    // A quarter want any district, some name two; the first is also kept as the district.
    QStringList districts;
    if (r.bounded(4) != 0)
        districts << pick(r, kDistricts);
    if (!districts.isEmpty() && second.bounded(3) == 0)
        if (const QString other = pick(second, kDistricts); other != districts.first())
            districts << other;
    return {id, name, number, rent ? QStringLiteral("出租") : QStringLiteral("出售"),
            districts.isEmpty() ? QVariant() : QVariant(districts.first()), districts.isEmpty() ? QStringLiteral("") : districts.join(QStringLiteral("、")),
            low, high, 30 + rooms * 15, 80 + rooms * 30, rooms, pick(r, kAgents), QStringLiteral("有效"), day(today.addDays(-int(r.bounded(200))))};
}

const QString kInsertCustomer = QStringLiteral(
    "insert into kh_customer (id,name,phone,dealtype,district,districts,pricemin,pricemax,areamin,areamax,rooms,agent,status,regdate)"
    " values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");

// Inserts `count` rows made by `row(i)` in one transaction: all or none.
jx::Result<> insertAll(Database &db, const QString &sql, int count, const std::function<QVariantList(int)> &row)
{
    if (!db.BeginTrans())
        return jx::fail(db.LastError().Description());
    for (int i = 0; i < count; ++i) {
        if (const auto done = run(db, sql, row(i)); !done) {
            db.RollbackTrans();
            return done;
        }
    }
    if (!db.CommitTrans())
        return jx::fail(db.LastError().Description());
    return {};
}

} // namespace

jx::Result<> FunctionDemo::addListings(Database &db, int firstId, int count)
{
    QRandomGenerator r(quint32(firstId) * 7919u + 1u);
    const QDate today = QDate::currentDate();
    return insertAll(db, kInsertListing, count, [&](int i) { return listing(r, firstId + i, today); });
}

jx::Result<> FunctionDemo::addListingsInBulk(Database &db, int firstId, int count)
{
    // A statement per row costs a round trip each on a server; 200 rows
    // (3,000 values) stay under every engine's limit of bound values.
    constexpr int kRowsPerStatement = 200;
    QRandomGenerator r(quint32(firstId) * 7919u + 1u);
    const QDate today = QDate::currentDate();
    const QString head = kInsertListing.left(kInsertListing.indexOf(QStringLiteral(" values")));
    const QString one = QStringLiteral("(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!db.BeginTrans())
        return jx::fail(db.LastError().Description());
    for (int done = 0; done < count;) {
        const int n = std::min(kRowsPerStatement, count - done);
        QVariantList values;
        values.reserve(n * 15);
        for (int i = 0; i < n; ++i)
            values += listing(r, firstId + done + i, today);
        QStringList rows(n, one);
        if (const auto inserted = run(db, head + QStringLiteral(" values ") + rows.join(u','), values); !inserted) {
            db.RollbackTrans();
            return inserted;
        }
        done += n;
    }
    if (!db.CommitTrans())
        return jx::fail(db.LastError().Description());
    return {};
}

jx::Result<> FunctionDemo::addCustomers(Database &db, int firstId, int count)
{
    QRandomGenerator r(quint32(firstId) * 104729u + 3u), second(quint32(firstId) * 15485863u + 5u);
    const QDate today = QDate::currentDate();
    return insertAll(db, kInsertCustomer, count, [&](int i) { return customer(r, second, firstId + i, today); });
}

jx::Result<> FunctionDemo::load(Database &db, const QString &sqlDir)
{
    const auto schema = readFile(sqlDir + QStringLiteral("/schema.sql"));
    if (!schema)
        return jx::fail(schema.error());
    const auto functions = readFile(sqlDir + QStringLiteral("/functions.sql"));
    if (!functions)
        return jx::fail(functions.error());
    if (!db.ExecuteScript(*schema) || !db.ExecuteScript(*functions))
        return jx::fail(db.LastError().Description());
    return addRows(db);
}

jx::Result<> FunctionDemo::addRows(Database &db)
{
    const int listings = 300, customers = 150;
    if (const auto added = addListings(db, 1, listings); !added)
        return added;

    QRandomGenerator r(20260101u), second(20260102u);
    const QDate today = QDate::currentDate();
    if (!db.BeginTrans())
        return jx::fail(db.LastError().Description());
    // The first failure ends the rows and is the reason given.
    jx::Result<> ok;
    for (int id = 1; ok && id <= customers; ++id)
        ok = run(db, kInsertCustomer, customer(r, second, id, today));
    // Follow-ups: some due today or overdue, most in the past; some name a
    // customer about a listing.
    for (int id = 1; ok && id <= 400; ++id) {
        const int kind = int(r.bounded(3)); // 0 listing, 1 customer, 2 both
        const QDate when = today.addDays(-int(r.bounded(90)));
        const QDate next = id % 5 == 0 ? today.addDays(-int(r.bounded(3))) : when.addDays(int(r.bounded(3, 20)));
        const QVariant house = kind != 1 ? QVariant(int(r.bounded(1, listings + 1))) : QVariant();
        const QVariant customer = kind != 0 ? QVariant(int(r.bounded(1, customers + 1))) : QVariant();
        ok = run(db,
                 QStringLiteral("insert into gj_follow (id,houseid,customerid,followdate,nextdate,method,agent,content) values (?,?,?,?,?,?,?,?)"),
                 {id, house, customer, day(when), day(next), pick(r, kMethods), pick(r, kAgents), pick(r, kNotes)});
    }
    // Contracts on every fifth listing, with payment and hand-over dates spread
    // around today; each has its commission (1.5 % of a sale, a month's rent of
    // a letting). A signed listing is sold or let, its buyer served; every
    // tenth contract was cancelled and leaves both as they were.
    for (int id = 1; ok && id <= 60; ++id) {
        const int house = id * 5;
        const QueryResult listingRow = db.QueryParams(QStringLiteral("select dealtype,price from fy_house where id=?"), {house});
        Recordset rs = listingRow.Recordset();
        if (!listingRow.ok() || rs.Eof()) {
            ok = jx::fail(db.LastError().Description());
            break;
        }
        const QString dealType = rs.Fields(QStringLiteral("dealtype")).toString();
        const bool rent = dealType == u"出租";
        const double price = qRound(rs.Fields(QStringLiteral("price")).toDouble() * (0.95 + r.bounded(6) / 100.0));
        const double commission = rent ? price : price * 10000 * 0.015;
        const QDate signedOn = today.addDays(-int(r.bounded(120)));
        const QString agent = pick(r, kAgents);
        const int customer = int(r.bounded(1, customers + 1));
        const QString status = id % 10 == 0 ? QStringLiteral("已解除") : id % 4 == 0 ? QStringLiteral("已完成") : QStringLiteral("执行中");
        ok = run(db,
                 QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid,dealtype,signdate,price,commission,paydate,handoverdate,agent,status)"
                                " values (?,?,?,?,?,?,?,?,?,?,?,?)"),
                 {id, QStringLiteral("HT%1%2").arg(signedOn.toString(QStringLiteral("yyyyMMdd"))).arg(id, 3, 10, QLatin1Char('0')), house,
                  customer, dealType, day(signedOn), price, commission, day(today.addDays(int(r.bounded(-5, 40)))),
                  day(today.addDays(int(r.bounded(0, 60)))), agent, status});
        if (ok)
            ok = run(db, QStringLiteral("insert into yj_commission (id,contractid,agent,amount,settledate,status) values (?,?,?,?,?,?)"),
                     {id, id, agent, commission, id % 4 == 0 ? day(signedOn.addDays(30)) : QStringLiteral(""),
                      id % 4 == 0 ? QStringLiteral("已结") : QStringLiteral("未结")});
        if (ok && status != u"已解除")
            ok = run(db, QStringLiteral("update fy_house set status=? where id=?"),
                     {rent ? QStringLiteral("已出租") : QStringLiteral("已成交"), house});
        if (ok && status != u"已解除")
            ok = run(db, QStringLiteral("update kh_customer set status='已成交' where id=?"), {customer});
    }
    // Offers and counter-offers, the accepted ones tied to the contracts above.
    if (QString why; ok && !OfferDemo::add(db, why))
        ok = jx::fail(why);
    if (!ok) {
        db.RollbackTrans();
        return ok;
    }
    if (!db.CommitTrans())
        return jx::fail(db.LastError().Description());
    return {};
}
