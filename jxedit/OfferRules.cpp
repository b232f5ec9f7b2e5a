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

bool OfferRules::read(int id, Offer &offer, QString &why) const
{
    DataLink::Rows rows;
    if (!m_link.select(QStringLiteral("select o.id,o.houseid,o.customerid,o.parentid,o.version,o.agent,o.side,o.state,o.offerdate,o.amount,"
                                      "h.code,h.dealtype from cj_offer o left join fy_house h on h.id=o.houseid where o.id=?"),
                       {id}, rows, why))
        return false;
    if (rows.rows.isEmpty()) {
        why = QStringLiteral("出价<%1>不存在，可能已被删除").arg(id);
        return false;
    }
    const QVector<QVariant> &r = rows.rows.first();
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
    return true;
}

bool OfferRules::dealTypeOf(const QVariant &house, QString &dealType, QString &why) const
{
    dealType.clear();
    if (!house.isValid() || house.isNull())
        return true;
    QVariant value;
    if (!m_link.scalar(QStringLiteral("select dealtype from fy_house where id=?"), {house}, value, why))
        return false;
    dealType = value.toString();
    return true;
}

bool OfferRules::checkAccept(const Offer &offer, QString &why) const
{
    if (offer.state != kOpen) {
        why = QStringLiteral("这条出价的状态是“%1”，只有“有效”的出价可以接受").arg(offer.state);
        return false;
    }
    DataLink::Rows contracts;
    if (!m_link.select(QStringLiteral("select contractno,status from ht_contract where houseid=? and status<>?"), {offer.houseId, kCancelled},
                       contracts, why))
        return false;
    if (!contracts.rows.isEmpty()) {
        why = QStringLiteral("房源 %1 已有合同 %2（%3），不能再接受出价；如需重签，请先解除原合同")
                  .arg(offer.houseCode, contracts.rows.first().value(0).toString(), contracts.rows.first().value(1).toString());
        return false;
    }
    return true;
}

bool OfferRules::setState(const Offer &offer, const QString &to, const QVariant &contractId, QString &why) const
{
    const int next = offer.version + 1;
    const int changed = m_link.execute(QStringLiteral("update cj_offer set state=?,contractid=?,version=? where id=? and state=? and version=?"),
                                       {to, contractId, next, offer.id, kOpen, offer.version}, why);
    if (changed < 0)
        return false;
    if (changed == 0) {
        why = QStringLiteral("出价<%1>在打开后已被他人处理，请重新打开后再试").arg(offer.id);
        return false;
    }
    QVector<ChangeHistory::Change> changes{{QStringLiteral("state"), kOpen, to}};
    if (contractId.isValid() && !contractId.isNull())
        changes.append({QStringLiteral("contractid"), QString(), contractId.toString()});
    return m_history.record(QStringLiteral("cj_offer"), offer.id, next, QStringLiteral("修改"), changes, why);
}

bool OfferRules::accept(int offerId, int contractId, const QVariantMap &contract, QString &why) const
{
    Offer offer;
    if (!read(offerId, offer, why))
        return false;
    // The contract just written is the listing's one (the contract rules saw
    // to that); what can have changed since the offer was shown is its state.
    if (offer.state != kOpen) {
        why = QStringLiteral("这条出价的状态已是“%1”，只有“有效”的出价可以接受").arg(offer.state);
        return false;
    }
    if (contract.value(QStringLiteral("houseid")).toInt() != offer.houseId
        || contract.value(QStringLiteral("customerid")).toInt() != offer.customerId) {
        why = QStringLiteral("合同的房源或客户已不是所接受出价的房源 %1 和客户；请改回，或不从出价签约").arg(offer.houseCode);
        return false;
    }
    if (!setState(offer, QStringLiteral("已接受"), contractId, why))
        return false;
    DataLink::Rows others;
    if (!m_link.select(QStringLiteral("select id from cj_offer where houseid=? and state=? and id<>? order by id"), {offer.houseId, kOpen, offerId},
                       others, why))
        return false;
    for (const QVector<QVariant> &row : others.rows) {
        Offer other;
        if (!read(row.value(0).toInt(), other, why) || !setState(other, QStringLiteral("已拒绝"), QVariant(), why))
            return false;
    }
    return true;
}

bool OfferRules::counter(int parentId, int newId, const QVariantMap &answer, QString &why) const
{
    Offer parent;
    if (!read(parentId, parent, why))
        return false;
    if (parent.state != kOpen) {
        why = QStringLiteral("所还的出价状态已是“%1”，只有“有效”的出价可以还价").arg(parent.state);
        return false;
    }
    if (answer.value(QStringLiteral("houseid")).toInt() != parent.houseId
        || answer.value(QStringLiteral("customerid")).toInt() != parent.customerId) {
        why = QStringLiteral("还价必须针对原出价的房源 %1 和客户").arg(parent.houseCode);
        return false;
    }
    if (newId == parentId) {
        why = QStringLiteral("出价不能还自己的价");
        return false;
    }
    return setState(parent, QStringLiteral("已还价"), QVariant(), why);
}

bool OfferRules::chain(int id, DataLink::Rows &rows, QString &why) const
{
    rows = {};
    rows.columns = QStringList{QStringLiteral("id"),        QStringLiteral("side"),  QStringLiteral("amount"),
                               QStringLiteral("offerdate"), QStringLiteral("state"), QStringLiteral("agent")};
    QVector<QVector<QVariant>> found;
    QVariant next = id;
    // The chain is followed back by parent; a loop written by hand ends it.
    QList<int> seen;
    while (next.isValid() && !next.isNull() && next.toInt() > 0 && !seen.contains(next.toInt()) && seen.size() < 200) {
        seen << next.toInt();
        DataLink::Rows one;
        if (!m_link.select(QStringLiteral("select id,side,amount,offerdate,state,agent,parentid from cj_offer where id=?"), {next}, one, why))
            return false;
        if (one.rows.isEmpty())
            break;
        QVector<QVariant> row = one.rows.first();
        next = row.value(6);
        row.resize(6);
        found.prepend(row);
    }
    // ... and forward through the answers given to it since.
    for (QVariant last = id; found.size() < 200;) {
        DataLink::Rows one;
        if (!m_link.select(QStringLiteral("select id,side,amount,offerdate,state,agent from cj_offer where parentid=? order by id"), {last}, one,
                           why))
            return false;
        if (one.rows.isEmpty() || seen.contains(one.rows.first().value(0).toInt()))
            break;
        seen << one.rows.first().value(0).toInt();
        last = one.rows.first().value(0);
        found.append(one.rows.first());
    }
    rows.rows = found;
    return true;
}

} // namespace jxedit
