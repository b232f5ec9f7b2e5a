#include "jxedit/ViewingRules.h"

#include <QRegularExpression>

namespace jxedit {

namespace {

const QString kDone = QStringLiteral("已完成");
const QString kCancelled = QStringLiteral("已取消");
const QString kBooked = QStringLiteral("已预约");
const QString kOnMarket = QStringLiteral("有效");

QString text(const QVariantMap &m, const char *field) { return m.value(QString::fromLatin1(field)).toString().trimmed(); }

QString clock(int minute)
{
    return QStringLiteral("%1:%2").arg(minute / 60 % 24, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

int lengthOf(const QVariant &duration)
{
    // A viewing takes at least a moment, so two at the same minute always meet.
    return qMax(1, duration.toInt());
}

} // namespace

ViewingRules::ViewingRules(DataLink link) : m_link(link) {}

int ViewingRules::minuteOfDay(const QString &time)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch m = pattern.match(time.trimmed());
    if (!m.hasMatch())
        return -1;
    const int hour = m.captured(1).toInt(), minute = m.captured(2).toInt();
    return hour <= 23 && minute <= 59 ? hour * 60 + minute : -1;
}

bool ViewingRules::inThePast(const QVariantMap &viewing, const QDateTime &now)
{
    const QDate day = QDate::fromString(text(viewing, "viewdate"), QStringLiteral("yyyy-MM-dd"));
    const int minute = minuteOfDay(text(viewing, "viewtime"));
    if (!day.isValid())
        return false;
    return QDateTime(day, QTime(0, 0).addSecs(qMax(0, minute) * 60)) < now;
}

jx::Result<QStringList> ViewingRules::warnings(int id, const QVariantMap &before, const QVariantMap &after) const
{
    QStringList out;
    if (text(after, "status") == kCancelled)
        return out;
    // Asked again only when the time or who and what it concerns changed, or a cancelled viewing is taken up again.
    bool changed = before.isEmpty() || text(before, "status") == kCancelled;
    for (const char *field : {"viewdate", "viewtime", "duration", "agent", "houseid"})
        changed = changed || text(before, field) != text(after, field);
    if (!changed)
        return out;
    if (const auto clashing = clashes(id, after, out); !clashing)
        return jx::fail(clashing.error());
    if (const auto gone = offMarket(after, out); !gone)
        return jx::fail(gone.error());
    return out;
}

jx::Result<> ViewingRules::clashes(int id, const QVariantMap &after, QStringList &out) const
{
    const int start = minuteOfDay(text(after, "viewtime"));
    if (start < 0 || text(after, "viewdate").isEmpty())
        return {};
    const int end = start + lengthOf(after.value(QStringLiteral("duration")));
    const QString agent = text(after, "agent");
    const int house = after.value(QStringLiteral("houseid")).toInt();
    const auto rows = m_link.select(QStringLiteral("select v.id,v.viewtime,v.duration,coalesce(v.agent,''),v.houseid,coalesce(k.name,''),"
                                                   "coalesce(h.code,''),coalesce(h.community,'') from dk_viewing v"
                                                   " left join kh_customer k on k.id=v.customerid left join fy_house h on h.id=v.houseid"
                                                   " where v.viewdate=? and v.status<>? and v.id<>? and (v.agent=? or v.houseid=?)"
                                                   " order by v.viewtime,v.id"),
                                    {text(after, "viewdate"), kCancelled, id, agent, house});
    if (!rows)
        return jx::fail(rows.error());
    for (const QVector<QVariant> &r : rows->rows) {
        const int otherStart = minuteOfDay(r.value(1).toString());
        if (otherStart < 0)
            continue;
        const int otherEnd = otherStart + lengthOf(r.value(2));
        if (!(start < otherEnd && otherStart < end))
            continue;
        const QString when = QStringLiteral("%1 %2–%3").arg(text(after, "viewdate"), clock(otherStart), clock(otherEnd));
        const QString listing = QStringLiteral("房源 %1（%2）").arg(r.value(6).toString(), r.value(7).toString());
        const QString customer = QStringLiteral("客户 %1").arg(r.value(5).toString());
        const bool sameAgent = !agent.isEmpty() && r.value(3).toString() == agent;
        const bool sameHouse = r.value(4).toInt() == house;
        QString line;
        if (sameAgent && sameHouse)
            line = QStringLiteral("经纪人 %1 在 %2 已带%3看同一%4（带看记录 %5）").arg(agent, when, customer, listing).arg(r.value(0).toInt());
        else if (sameAgent)
            line = QStringLiteral("经纪人 %1 在 %2 已有带看：%3 看%4（带看记录 %5）").arg(agent, when, customer, listing).arg(r.value(0).toInt());
        else
            line = QStringLiteral("%1在 %2 已有带看：%3，经纪人 %4（带看记录 %5）")
                       .arg(listing, when, customer, r.value(3).toString().isEmpty() ? QStringLiteral("未指定") : r.value(3).toString())
                       .arg(r.value(0).toInt());
        out << line;
    }
    return {};
}

jx::Result<> ViewingRules::offMarket(const QVariantMap &after, QStringList &out) const
{
    if (text(after, "status") != kBooked)
        return {};
    const auto rows = m_link.select(QStringLiteral("select code,community,status from fy_house where id=?"), {after.value(QStringLiteral("houseid"))});
    if (!rows)
        return jx::fail(rows.error());
    if (rows->rows.isEmpty())
        return {}; // the link itself says it names nothing
    const QString status = rows->rows.first().value(2).toString();
    if (status != kOnMarket)
        out << QStringLiteral("房源 %1（%2）的状态为“%3”，已不在市场上")
                   .arg(rows->rows.first().value(0).toString(), rows->rows.first().value(1).toString(), status);
    return {};
}

QString ViewingRules::followUpText(const QString &outcome, const QString &feedback)
{
    const QString head = outcome.trimmed().isEmpty() ? QStringLiteral("带看反馈") : QStringLiteral("带看反馈（%1）").arg(outcome.trimmed());
    return feedback.trimmed().isEmpty() ? head : QStringLiteral("%1：%2").arg(head, feedback.trimmed());
}

jx::Result<> ViewingRules::writeFollowUp(int id, const QVariantMap &after, const ChangeHistory &history) const
{
    if (after.isEmpty() || text(after, "status") != kDone || (text(after, "feedback").isEmpty() && text(after, "outcome").isEmpty()))
        return {};
    const QStringList fields{QStringLiteral("houseid"), QStringLiteral("customerid"), QStringLiteral("followdate"), QStringLiteral("method"),
                             QStringLiteral("agent"), QStringLiteral("content")};
    const QString agent = text(after, "agent");
    const QVariantList now{after.value(QStringLiteral("houseid")), after.value(QStringLiteral("customerid")), text(after, "viewdate"),
                           QStringLiteral("带看"), agent.isEmpty() ? QVariant() : QVariant(agent),
                           followUpText(text(after, "outcome"), text(after, "feedback"))};
    const auto followId = m_link.scalar(QStringLiteral("select followid from dk_viewing where id=?"), {id});
    if (!followId)
        return jx::fail(followId.error());
    const QVariant linked = *followId;
    DataLink::Rows stored;
    if (linked.isValid() && !linked.isNull()) {
        auto read = m_link.select(QStringLiteral("select %1,version from gj_follow where id=?").arg(fields.join(u',')), {linked});
        if (!read)
            return jx::fail(read.error());
        stored = std::move(read).value();
    }
    QVector<ChangeHistory::Change> changes;
    if (!stored.rows.isEmpty()) {
        const QVector<QVariant> &was = stored.rows.first();
        for (int i = 0; i < fields.size(); ++i)
            if (was.value(i).toString() != now.value(i).toString())
                changes.append({fields.at(i), was.value(i).toString(), now.value(i).toString()});
        if (changes.isEmpty())
            return {};
        const int next = was.value(fields.size()).toInt() + 1;
        QVariantList params = now;
        params << next << linked;
        const auto updated = m_link.execute(QStringLiteral("update gj_follow set houseid=?,customerid=?,followdate=?,method=?,agent=?,content=?,version=? where id=?"),
                                            params);
        // Anything but the one row is a failure; the engine gives a reason only for an error.
        if (!updated || *updated != 1)
            return jx::fail(updated.error());
        return history.record(QStringLiteral("gj_follow"), linked.toInt(), next, QStringLiteral("修改"), changes);
    }
    // A new follow-up, keyed above every follow-up there ever was (as a record form keys one).
    const auto last = m_link.scalar(QStringLiteral("select max(id) from gj_follow"), {});
    if (!last)
        return jx::fail(last.error());
    const auto lastKept = history.highestId(QStringLiteral("gj_follow"));
    if (!lastKept)
        return jx::fail(lastKept.error());
    const int follow = qMax(last->toInt(), lastKept->toInt()) + 1;
    QVariantList params{follow};
    params += now;
    if (const auto inserted = m_link.execute(QStringLiteral("insert into gj_follow (id,houseid,customerid,followdate,method,agent,content) values (?,?,?,?,?,?,?)"),
                                             params);
        !inserted || *inserted != 1)
        return jx::fail(inserted.error());
    for (int i = 0; i < fields.size(); ++i)
        if (!now.value(i).toString().isEmpty())
            changes.append({fields.at(i), QString(), now.value(i).toString()});
    if (const auto linkedNow = m_link.execute(QStringLiteral("update dk_viewing set followid=? where id=?"), {follow, id});
        !linkedNow || *linkedNow != 1)
        return jx::fail(linkedNow.error());
    return history.record(QStringLiteral("gj_follow"), follow, 1, QStringLiteral("新增"), changes);
}

} // namespace jxedit
