#include "jxedit/DealRules.h"

#include "jxedit/ListingMatcher.h"
#include "jxedit/RowModel.h"
#include "jxedit/ViewingRules.h"

namespace jxedit {

namespace {

const QString kCancelled = QStringLiteral("已解除");

bool inForce(const QVariantMap &contract) { return !contract.isEmpty() && contract.value(QStringLiteral("status")).toString() != kCancelled; }

// An update that must change exactly one row; no other count is taken as done.
jx::Result<> changedOne(const jx::Result<int> &changed)
{
    if (!changed)
        return jx::fail(changed.error());
    if (*changed != 1)
        return jx::fail(QString());
    return {};
}

QString amount(double value)
{
    ColumnDef number;
    number.type = QStringLiteral("number");
    return RowModel::text(number, value);
}

} // namespace

DealRules::DealRules(DataLink link, ChangeHistory history) : m_link(link), m_history(std::move(history)), m_alerts(link) {}

jx::Result<> DealRules::prepare(const QString &table, QVariantMap &values) const
{
    if (table != u"kh_customer" || !values.contains(QStringLiteral("districts")))
        return {};
    const QStringList names = ListingMatcher::splitDistricts(values.value(QStringLiteral("districts")).toString());
    for (const QString &name : names) {
        const auto found = m_link.scalar(QStringLiteral("select name from fy_district where name=?"), {name});
        if (!found)
            return jx::fail(found.error());
        if (!found->isValid() || found->isNull())
            return jx::fail(QStringLiteral("意向区域“%1”不存在，请填写区域表中的名称，多个区域用“、”分隔").arg(name));
    }
    values.insert(QStringLiteral("districts"), ListingMatcher::joinDistricts(names));
    values.insert(QStringLiteral("district"), names.isEmpty() ? QVariant() : QVariant(names.first()));
    return {};
}

jx::Result<> DealRules::check(const QString &table, int id, const QVariantMap &before, const QVariantMap &after) const
{
    if (table == u"ht_contract")
        return checkContract(id, before, after);
    if (table == u"yj_commission" && !after.isEmpty())
        return checkCommission(id, after);
    if (table == u"fy_house" && !after.isEmpty())
        return checkListing(id, after);
    return {};
}

jx::Result<> DealRules::checkContract(int id, const QVariantMap &before, const QVariantMap &after) const
{
    if (!inForce(after))
        return {};
    const QVariant house = after.value(QStringLiteral("houseid"));
    const auto listing = m_link.select(QStringLiteral("select code,dealtype,status from fy_house where id=?"), {house});
    if (!listing)
        return jx::fail(listing.error());
    if (listing->rows.isEmpty())
        return jx::fail(QStringLiteral("所选的房源已不存在，不能签约"));
    const QString code = listing->rows.first().value(0).toString();
    const QString dealType = listing->rows.first().value(1).toString();
    const auto others = m_link.select(QStringLiteral("select contractno,status from ht_contract where houseid=? and status<>? and id<>?"),
                                      {house, kCancelled, id});
    if (!others)
        return jx::fail(others.error());
    if (!others->rows.isEmpty())
        return jx::fail(QStringLiteral("房源 %1 已有合同 %2（%3），一套房源不能重复签约；请先解除原合同")
                            .arg(code, others->rows.first().value(0).toString(), others->rows.first().value(1).toString()));
    // A listing this contract already holds is sold by it; any other must still be on offer.
    const bool ours = inForce(before) && before.value(QStringLiteral("houseid")).toInt() == house.toInt();
    const QString status = listing->rows.first().value(2).toString();
    if (!ours && status != u"有效" && status != u"暂缓")
        return jx::fail(QStringLiteral("房源 %1 的状态是“%2”，不能签约").arg(code, status));
    if (after.value(QStringLiteral("dealtype")).toString() != dealType)
        return jx::fail(QStringLiteral("合同的交易类型“%1”与房源 %2 的“%3”不一致")
                            .arg(after.value(QStringLiteral("dealtype")).toString(), code, dealType));
    if (id > 0) {
        const auto settled = m_link.scalar(QStringLiteral("select coalesce(sum(amount),0) from yj_commission where contractid=?"), {id});
        if (!settled)
            return jx::fail(settled.error());
        if (settled->toDouble() > after.value(QStringLiteral("commission")).toDouble() + 0.005)
            return jx::fail(QStringLiteral("该合同已登记佣金结算 %1 元，合同佣金不能少于此数").arg(amount(settled->toDouble())));
    }
    return {};
}

jx::Result<> DealRules::checkCommission(int id, const QVariantMap &after) const
{
    const auto contract = m_link.select(QStringLiteral("select contractno,commission,status from ht_contract where id=?"),
                                        {after.value(QStringLiteral("contractid"))});
    if (!contract)
        return jx::fail(contract.error());
    if (contract->rows.isEmpty())
        return jx::fail(QStringLiteral("所选的合同已不存在"));
    const QString number = contract->rows.first().value(0).toString();
    if (contract->rows.first().value(2).toString() == kCancelled)
        return jx::fail(QStringLiteral("合同 %1 已解除，不能结算佣金").arg(number));
    const auto others = m_link.scalar(QStringLiteral("select coalesce(sum(amount),0) from yj_commission where contractid=? and id<>?"),
                                      {after.value(QStringLiteral("contractid")), id});
    if (!others)
        return jx::fail(others.error());
    const double total = contract->rows.first().value(1).toDouble();
    const double left = total - others->toDouble();
    if (after.value(QStringLiteral("amount")).toDouble() > left + 0.005)
        return jx::fail(QStringLiteral("合同 %1 的佣金为 %2 元，其他结算已登记 %3 元，本次最多 %4 元")
                            .arg(number, amount(total), amount(others->toDouble()), amount(qMax(0.0, left))));
    return {};
}

jx::Result<> DealRules::checkListing(int id, const QVariantMap &after) const
{
    if (id <= 0 || !after.contains(QStringLiteral("status")))
        return {};
    const QString status = after.value(QStringLiteral("status")).toString();
    if (status != u"有效" && status != u"暂缓")
        return {};
    const auto contract = m_link.scalar(QStringLiteral("select contractno from ht_contract where houseid=? and status<>?"), {id, kCancelled});
    if (!contract)
        return jx::fail(contract.error());
    if (contract->isValid() && !contract->isNull())
        return jx::fail(QStringLiteral("该房源有合同 %1，状态不能改为“%2”；请先解除合同").arg(contract->toString(), status));
    return {};
}

jx::Result<> DealRules::apply(const QString &table, int id, const QVariantMap &before, const QVariantMap &after) const
{
    // A done viewing's feedback is the customer's follow-up, in the same transaction.
    if (ViewingRules::appliesTo(table))
        return ViewingRules(m_link).writeFollowUp(id, after, m_history);
    if (table == u"fy_house")
        return m_alerts.afterListingWrite(id, before, after);
    if (table == u"fy_district") {
        const QString from = before.value(QStringLiteral("name")).toString(), to = after.value(QStringLiteral("name")).toString();
        if (before.isEmpty() || after.isEmpty() || from == to)
            return {};
        return renameDistrict(from, to);
    }
    if (table != u"ht_contract")
        return {};
    // Recompute every listing and customer the contract named before or names now.
    QVariantList houses, customers;
    for (const QVariantMap *side : {&before, &after}) {
        if (side->isEmpty())
            continue;
        if (!houses.contains(side->value(QStringLiteral("houseid"))))
            houses << side->value(QStringLiteral("houseid"));
        if (!customers.contains(side->value(QStringLiteral("customerid"))))
            customers << side->value(QStringLiteral("customerid"));
    }
    for (const QVariant &h : houses)
        if (const auto settled = settle(QStringLiteral("fy_house"), QStringLiteral("houseid"), h); !settled)
            return settled;
    for (const QVariant &c : customers)
        if (const auto settled = settle(QStringLiteral("kh_customer"), QStringLiteral("customerid"), c); !settled)
            return settled;
    return {};
}

jx::Result<> DealRules::renameDistrict(const QString &from, const QString &to) const
{
    // The first district follows through its foreign key; the list is text and is rewritten here.
    const auto customers = m_link.select(QStringLiteral("select id,districts,version from kh_customer where '、'||districts||'、' like ?"),
                                         {QStringLiteral("%、%1、%").arg(from)});
    if (!customers)
        return jx::fail(customers.error());
    for (const QVector<QVariant> &c : customers->rows) {
        QStringList names = ListingMatcher::splitDistricts(c.value(1).toString());
        const qsizetype at = names.indexOf(from);
        if (at < 0)
            continue;
        names[at] = to;
        names.removeDuplicates();
        const QString was = c.value(1).toString(), now = ListingMatcher::joinDistricts(names);
        const int version = c.value(2).toInt() + 1;
        if (const auto changed = changedOne(m_link.execute(QStringLiteral("update kh_customer set districts=?,version=? where id=?"),
                                                           {now, version, c.value(0)}));
            !changed)
            return changed;
        if (const auto kept = m_history.record(QStringLiteral("kh_customer"), c.value(0).toInt(), version, QStringLiteral("修改"),
                                               {{QStringLiteral("districts"), was, now}});
            !kept)
            return kept;
    }
    return {};
}

jx::Result<> DealRules::settle(const QString &table, const QString &contractField, const QVariant &id) const
{
    const bool house = table == u"fy_house";
    const auto record =
        m_link.select(QStringLiteral("select status,version%1 from %2 where id=?").arg(house ? QStringLiteral(",dealtype") : QString(), table), {id});
    if (!record)
        return jx::fail(record.error());
    if (record->rows.isEmpty())
        return {};
    const auto signedCount =
        m_link.scalar(QStringLiteral("select count(*) from ht_contract where %1=? and status<>?").arg(contractField), {id, kCancelled});
    if (!signedCount)
        return jx::fail(signedCount.error());
    const QString status = record->rows.first().value(0).toString();
    const QString done = house && record->rows.first().value(2).toString() == u"出租" ? QStringLiteral("已出租") : QStringLiteral("已成交");
    QString wanted = status;
    if (signedCount->toInt() > 0)
        wanted = done;
    else if (status == u"已成交" || status == u"已出租")
        wanted = QStringLiteral("有效"); // the contract that sold it was cancelled or deleted
    if (wanted == status)
        return {};
    const int version = record->rows.first().value(1).toInt() + 1;
    if (const auto changed = changedOne(m_link.execute(QStringLiteral("update %1 set status=?,version=? where id=?").arg(table), {wanted, version, id}));
        !changed)
        return changed;
    return m_history.record(table, id.toInt(), version, QStringLiteral("修改"), {{QStringLiteral("status"), status, wanted}});
}

} // namespace jxedit
