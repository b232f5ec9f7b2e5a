#include "jxedit/MatchAlerts.h"

#include "jxedit/ListingMatcher.h"

#include <QDateTime>

namespace jxedit {

MatchAlerts::MatchAlerts(DataLink link) : m_link(std::move(link)) {}

jx::Result<> MatchAlerts::afterListingWrite(int id, const QVariantMap &before, const QVariantMap &after) const
{
    if (after.isEmpty())
        return {};
    // The listing as stored now, whatever fields the write named.
    const auto listing = m_link.select(QStringLiteral("select dealtype,district,price,area,rooms,status from fy_house where id=?"), {id});
    if (!listing)
        return jx::fail(listing.error());
    if (listing->rows.isEmpty() || listing->rows.first().value(5).toString() != u"有效")
        return {};
    const QVector<QVariant> &row = listing->rows.first();
    const bool isNew = before.isEmpty();
    if (!isNew && !(before.contains(QStringLiteral("price")) && row.value(2).toDouble() < before.value(QStringLiteral("price")).toDouble()))
        return {};
    ListingMatcher::Offer offer;
    offer.dealType = row.value(0).toString();
    offer.district = row.value(1).toString();
    offer.price = row.value(2).toDouble();
    offer.area = row.value(3).toDouble();
    offer.rooms = row.value(4).toInt();
    const auto matches = ListingMatcher(m_link).customersFor(offer, 0);
    if (!matches)
        return jx::fail(matches.error());
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString reason = isNew ? QStringLiteral("新房源") : QStringLiteral("降价");
    for (const ListingMatcher::Match &m : *matches) {
        if (m.score.percent < kThreshold)
            continue;
        // A pair told before is not told again, whatever brought the listing back.
        if (const auto told = m_link.execute(QStringLiteral("insert into jx_matchalert (houseid,customerid,score,reason,created)"
                                                            " select cast(? as integer),cast(? as integer),cast(? as integer),?,? where not exists"
                                                            " (select 1 from jx_matchalert where houseid=? and customerid=?)"),
                                             {id, m.key, m.score.percent, reason, now, id, m.key});
            !told)
            return jx::fail(QStringLiteral("记录匹配提醒失败：%1").arg(told.error()));
    }
    return {};
}

} // namespace jxedit
