#include "OfferDemo.h"

#include "components/data/Database.h"

#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"

#include <QDate>
#include <QRandomGenerator>

#include <cmath>

namespace {

QString day(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }

// A sale's offers are in 万元 to one decimal, a letting's in whole 元 per month.
double rounded(double value, bool rent) { return rent ? std::round(value / 50.0) * 50.0 : std::round(value * 10.0) / 10.0; }

class Writer
{
public:
    explicit Writer(Database &db) : m_db(db) {}

    int add(int house, int customer, const QVariant &parent, const QString &agent, const QString &side, double amount, const QDate &when,
            const QString &state, const QVariant &contract, const QString &memo)
    {
        if (!m_ok)
            return 0;
        const int id = ++m_last;
        m_ok = m_db.ExecuteParams(QStringLiteral("insert into cj_offer (id,houseid,customerid,parentid,agent,side,amount,offerdate,state,memo,contractid)"
                                                 " values (?,?,?,?,?,?,?,?,?,?,?)"),
                                  {id, house, customer, parent, agent, side, amount, day(when), state, memo.isEmpty() ? QStringLiteral("") : memo, contract});
        if (!m_ok)
            m_why = m_db.LastError().Description();
        return id;
    }
    bool ok() const { return m_ok; }
    const QString &why() const { return m_why; }

private:
    Database &m_db;
    int m_last = 0;
    bool m_ok = true;
    QString m_why;
};

const QString kBuyer = QStringLiteral("买方出价");
const QString kSeller = QStringLiteral("卖方还价");

// Signed listings: the buyer bid, the owner answered, the buyer met him and
// that offer became the contract; another customer's bid was turned down.
jx::Result<> addSigned(Database &db, QRandomGenerator &r, Writer &w)
{
    const QueryResult signedRows = db.Query(QStringLiteral(
        "select c.id,c.houseid,c.customerid,c.price,c.signdate,c.agent,h.dealtype,h.price from ht_contract c join fy_house h on h.id=c.houseid"
        " where c.status<>'已解除' order by c.id"));
    Recordset rs = signedRows.Recordset();
    if (!signedRows.ok())
        return jx::fail(db.LastError().Description());
    for (int n = 0; !rs.Eof() && n < 14; rs.MoveNext(), ++n) {
        const int contract = rs.Field(0).toInt(), house = rs.Field(1).toInt(), customer = rs.Field(2).toInt();
        const double price = rs.Field(3).toDouble();
        const QDate signedOn = QDate::fromString(rs.Field(4).toString(), QStringLiteral("yyyy-MM-dd"));
        const QString agent = rs.Field(5).toString();
        const bool rent = rs.Field(6).toString() == u"出租";
        const double asking = rs.Field(7).toDouble();
        const QDate first = signedOn.addDays(-int(r.bounded(8, 20)));
        const int bid = w.add(house, customer, QVariant(), agent, kBuyer, rounded(price * 0.93, rent), first, QStringLiteral("已还价"), QVariant(),
                              QStringLiteral("首次出价"));
        const int counter = w.add(house, customer, bid, agent, kSeller, rounded(qMax(price, asking), rent), first.addDays(2),
                                  QStringLiteral("已还价"), QVariant(), QStringLiteral("业主坚持挂牌价附近"));
        w.add(house, customer, counter, agent, kBuyer, price, first.addDays(4), QStringLiteral("已接受"), contract, QStringLiteral("双方同意，转签约"));
        if (n % 3 == 0)
            w.add(house, 1 + (customer + 37) % 150, QVariant(), agent, kBuyer, rounded(price * 0.88, rent), first.addDays(1), QStringLiteral("已拒绝"),
                  QVariant(), QStringLiteral("另一位客户出价较低"));
    }
    return {};
}

// Listings still on offer: open bids, counters waiting for an answer, a
// withdrawn bid, several customers on one listing.
jx::Result<> addOpen(Database &db, QRandomGenerator &r, Writer &w, const QDate &today)
{
    const QueryResult freeRows = db.Query(QStringLiteral(
        "select h.id,h.price,h.dealtype,h.agent from fy_house h where h.status='有效'"
        " and not exists (select 1 from ht_contract c where c.houseid=h.id) order by h.id"));
    Recordset rs = freeRows.Recordset();
    if (!freeRows.ok())
        return jx::fail(db.LastError().Description());
    for (int n = 0; !rs.Eof() && n < 36; rs.MoveNext(), ++n) {
        if (n % 2 == 1)
            continue; // every other listing has none
        const int house = rs.Field(0).toInt();
        const double asking = rs.Field(1).toDouble();
        const bool rent = rs.Field(2).toString() == u"出租";
        const QString agent = rs.Field(3).toString();
        const int customer = 1 + int(r.bounded(150));
        const QDate first = today.addDays(-int(r.bounded(3, 40)));
        const double bidAmount = rounded(asking * (0.85 + r.bounded(8) / 100.0), rent);
        switch (n % 8) {
        case 0: // an open bid
            w.add(house, customer, QVariant(), agent, kBuyer, bidAmount, first, QStringLiteral("有效"), QVariant(), QString());
            break;
        case 2: { // the owner's counter waits for the buyer
            const int bid = w.add(house, customer, QVariant(), agent, kBuyer, bidAmount, first, QStringLiteral("已还价"), QVariant(), QString());
            w.add(house, customer, bid, agent, kSeller, rounded(asking * 0.97, rent), first.addDays(1), QStringLiteral("有效"), QVariant(),
                  QStringLiteral("业主可小幅让价"));
            break;
        }
        case 4: { // two customers compete
            w.add(house, customer, QVariant(), agent, kBuyer, bidAmount, first, QStringLiteral("有效"), QVariant(), QString());
            w.add(house, 1 + (customer + 53) % 150, QVariant(), agent, kBuyer, rounded(bidAmount * 1.02, rent), first.addDays(2),
                  QStringLiteral("有效"), QVariant(), QStringLiteral("客户诚意较高"));
            break;
        }
        default: { // a bid, the counter, then the buyer withdrew
            const int bid = w.add(house, customer, QVariant(), agent, kBuyer, bidAmount, first, QStringLiteral("已还价"), QVariant(), QString());
            const int counter = w.add(house, customer, bid, agent, kSeller, rounded(asking, rent), first.addDays(2), QStringLiteral("已还价"), QVariant(),
                                      QString());
            w.add(house, customer, counter, agent, kBuyer, rounded(bidAmount * 1.03, rent), first.addDays(3), QStringLiteral("已撤回"), QVariant(),
                  QStringLiteral("客户另选房源"));
            break;
        }
        }
    }
    return {};
}

} // namespace

jx::Result<> OfferDemo::add(Database &db)
{
    QRandomGenerator r(20260311u);
    Writer w(db);
    if (const auto added = addSigned(db, r, w); !added)
        return added;
    if (const auto added = addOpen(db, r, w, QDate::currentDate()); !added)
        return added;
    if (!w.ok())
        return jx::fail(w.why());
    return {};
}
