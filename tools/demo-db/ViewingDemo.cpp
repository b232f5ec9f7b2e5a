#include "ViewingDemo.h"

#include "components/data/Database.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"

#include <QHash>
#include <functional>
#include <QRandomGenerator>
#include <QStringList>
#include <QVector>

namespace {

struct Listing
{
    int id;
    QString dealType, status;
};

struct Customer
{
    int id;
    QString dealType, agent;
};

const QStringList kFeedbackYes = {QStringLiteral("户型方正，采光好，客户很满意，想再带家人来看一次"),
                                  QStringLiteral("客户认可小区环境，觉得价格略高，希望业主让一点"),
                                  QStringLiteral("离地铁近，客户有意向，回去商量首付")};
const QStringList kFeedbackNo = {QStringLiteral("楼层太低，客户不考虑"), QStringLiteral("装修太旧，客户觉得还要花一笔钱"),
                                 QStringLiteral("客户嫌离公司远，不考虑")};
const QStringList kFeedbackOffer = {QStringLiteral("客户当场出价，等业主答复"), QStringLiteral("看完后客户愿意按挂牌价小幅还价")};

QString pick(QRandomGenerator &r, const QStringList &list) { return list.at(int(r.bounded(list.size()))); }

// The statement's reason, after rolling the transaction back.
jx::Failure fail(Database &db)
{
    QString why = db.LastError().Description();
    db.RollbackTrans();
    return jx::fail(std::move(why));
}

jx::Result<> readRows(Database &db, const QString &sql, const std::function<void(Recordset &)> &each)
{
    const QueryResult result = db.Query(sql);
    if (!result.ok())
        return jx::fail(db.LastError().Description());
    Recordset rs = result.Recordset();
    while (!rs.Eof()) {
        each(rs);
        rs.MoveNext();
    }
    return {};
}

QString clock(int minute) { return QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0')); }

jx::Result<> readPeople(Database &db, QVector<Listing> &listings, QVector<Customer> &customers)
{
    const auto read = readRows(db, QStringLiteral("select id,dealtype,status from fy_house order by id"), [&](Recordset &rs) {
        listings.append({rs.Fields(QStringLiteral("id")).toInt(), rs.Fields(QStringLiteral("dealtype")).toString(),
                         rs.Fields(QStringLiteral("status")).toString()});
    });
    if (!read)
        return read;
    return readRows(db, QStringLiteral("select id,dealtype,agent from kh_customer order by id"), [&](Recordset &rs) {
        customers.append({rs.Fields(QStringLiteral("id")).toInt(), rs.Fields(QStringLiteral("dealtype")).toString(),
                          rs.Fields(QStringLiteral("agent")).toString()});
    });
}

// Minutes taken per agent and per listing on a day, so no demo viewing clashes.
class Calendar
{
public:
    // Takes start..end for every key when all of them are free then.
    bool book(const QStringList &keys, int start, int end)
    {
        for (const QString &key : keys)
            for (const auto &[s, e] : m_taken.value(key))
                if (start < e && s < end)
                    return false;
        for (const QString &key : keys)
            m_taken[key].append({start, end});
        return true;
    }

private:
    QHash<QString, QVector<QPair<int, int>>> m_taken;
};

// A listing the customer could view: booked viewings are of listings still
// on the market, past ones of any of the customer's deal type. Null when none fits.
const Listing *pickListing(QRandomGenerator &r, const QVector<Listing> &listings, const Customer &c, bool coming)
{
    QVector<const Listing *> fitting;
    for (const Listing &l : listings)
        if (l.dealType == c.dealType && (!coming || l.status == u"有效"))
            fitting << &l;
    return fitting.isEmpty() ? nullptr : fitting.at(int(r.bounded(fitting.size())));
}

struct Viewing
{
    int id;
    const Listing &listing;
    const Customer &customer;
    QString agent, day;
    int start, minutes;
};

// Writes one viewing; a past one is drawn done (with its outcome and the
// feedback, which becomes the customer's follow-up about the listing, as a
// saved viewing writes it) or cancelled.
jx::Result<> writeViewing(Database &db, QRandomGenerator &r, const Viewing &v, bool coming, int &follow)
{
    // Empty, not null: the columns take no nulls.
    QString status = QStringLiteral("已预约"), feedback = QStringLiteral(""), outcome = QStringLiteral("");
    QVariant followId;
    if (!coming) {
        const int kind = int(r.bounded(20));
        if (kind < 3) {
            status = QStringLiteral("已取消");
        } else {
            status = QStringLiteral("已完成");
            outcome = kind < 10 ? QStringLiteral("有意向") : kind < 17 ? QStringLiteral("无意向") : QStringLiteral("已出价");
            feedback = pick(r, outcome == u"有意向" ? kFeedbackYes : outcome == u"无意向" ? kFeedbackNo : kFeedbackOffer);
            followId = ++follow;
            if (!db.ExecuteParams(QStringLiteral("insert into gj_follow (id,houseid,customerid,followdate,method,agent,content)"
                                                 " values (?,?,?,?,?,?,?)"),
                                  {follow, v.listing.id, v.customer.id, v.day, QStringLiteral("带看"), v.agent,
                                   QStringLiteral("带看反馈（%1）：%2").arg(outcome, feedback)}))
                return fail(db);
        }
    }
    const QString insert = QStringLiteral("insert into dk_viewing (id,houseid,customerid,agent,viewdate,viewtime,duration,status,feedback,outcome,followid)"
                                          " values (?,?,?,?,?,?,?,?,?,?,?)");
    if (!db.ExecuteParams(insert, {v.id, v.listing.id, v.customer.id, v.agent, v.day, clock(v.start), v.minutes, status, feedback,
                                   outcome, followId}))
        return fail(db);
    return {};
}

} // namespace

jx::Result<> ViewingDemo::add(Database &db, const QDate &today)
{
    QVector<Listing> listings;
    QVector<Customer> customers;
    if (const auto read = readPeople(db, listings, customers); !read)
        return read;
    if (listings.isEmpty() || customers.isEmpty())
        return {};
    int follow = db.Query(QStringLiteral("select max(id) from gj_follow")).Value().toInt();

    QRandomGenerator r(20261211u);
    Calendar calendar;
    if (!db.BeginTrans())
        return jx::fail(db.LastError().Description());
    int id = 0;
    // The clerk's (李秀英) day starts with viewings of her own, so her agenda and reminders show some.
    const QString clerk = QStringLiteral("李秀英");
    for (int n = 0; n < kPast + kComing; ++n) {
        const bool coming = n >= kPast;
        const bool todayForClerk = n >= kPast && n < kPast + 3;
        const QDate day = todayForClerk ? today
                          : coming      ? today.addDays(int(r.bounded(0, 15)))
                                        : today.addDays(-int(r.bounded(1, 91)));
        for (int attempt = 0; attempt < 20; ++attempt) {
            const Customer &c = customers.at(int(r.bounded(customers.size())));
            const Listing *l = pickListing(r, listings, c, coming);
            if (!l)
                continue;
            const QString agent = todayForClerk ? clerk : c.agent;
            const int start = todayForClerk ? QVector<int>{10 * 60, 14 * 60, 16 * 60 + 30}.at(n - kPast) : int(r.bounded(18, 39)) * 30;
            const int minutes = QVector<int>{30, 45, 60, 60, 90}.at(int(r.bounded(5)));
            const QString dayText = day.toString(QStringLiteral("yyyy-MM-dd"));
            if (!calendar.book({agent + u'|' + dayText, QString::number(l->id) + u'|' + dayText}, start, start + minutes))
                continue;
            if (const auto written = writeViewing(db, r, {++id, *l, c, agent, dayText, start, minutes}, coming, follow); !written)
                return written;
            break;
        }
    }
    if (!db.CommitTrans())
        return fail(db);
    return {};
}
