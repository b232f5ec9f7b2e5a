#include "jxedit/OverviewFigures.h"

#include <QLocale>

namespace jxedit {

namespace {

// Contracts that count as signed: in force or completed, never cancelled.
const QString kSigned = QStringLiteral("('执行中','已完成')");


// " and <alias>.agent=?" when one agent is looked at, with its parameter.
QString agentTest(const OverviewFigures::Scope &scope, const char *alias, QVariantList &params)
{
    if (scope.agent.isEmpty())
        return {};
    params << scope.agent;
    return QStringLiteral(" and %1.agent=?").arg(QLatin1String(alias));
}

// The period's two ends, in the order the statements test them.
QVariantList ends(const OverviewFigures::Scope &scope) { return {scope.period.fromText(), scope.period.toText()}; }

jx::Result<int> countOf(const DataLink &link, const QString &sql, const QVariantList &params)
{
    const auto value = link.scalar(QStringLiteral("select count(*) from (%1) q").arg(sql), params);
    if (!value)
        return jx::fail(value.error());
    return value->toInt();
}

// What each figure lists: its statement, parameters, columns and table.
// Listings registered in the period.
void listNewListings(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    p = ends(scope);
    list.sql = QStringLiteral("select h.id,h.code,h.dealtype,h.district,h.community,"
                              "case when h.dealtype='出售' then h.price end as saleprice,"
                              "case when h.dealtype='出租' then h.price end as rentprice,h.agent,h.status,h.regdate from fy_house h"
                              " where h.regdate>=? and h.regdate<=?")
        + agentTest(scope, "h", p) + QStringLiteral(" order by h.regdate,h.id");
    list.columns = {ColumnDef::of("code", "房源编号"), ColumnDef::of("dealtype", "交易类型", "text", 70), ColumnDef::of("district", "区域", "text", 70),
                    ColumnDef::of("community", "小区", "text", 120), ColumnDef::of("saleprice", "售价(万元)", "number"),
                    ColumnDef::of("rentprice", "租金(元/月)", "number"),
                    ColumnDef::of("agent", "经纪人", "text", 70), ColumnDef::of("status", "状态", "text", 60), ColumnDef::of("regdate", "登记日期", "date")};
    list.table = QStringLiteral("fy_house");
}

// Customers registered in the period.
void listNewCustomers(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    p = ends(scope);
    list.sql = QStringLiteral("select k.id,k.name,k.dealtype,k.districts,k.pricemin,k.pricemax,k.agent,k.status,k.regdate from kh_customer k"
                              " where k.regdate>=? and k.regdate<=?")
        + agentTest(scope, "k", p) + QStringLiteral(" order by k.regdate,k.id");
    list.columns = {ColumnDef::of("name", "客户姓名", "text", 80), ColumnDef::of("dealtype", "需求类型", "text", 70),
                    ColumnDef::of("districts", "意向区域", "text", 120), ColumnDef::of("pricemin", "最低价", "number", 70),
                    ColumnDef::of("pricemax", "最高价", "number", 70), ColumnDef::of("agent", "经纪人", "text", 70),
                    ColumnDef::of("status", "状态", "text", 60), ColumnDef::of("regdate", "登记日期", "date")};
    list.table = QStringLiteral("kh_customer");
}

// Viewings in the period, cancelled ones left out.
void listViewings(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    p = ends(scope);
    list.sql = QStringLiteral("select v.id,v.viewdate,v.viewtime,h.code as house,h.community,k.name as customer,v.agent,v.status,v.outcome"
                              " from dk_viewing v join fy_house h on h.id=v.houseid join kh_customer k on k.id=v.customerid"
                              " where v.status<>'已取消' and v.viewdate>=? and v.viewdate<=?")
        + agentTest(scope, "v", p) + QStringLiteral(" order by v.viewdate,v.viewtime,v.id");
    list.columns = {ColumnDef::of("viewdate", "带看日期", "date"), ColumnDef::of("viewtime", "时间", "text", 50), ColumnDef::of("house", "房源编号"),
                    ColumnDef::of("community", "小区", "text", 120), ColumnDef::of("customer", "客户", "text", 80),
                    ColumnDef::of("agent", "经纪人", "text", 70), ColumnDef::of("status", "状态", "text", 60), ColumnDef::of("outcome", "结果", "text", 70)};
    list.table = QStringLiteral("dk_viewing");
}

// Offers and counter-offers in the period.
void listOffers(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    p = ends(scope);
    list.sql = QStringLiteral("select o.id,o.offerdate,h.code as house,h.community,k.name as customer,o.side,"
                              "case when h.dealtype='出售' then o.amount end as saleamount,"
                              "case when h.dealtype='出租' then o.amount end as rentamount,o.state,o.agent"
                              " from cj_offer o join fy_house h on h.id=o.houseid join kh_customer k on k.id=o.customerid"
                              " where o.offerdate>=? and o.offerdate<=?")
        + agentTest(scope, "o", p) + QStringLiteral(" order by o.offerdate,o.id");
    list.columns = {ColumnDef::of("offerdate", "出价日期", "date"), ColumnDef::of("house", "房源编号"), ColumnDef::of("community", "小区", "text", 120),
                    ColumnDef::of("customer", "客户", "text", 80), ColumnDef::of("side", "方向", "text", 70),
                    ColumnDef::of("saleamount", "出价(万元)", "number"), ColumnDef::of("rentamount", "出价(元/月)", "number"),
                    ColumnDef::of("state", "状态", "text", 60), ColumnDef::of("agent", "经纪人", "text", 70)};
    list.table = QStringLiteral("cj_offer");
}

// Contracts signed in the period, in force or completed.
void listContracts(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    p = ends(scope);
    list.sql = QStringLiteral("select c.id,c.contractno,h.code as house,h.community,k.name as customer,c.dealtype,c.signdate,"
                              "case when c.dealtype='出售' then c.price end as saleprice,"
                              "case when c.dealtype='出租' then c.price end as rentprice,"
                              "c.commission,c.agent,c.status from ht_contract c join fy_house h on h.id=c.houseid"
                              " join kh_customer k on k.id=c.customerid where c.status in %1 and c.signdate>=? and c.signdate<=?")
                   .arg(kSigned)
        + agentTest(scope, "c", p) + QStringLiteral(" order by c.signdate,c.id");
    list.columns = {ColumnDef::of("contractno", "合同编号", "text", 110), ColumnDef::of("house", "房源编号"), ColumnDef::of("community", "小区", "text", 120),
                    ColumnDef::of("customer", "客户", "text", 80), ColumnDef::of("dealtype", "交易类型", "text", 70),
                    ColumnDef::of("signdate", "签约日期", "date"), ColumnDef::of("saleprice", "成交价(万元)", "number"),
                    ColumnDef::of("rentprice", "月租金(元/月)", "number"),
                    ColumnDef::of("commission", "佣金(元)", "number"), ColumnDef::of("agent", "经纪人", "text", 70),
                    ColumnDef::of("status", "状态", "text", 60)};
    list.table = QStringLiteral("ht_contract");
}

// Customers with a viewing or a contract in the period.
void listConversion(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    // Every customer with a viewing or a contract in the period, with how
    // many of each: the conversion's two counts are read from these rows.
    p = ends(scope);
    const QString viewingAgent = agentTest(scope, "v", p);
    p << ends(scope);
    const QString contractAgent = agentTest(scope, "c", p);
    list.sql = QStringLiteral("select * from (select k.id,k.name,k.agent,"
                              "(select count(*) from dk_viewing v where v.customerid=k.id and v.status<>'已取消'"
                              " and v.viewdate>=? and v.viewdate<=?%1) as viewings,"
                              "(select count(*) from ht_contract c where c.customerid=k.id and c.status in %3"
                              " and c.signdate>=? and c.signdate<=?%2) as contracts from kh_customer k) q"
                              " where viewings>0 or contracts>0 order by name,id")
                   .arg(viewingAgent, contractAgent, kSigned);
    list.columns = {ColumnDef::of("name", "客户姓名", "text", 80), ColumnDef::of("agent", "客户经纪人", "text", 80),
                    ColumnDef::of("viewings", "期间带看", "int", 70), ColumnDef::of("contracts", "期间签约", "int", 70)};
    list.table = QStringLiteral("kh_customer");
}

// Listings on offer without a follow-up for the quiet days.
void listQuietListings(const OverviewFigures::Scope &scope, OverviewFigures::List &list)
{
    QVariantList &p = list.params;
    p = {scope.today.toString(QStringLiteral("yyyy-MM-dd"))};
    const QString agent = agentTest(scope, "h", p);
    p << scope.today.addDays(-OverviewFigures::kQuietDays).toString(QStringLiteral("yyyy-MM-dd"));
    list.sql = QStringLiteral("select * from (select h.id,h.code,h.community,h.agent,h.regdate,"
                              "(select max(f.followdate) from gj_follow f where f.houseid=h.id and f.followdate<>'') as lastfollow"
                              " from fy_house h where h.status='有效' and h.regdate<=?%1) q"
                              " where coalesce(lastfollow,regdate)<? order by coalesce(lastfollow,regdate),id")
                   .arg(agent);
    list.columns = {ColumnDef::of("code", "房源编号"), ColumnDef::of("community", "小区", "text", 120), ColumnDef::of("agent", "经纪人", "text", 70),
                    ColumnDef::of("regdate", "登记日期", "date"), ColumnDef::of("lastfollow", "最近跟进", "date")};
    list.table = QStringLiteral("fy_house");
}

} // namespace

QString OverviewFigures::caption(Figure figure)
{
    switch (figure) {
    case NewListings:
        return QStringLiteral("新增房源");
    case NewCustomers:
        return QStringLiteral("新增客户");
    case Viewings:
        return QStringLiteral("带看");
    case Offers:
        return QStringLiteral("出价");
    case Contracts:
        return QStringLiteral("成交合同");
    case Conversion:
        return QStringLiteral("带看转化率");
    case QuietListings:
        return QStringLiteral("久未跟进房源");
    case FigureCount:
        break;
    }
    return {};
}

QString OverviewFigures::tip(Figure figure)
{
    switch (figure) {
    case NewListings:
        return QStringLiteral("登记日期在统计期间内的房源");
    case NewCustomers:
        return QStringLiteral("登记日期在统计期间内的客户");
    case Viewings:
        return QStringLiteral("带看日期在统计期间内、未取消的带看");
    case Offers:
        return QStringLiteral("出价日期在统计期间内的出价（买方出价与卖方还价）");
    case Contracts:
        return QStringLiteral("签约日期在统计期间内、执行中或已完成的合同（已解除的不计）及其佣金");
    case Conversion:
        return QStringLiteral("期间内签约（执行中或已完成）的客户数 ÷ 期间内有带看（未取消）的客户数；"
                              "按经纪人查看时，只计该经纪人的带看和合同");
    case QuietListings:
        return QStringLiteral("截至今天仍有效、最近一次跟进（没有跟进时为登记日期）在 %1 天以前的房源，与统计期间无关").arg(kQuietDays);
    case FigureCount:
        break;
    }
    return {};
}

OverviewFigures::List OverviewFigures::listOf(Figure figure, const Scope &scope)
{
    List list;
    list.title = caption(figure);
    switch (figure) {
    case NewListings:
        listNewListings(scope, list);
        break;
    case NewCustomers:
        listNewCustomers(scope, list);
        break;
    case Viewings:
        listViewings(scope, list);
        break;
    case Offers:
        listOffers(scope, list);
        break;
    case Contracts:
        listContracts(scope, list);
        break;
    case Conversion:
        listConversion(scope, list);
        break;
    case QuietListings:
        listQuietListings(scope, list);
        break;
    case FigureCount:
        break;
    }
    return list;
}

jx::Result<> OverviewFigures::compute(const DataLink &link, const Scope &scope)
{
    if (const auto checked = scope.period.check(); !checked)
        return checked;
    OverviewFigures next;
    for (int f = 0; f < FigureCount; ++f) {
        const List list = listOf(Figure(f), scope);
        const auto n = countOf(link, list.sql, list.params);
        if (!n)
            return jx::fail(n.error());
        next.m_counts[f] = *n;
    }
    const List conversion = listOf(Conversion, scope);
    const auto signedCustomers = countOf(link, QStringLiteral("select * from (%1) r where contracts>0").arg(conversion.sql), conversion.params);
    if (!signedCustomers)
        return jx::fail(signedCustomers.error());
    next.m_signedCustomers = *signedCustomers;
    const auto viewedCustomers = countOf(link, QStringLiteral("select * from (%1) r where viewings>0").arg(conversion.sql), conversion.params);
    if (!viewedCustomers)
        return jx::fail(viewedCustomers.error());
    next.m_viewedCustomers = *viewedCustomers;

    const List contracts = listOf(Contracts, scope);
    const auto perAgent = link.select(
        QStringLiteral("select agent,count(*) as deals,sum(commission) as commission from (%1) q group by agent order by agent").arg(contracts.sql),
        contracts.params);
    if (!perAgent)
        return jx::fail(perAgent.error());
    for (const QVector<QVariant> &r : perAgent->rows) {
        next.m_perAgent.append({r.value(0).toString(), r.value(1).toInt(), r.value(2).toDouble()});
        next.m_commission += r.value(2).toDouble();
    }

    // Weeks run from Monday; the first is cut at the period's start.
    for (QDate week = scope.period.from; week <= scope.period.to; week = week.addDays(8 - week.dayOfWeek()))
        next.m_perWeek.append({week, 0, 0});
    auto weekOf = [&](const QDate &day) {
        for (qsizetype i = next.m_perWeek.size() - 1; i >= 0; --i)
            if (day >= next.m_perWeek.at(i).start)
                return i;
        return qsizetype(-1);
    };
    for (const Figure f : {NewListings, NewCustomers}) {
        const List list = listOf(f, scope);
        const auto registered = link.select(QStringLiteral("select regdate from (%1) q").arg(list.sql), list.params);
        if (!registered)
            return jx::fail(registered.error());
        for (const QVector<QVariant> &r : registered->rows) {
            const qsizetype i = weekOf(QDate::fromString(r.value(0).toString(), QStringLiteral("yyyy-MM-dd")));
            if (i >= 0)
                ++(f == NewListings ? next.m_perWeek[i].listings : next.m_perWeek[i].customers);
        }
    }
    *this = std::move(next);
    return {};
}

double OverviewFigures::conversion() const
{
    return m_viewedCustomers > 0 ? double(m_signedCustomers) / m_viewedCustomers : -1.0;
}

QString OverviewFigures::text(Figure figure) const
{
    if (figure == Conversion) {
        const double c = conversion();
        return c < 0 ? QStringLiteral("—") : QStringLiteral("%1%").arg(QLocale::c().toString(c * 100, 'f', 1));
    }
    return QString::number(count(figure));
}

} // namespace jxedit
