#include "jxedit/RecordStory.h"

#include "jxedit/GridView.h"
#include "jxedit/OfferRules.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace jxedit {

RecordStory::RecordStory(DataLink link, QString table, QWidget *parent) : QWidget(parent), m_link(link), m_table(std::move(table))
{
    setObjectName(QStringLiteral("story"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("storyTabs"));
    m_tabs->setAccessibleName(QStringLiteral("记录往来"));
    layout->addWidget(m_tabs);
    if (m_table == u"fy_house")
        m_offers = addGrid(QStringLiteral("offers"), QStringLiteral("出价"), QStringLiteral("cj_offer"));
    if (m_table == u"cj_offer")
        m_chain = addGrid(QStringLiteral("chain"), QStringLiteral("出价经过"), QStringLiteral("cj_offer"));
    if (m_table == u"fy_house" || m_table == u"kh_customer")
        m_story = addGrid(QStringLiteral("storyGrid"), QStringLiteral("全部往来"), QString());
}

bool RecordStory::applies(const QString &table) { return table == u"fy_house" || table == u"kh_customer" || table == u"cj_offer"; }

GridView *RecordStory::addGrid(const QString &name, const QString &caption, const QString &table)
{
    auto *grid = new GridView(m_tabs);
    grid->setObjectName(name);
    grid->setAccessibleName(caption);
    m_tabs->addTab(grid, caption);
    connect(grid, &GridView::activated, this, [this, table](const QVariant &key) {
        if (!table.isEmpty()) {
            emit openRequested(table, key.toInt());
            return;
        }
        // A story row names its table with its key: "gj_follow:12".
        const QString text = key.toString();
        const qsizetype at = text.lastIndexOf(u':');
        if (at > 0)
            emit openRequested(text.left(at), text.mid(at + 1).toInt());
    });
    return grid;
}

QVector<RecordStory::Source> RecordStory::sources()
{
    return {
        {QStringLiteral("dk_viewing"),
         QStringLiteral("select 'dk_viewing:'||cast(x.id as varchar(12)) as k,x.viewdate as d,'带看' as kind,{party} as party,"
                        "x.viewtime||case when x.outcome<>'' then ' '||x.outcome else '' end||case when x.feedback<>'' then ' '||x.feedback else '' end as what,"
                        "cast(null as numeric) as amount,x.status as state,x.agent from dk_viewing x {join} where x.{owner}=?")},
        {QStringLiteral("cj_offer"),
         QStringLiteral("select 'cj_offer:'||cast(x.id as varchar(12)),x.offerdate,'出价',{party},x.side,x.amount,x.state,x.agent"
                        " from cj_offer x {join} where x.{owner}=?")},
        {QStringLiteral("gj_follow"),
         QStringLiteral("select 'gj_follow:'||cast(x.id as varchar(12)),x.followdate,'跟进',{party},x.method||'：'||x.content,"
                        "cast(null as numeric),case when x.nextdate<>'' then '下次 '||x.nextdate else '' end,x.agent from gj_follow x {join} where x.{owner}=?")},
        {QStringLiteral("ht_contract"),
         QStringLiteral("select 'ht_contract:'||cast(x.id as varchar(12)),x.signdate,'合同',{party},x.contractno,x.price,x.status,x.agent"
                        " from ht_contract x {join} where x.{owner}=?")},
    };
}

jx::Result<QVector<QVector<QVariant>>> RecordStory::storyRows(const DataLink &link, const QString &table, int id)
{
    const bool customer = table == u"kh_customer";
    if (!customer && table != u"fy_house")
        return jx::fail(QStringLiteral("“%1”的记录没有往来可看").arg(table));
    // A customer's story names the listings, a listing's the customers.
    const QString party = customer ? QStringLiteral("coalesce(p.code,'')||' '||coalesce(p.community,'')") : QStringLiteral("coalesce(p.name,'')");
    const QString join = customer ? QStringLiteral("left join fy_house p on p.id=x.houseid") : QStringLiteral("left join kh_customer p on p.id=x.customerid");
    const QString owner = customer ? QStringLiteral("customerid") : QStringLiteral("houseid");
    const QVector<Source> all = sources();
    QVector<QVector<QVariant>> rows;
    for (int s = 0; s < all.size(); ++s) {
        QString sql = all.at(s).sql;
        sql.replace(QStringLiteral("{party}"), party).replace(QStringLiteral("{join}"), join).replace(QStringLiteral("{owner}"), owner);
        auto part = link.select(sql, {id});
        if (!part)
            return jx::fail(part.error());
        for (QVector<QVariant> &row : part->rows) {
            row.append(s); // the source's place, for ties of a date
            rows.append(std::move(row));
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const QVector<QVariant> &a, const QVector<QVariant> &b) {
        const QString da = a.value(1).toString(), db = b.value(1).toString();
        return da != db ? da < db : a.value(8).toInt() < b.value(8).toInt();
    });
    for (QVector<QVariant> &row : rows)
        row.resize(8);
    return rows;
}

void RecordStory::clear()
{
    for (GridView *grid : {m_story, m_offers, m_chain})
        if (grid)
            grid->setRows({}, {}, {}, QString());
}

jx::Result<> RecordStory::load(int id)
{
    clear();
    if (id <= 0)
        return {};
    if (m_story) {
        const auto rows = storyRows(m_link, m_table, id);
        if (!rows)
            return jx::fail(rows.error());
        m_story->setRows({ColumnDef::of("d", "日期", "date", 90), ColumnDef::of("kind", "类别", "text", 50),
                          ColumnDef::of("party", m_table == u"kh_customer" ? "房源" : "客户", "text", 150), ColumnDef::of("what", "内容", "text", 240),
                          ColumnDef::of("amount", "金额", "number", 80), ColumnDef::of("state", "状态", "text", 80), ColumnDef::of("agent", "经纪人", "text", 70)},
                         {QStringLiteral("k"), QStringLiteral("d"), QStringLiteral("kind"), QStringLiteral("party"), QStringLiteral("what"),
                          QStringLiteral("amount"), QStringLiteral("state"), QStringLiteral("agent")},
                         *rows, QStringLiteral("k"));
    }
    if (m_offers) {
        const auto dealType = m_link.scalar(QStringLiteral("select dealtype from fy_house where id=?"), {id});
        if (!dealType)
            return jx::fail(dealType.error());
        // Best first: the open offers, then by amount.
        const auto read = m_link.select(QStringLiteral("select o.id,o.offerdate,coalesce(k.name,'') as customer,o.side,o.amount,o.state,o.agent from cj_offer o"
                                                       " left join kh_customer k on k.id=o.customerid where o.houseid=?"
                                                       " order by case when o.state=? then 0 else 1 end,o.amount desc,o.id"),
                                        {id, OfferRules::kOpen});
        if (!read)
            return jx::fail(read.error());
        const DataLink::Rows &rows = *read;
        const QByteArray amount = OfferRules::amountCaption(dealType->toString()).toUtf8();
        m_offers->setRows({ColumnDef::of("offerdate", "出价日期", "date", 90), ColumnDef::of("customer", "客户", "text", 90), ColumnDef::of("side", "出价方", "text", 80),
                           ColumnDef::of("amount", amount.constData(), "number", 110), ColumnDef::of("state", "状态", "text", 70),
                           ColumnDef::of("agent", "经纪人", "text", 70)},
                          rows.columns, rows.rows, QStringLiteral("id"));
        m_tabs->setTabText(m_tabs->indexOf(m_offers), QStringLiteral("出价（%1）").arg(rows.rows.size()));
    }
    if (m_chain) {
        const auto chain = OfferRules(m_link, ChangeHistory(m_link, QString())).chain(id);
        if (!chain)
            return jx::fail(chain.error());
        const DataLink::Rows &rows = *chain;
        m_chain->setRows({ColumnDef::of("offerdate", "出价日期", "date", 90), ColumnDef::of("side", "出价方", "text", 80), ColumnDef::of("amount", "金额", "number", 90),
                          ColumnDef::of("state", "状态", "text", 70), ColumnDef::of("agent", "经纪人", "text", 70)},
                         rows.columns, rows.rows, QStringLiteral("id"));
    }
    return {};
}

} // namespace jxedit
