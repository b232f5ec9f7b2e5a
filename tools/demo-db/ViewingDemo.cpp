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

bool fail(Database &db, QString &why)
{
    why = db.LastError().Description();
    db.RollbackTrans();
    return false;
}

bool readRows(Database &db, const QString &sql, const std::function<void(Recordset &)> &each, QString &why)
{
    const QueryResult result = db.Query(sql);
    if (!result.ok()) {
        why = db.LastError().Description();
        return false;
    }
    Recordset rs = result.Recordset();
    while (!rs.Eof()) {
        each(rs);
        rs.MoveNext();
    }
    return true;
}

QString clock(int minute) { return QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0')); }

} // namespace

bool ViewingDemo::add(Database &db, const QDate &today, QString &why)
{
    QVector<Listing> listings;
    QVector<Customer> customers;
    if (!readRows(db, QStringLiteral("select id,dealtype,status from fy_house order by id"),
                  [&](Recordset &rs) {
                      listings.append({rs.Fields(QStringLiteral("id")).toInt(), rs.Fields(QStringLiteral("dealtype")).toString(),
                                       rs.Fields(QStringLiteral("status")).toString()});
                  },
                  why)
        || !readRows(db, QStringLiteral("select id,dealtype,agent from kh_customer order by id"),
                     [&](Recordset &rs) {
                         customers.append({rs.Fields(QStringLiteral("id")).toInt(), rs.Fields(QStringLiteral("dealtype")).toString(),
                                           rs.Fields(QStringLiteral("agent")).toString()});
                     },
                     why))
        return false;
    if (listings.isEmpty() || customers.isEmpty())
        return true;
    QVariant lastFollow = db.Query(QStringLiteral("select max(id) from gj_follow")).Value();
    int follow = lastFollow.toInt();

    QRandomGenerator r(20261211u);
    // Minutes taken per agent and per listing on a day, so no demo viewing clashes.
    QHash<QString, QVector<QPair<int, int>>> taken;
    auto freeAt = [&](const QString &key, int start, int end) {
        for (const auto &[s, e] : taken.value(key))
            if (start < e && s < end)
                return false;
        return true;
    };
    if (!db.BeginTrans()) {
        why = db.LastError().Description();
        return false;
    }
    const QString insert = QStringLiteral("insert into dk_viewing (id,houseid,customerid,agent,viewdate,viewtime,duration,status,feedback,outcome,followid)"
                                          " values (?,?,?,?,?,?,?,?,?,?,?)");
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
            // Booked viewings are of listings still on the market; past ones of any the customer could want.
            QVector<const Listing *> fitting;
            for (const Listing &l : listings)
                if (l.dealType == c.dealType && (!coming || l.status == u"有效"))
                    fitting << &l;
            if (fitting.isEmpty())
                continue;
            const Listing &l = *fitting.at(int(r.bounded(fitting.size())));
            const QString agent = todayForClerk ? clerk : c.agent;
            const int start = todayForClerk ? QVector<int>{10 * 60, 14 * 60, 16 * 60 + 30}.at(n - kPast) : int(r.bounded(18, 39)) * 30;
            const int minutes = QVector<int>{30, 45, 60, 60, 90}.at(int(r.bounded(5)));
            const QString dayText = day.toString(QStringLiteral("yyyy-MM-dd"));
            const QString agentKey = agent + u'|' + dayText, houseKey = QString::number(l.id) + u'|' + dayText;
            if (!freeAt(agentKey, start, start + minutes) || !freeAt(houseKey, start, start + minutes))
                continue;
            taken[agentKey].append({start, start + minutes});
            taken[houseKey].append({start, start + minutes});
            ++id;
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
                    // The feedback is the customer's follow-up about the listing, as a saved viewing writes it.
                    followId = ++follow;
                    if (!db.ExecuteParams(QStringLiteral("insert into gj_follow (id,houseid,customerid,followdate,method,agent,content)"
                                                         " values (?,?,?,?,?,?,?)"),
                                          {follow, l.id, c.id, dayText, QStringLiteral("带看"), agent,
                                           QStringLiteral("带看反馈（%1）：%2").arg(outcome, feedback)}))
                        return fail(db, why);
                }
            }
            if (!db.ExecuteParams(insert, {id, l.id, c.id, agent, dayText, clock(start), minutes, status, feedback, outcome, followId}))
                return fail(db, why);
            break;
        }
    }
    if (!db.CommitTrans()) {
        why = db.LastError().Description();
        db.RollbackTrans();
        return false;
    }
    return true;
}
