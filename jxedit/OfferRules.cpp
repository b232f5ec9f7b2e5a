#include "jxedit/OfferRules.h"

namespace jxedit {

const QString OfferRules::kOpen = QStringLiteral("有效");

namespace {

const QString kCancelled = QStringLiteral("已解除");

} // namespace

OfferRules::OfferRules(DataLink link, ChangeHistory history) : m_link(link), m_history(std::move(history)) {}

QString OfferRules::amountCaption(const QString &dealType)
{
    if (dealType == u"出售")
        return QStringLiteral("出价金额(万元)");
    if (dealType == u"出租")
        return QStringLiteral("出价金额(元/月)");
    return QStringLiteral("出价金额(万元/元每月)");
}

QString OfferRules::otherSide(const QString &side)
{
    return side == u"卖方还价" ? QStringLiteral("买方出价") : QStringLiteral("卖方还价");
}

jx::Result<OfferRules::Offer> OfferRules::read(int id) const
{
    const auto rows = m_link.select(QStringLiteral("select o.id,o.houseid,o.customerid,o.parentid,o.version,o.agent,o.side,o.state,o.offerdate,o.amount,"
                                                   "h.code,h.dealtype from cj_offer o left join fy_house h on h.id=o.houseid where o.id=?"),
                                    {id});
    if (!rows)
        return jx::fail(rows.error());
    if (rows->rows.isEmpty())
        return jx::fail(QStringLiteral("出价<%1>不存在，可能已被删除").arg(id));
    const QVector<QVariant> &r = rows->rows.first();
    Offer offer;
    offer.id = r.value(0).toInt();
    offer.houseId = r.value(1).toInt();
    offer.customerId = r.value(2).toInt();
    offer.parentId = r.value(3).toInt();
    offer.version = r.value(4).toInt();
    offer.agent = r.value(5).toString();
    offer.side = r.value(6).toString();
    offer.state = r.value(7).toString();
    offer.offerDate = r.value(8).toString();
    offer.amount = r.value(9).toDouble();
    offer.houseCode = r.value(10).toString();
    offer.dealType = r.value(11).toString();
    return offer;
}

jx::Result<QString> OfferRules::dealTypeOf(const QVariant &house) const
{
    if (!house.isValid() || house.isNull())
        return QString();
    const auto value = m_link.scalar(QStringLiteral("select dealtype from fy_house where id=?"), {house});
    if (!value)
        return jx::fail(value.error());
    return value->toString();
}

jx::Result<> OfferRules::checkAccept(const Offer &offer) const
{
    if (offer.state != kOpen)
        return jx::fail(QStringLiteral("这条出价的状态是“%1”，只有“有效”的出价可以接受").arg(offer.state));
    const auto contracts = m_link.select(QStringLiteral("select contractno,status from ht_contract where houseid=? and status<>?"), {offer.houseId, kCancelled});
    if (!contracts)
        return jx::fail(contracts.error());
    if (!contracts->rows.isEmpty())
        return jx::fail(QStringLiteral("房源 %1 已有合同 %2（%3），不能再接受出价；如需重签，请先解除原合同")
                            .arg(offer.houseCode, contracts->rows.first().value(0).toString(), contracts->rows.first().value(1).toString()));
    return {};
}

jx::Result<> OfferRules::setState(const Offer &offer, const QString &to, const QVariant &contractId) const
{
    const int next = offer.version + 1;
    const auto changed = m_link.execute(QStringLiteral("update cj_offer set state=?,contractid=?,version=? where id=? and state=? and version=?"),
                                        {to, contractId, next, offer.id, kOpen, offer.version});
    if (!changed)
        return jx::fail(changed.error());
    if (*changed == 0)
        return jx::fail(QStringLiteral("出价<%1>在打开后已被他人处理，请重新打开后再试").arg(offer.id));
    QVector<ChangeHistory::Change> changes{{QStringLiteral("state"), kOpen, to}};
    if (contractId.isValid() && !contractId.isNull())
        changes.append({QStringLiteral("contractid"), QString(), contractId.toString()});
    return m_history.record(QStringLiteral("cj_offer"), offer.id, next, QStringLiteral("修改"), changes);
}

jx::Result<> OfferRules::accept(int offerId, int contractId, const QVariantMap &contract) const
{
    const auto read = this->read(offerId);
    if (!read)
        return jx::fail(read.error());
    const Offer &offer = *read;
    // The contract just written is the listing's one (the contract rules saw
    // to that); what can have changed since the offer was shown is its state.
    if (offer.state != kOpen)
        return jx::fail(QStringLiteral("这条出价的状态已是“%1”，只有“有效”的出价可以接受").arg(offer.state));
    if (contract.value(QStringLiteral("houseid")).toInt() != offer.houseId
        || contract.value(QStringLiteral("customerid")).toInt() != offer.customerId)
        return jx::fail(QStringLiteral("合同的房源或客户已不是所接受出价的房源 %1 和客户；请改回，或不从出价签约").arg(offer.houseCode));
    if (const auto accepted = setState(offer, QStringLiteral("已接受"), contractId); !accepted)
        return accepted;
    const auto others = m_link.select(QStringLiteral("select id from cj_offer where houseid=? and state=? and id<>? order by id"), {offer.houseId, kOpen, offerId});
    if (!others)
        return jx::fail(others.error());
    for (const QVector<QVariant> &row : others->rows) {
        const auto other = this->read(row.value(0).toInt());
        if (!other)
            return jx::fail(other.error());
        if (const auto rejected = setState(*other, QStringLiteral("已拒绝"), QVariant()); !rejected)
            return rejected;
    }
    return {};
}

jx::Result<> OfferRules::counter(int parentId, int newId, const QVariantMap &answer) const
{
    const auto parent = read(parentId);
    if (!parent)
        return jx::fail(parent.error());
    if (parent->state != kOpen)
        return jx::fail(QStringLiteral("所还的出价状态已是“%1”，只有“有效”的出价可以还价").arg(parent->state));
    if (answer.value(QStringLiteral("houseid")).toInt() != parent->houseId
        || answer.value(QStringLiteral("customerid")).toInt() != parent->customerId)
        return jx::fail(QStringLiteral("还价必须针对原出价的房源 %1 和客户").arg(parent->houseCode));
    if (newId == parentId)
        return jx::fail(QStringLiteral("出价不能还自己的价"));
    return setState(*parent, QStringLiteral("已还价"), QVariant());
}

jx::Result<DataLink::Rows> OfferRules::chain(int id) const
{
    DataLink::Rows rows;
    rows.columns = QStringList{QStringLiteral("id"),        QStringLiteral("side"),  QStringLiteral("amount"),
                               QStringLiteral("offerdate"), QStringLiteral("state"), QStringLiteral("agent")};
    QVector<QVector<QVariant>> found;
    QVariant next = id;
    // The chain is followed back by parent; a loop written by hand ends it.
    QList<int> seen;
    while (next.isValid() && !next.isNull() && next.toInt() > 0 && !seen.contains(next.toInt()) && seen.size() < 200) {
        seen << next.toInt();
        const auto one = m_link.select(QStringLiteral("select id,side,amount,offerdate,state,agent,parentid from cj_offer where id=?"), {next});
        if (!one)
            return jx::fail(one.error());
        if (one->rows.isEmpty())
            break;
        QVector<QVariant> row = one->rows.first();
        next = row.value(6);
        row.resize(6);
        found.prepend(row);
    }
    // ... and forward through the answers given to it since.
    for (QVariant last = id; found.size() < 200;) {
        const auto one = m_link.select(QStringLiteral("select id,side,amount,offerdate,state,agent from cj_offer where parentid=? order by id"), {last});
        if (!one)
            return jx::fail(one.error());
        if (one->rows.isEmpty() || seen.contains(one->rows.first().value(0).toInt()))
            break;
        seen << one->rows.first().value(0).toInt();
        last = one->rows.first().value(0);
        found.append(one->rows.first());
    }
    rows.rows = found;
    return rows;
}

} // namespace jxedit
