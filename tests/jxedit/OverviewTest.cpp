#include "FunctionHost.h"

#include "jxedit/OverviewFigures.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

using jxedit::OverviewFigures;
using jxedit::Period;

// June 2025, long before the demo's own rows, with rows on and just outside
// both ends of the month for 王志强 (A) and 李秀英 (B, the clerk's agent).
class OverviewTest : public FunctionHost
{
protected:
    const Period june{QDate(2025, 6, 1), QDate(2025, 6, 30)};
    // Quiet listings are counted as of this day: a last follow-up before 2025-06-10.
    const QDate today{2025, 7, 10};
    const QString a = QStringLiteral("王志强"), b = QStringLiteral("李秀英");

    void exec(const QString &sql, const QVariantList &params)
    {
        ASSERT_TRUE(t.db->ExecuteParams(sql, params)) << sql.toStdString() << ": " << t.db->LastError().Description().toStdString();
    }
    void addJune()
    {
        const QString listing = QStringLiteral("insert into fy_house (id,code,district,community,agent,status,regdate) values (?,?,'西湖区','测试小区',?,?,?)");
        exec(listing, {5001, QStringLiteral("T5001"), a, QStringLiteral("有效"), QStringLiteral("2025-05-31")}); // before
        exec(listing, {5002, QStringLiteral("T5002"), a, QStringLiteral("已成交"), QStringLiteral("2025-06-01")}); // first day
        exec(listing, {5003, QStringLiteral("T5003"), b, QStringLiteral("有效"), QStringLiteral("2025-06-30")}); // last day
        exec(listing, {5004, QStringLiteral("T5004"), b, QStringLiteral("有效"), QStringLiteral("2025-07-01")}); // after
        exec(listing, {5005, QStringLiteral("T5005"), a, QStringLiteral("有效"), QStringLiteral("2025-06-15")});
        exec(listing, {5006, QStringLiteral("T5006"), a, QStringLiteral("有效"), QStringLiteral("2025-04-01")}); // last follow-up 31 days back
        exec(listing, {5007, QStringLiteral("T5007"), b, QStringLiteral("有效"), QStringLiteral("2025-04-01")}); // last follow-up 30 days back
        exec(listing, {5008, QStringLiteral("T5008"), b, QStringLiteral("有效"), QStringLiteral("2025-03-01")}); // never followed up
        exec(listing, {5009, QStringLiteral("T5009"), a, QStringLiteral("暂缓"), QStringLiteral("2025-03-01")}); // not on offer
        const QString customer = QStringLiteral("insert into kh_customer (id,name,agent,regdate) values (?,?,?,?)");
        exec(customer, {5001, QStringLiteral("六月甲"), a, QStringLiteral("2025-06-01")});
        exec(customer, {5002, QStringLiteral("六月乙"), b, QStringLiteral("2025-06-10")});
        exec(customer, {5003, QStringLiteral("五月丙"), b, QStringLiteral("2025-05-20")});
        exec(customer, {5004, QStringLiteral("七月丁"), a, QStringLiteral("2025-07-01")});
        const QString follow = QStringLiteral("insert into gj_follow (id,houseid,followdate,agent,content) values (?,?,?,?,'回访')");
        exec(follow, {5001, 5001, QStringLiteral("2025-06-20"), a});
        exec(follow, {5002, 5006, QStringLiteral("2025-05-01"), a});
        exec(follow, {5003, 5006, QStringLiteral("2025-06-09"), a});
        exec(follow, {5004, 5007, QStringLiteral("2025-06-10"), b});
        const QString viewing = QStringLiteral("insert into dk_viewing (id,houseid,customerid,agent,viewdate,viewtime,status) values (?,?,?,?,?,'10:00',?)");
        exec(viewing, {5001, 5002, 5001, a, QStringLiteral("2025-06-05"), QStringLiteral("已完成")});
        exec(viewing, {5002, 5003, 5002, b, QStringLiteral("2025-06-30"), QStringLiteral("已预约")});
        exec(viewing, {5003, 5005, 5003, a, QStringLiteral("2025-06-12"), QStringLiteral("已取消")});
        exec(viewing, {5004, 5001, 5003, b, QStringLiteral("2025-06-01"), QStringLiteral("已完成")});
        exec(viewing, {5005, 5001, 5001, a, QStringLiteral("2025-07-01"), QStringLiteral("已完成")});
        const QString offer = QStringLiteral("insert into cj_offer (id,houseid,customerid,parentid,agent,side,amount,offerdate) values (?,?,?,?,?,?,?,?)");
        exec(offer, {5001, 5002, 5001, QVariant(), a, QStringLiteral("买方出价"), 100, QStringLiteral("2025-06-06")});
        exec(offer, {5002, 5002, 5001, 5001, a, QStringLiteral("卖方还价"), 110, QStringLiteral("2025-06-07")});
        exec(offer, {5003, 5003, 5002, QVariant(), b, QStringLiteral("买方出价"), 90, QStringLiteral("2025-05-31")});
        const QString contract = QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid,signdate,price,commission,agent,status) values (?,?,?,?,?,100,?,?,?)");
        exec(contract, {5001, QStringLiteral("TK5001"), 5002, 5001, QStringLiteral("2025-06-20"), 3000, a, QStringLiteral("执行中")});
        exec(contract, {5002, QStringLiteral("TK5002"), 5003, 5002, QStringLiteral("2025-06-30"), 2000, b, QStringLiteral("已完成")});
        exec(contract, {5003, QStringLiteral("TK5003"), 5005, 5003, QStringLiteral("2025-06-21"), 9999, a, QStringLiteral("已解除")});
        exec(contract, {5004, QStringLiteral("TK5004"), 5001, 5003, QStringLiteral("2025-07-01"), 7777, b, QStringLiteral("执行中")});
    }
    OverviewFigures figures(const QString &agent, const Period &period)
    {
        const auto link = jxedit::DataLink::fromContext(&context);
        EXPECT_TRUE(link) << link.error().toStdString();
        OverviewFigures f;
        const auto counted = f.compute(link.valueOr({}), {period, agent, today});
        EXPECT_TRUE(counted) << counted.error().toStdString();
        return f;
    }
    struct Expected
    {
        int listings, customers, viewings, offers, contracts;
        double commission;
        int signedCustomers, viewedCustomers, quiet;
    };
    static void expectCounts(const OverviewFigures &f, const Expected &e, const char *who)
    {
        SCOPED_TRACE(who);
        EXPECT_EQ(f.count(OverviewFigures::NewListings), e.listings);
        EXPECT_EQ(f.count(OverviewFigures::NewCustomers), e.customers);
        EXPECT_EQ(f.count(OverviewFigures::Viewings), e.viewings);
        EXPECT_EQ(f.count(OverviewFigures::Offers), e.offers);
        EXPECT_EQ(f.count(OverviewFigures::Contracts), e.contracts);
        EXPECT_DOUBLE_EQ(f.commission(), e.commission);
        EXPECT_EQ(f.signedCustomers(), e.signedCustomers);
        EXPECT_EQ(f.viewedCustomers(), e.viewedCustomers);
        EXPECT_EQ(f.count(OverviewFigures::QuietListings), e.quiet);
    }
    static QString tileText(qvcontrols::ControlSite *site, OverviewFigures::Figure figure)
    {
        return child<QPushButton>(site, QStringLiteral("figure_%1").arg(int(figure)))->text().section(u'\n', 1);
    }
    static void choose(qvcontrols::ControlSite *site, const Period &period)
    {
        child<QDateEdit>(site, QStringLiteral("periodFrom"))->setDate(period.from);
        child<QDateEdit>(site, QStringLiteral("periodTo"))->setDate(period.to);
        child<QPushButton>(site, QStringLiteral("periodRun"))->click();
    }
};

TEST_P(OverviewTest, FiguresMatchTheHandCountedRowsOfTheTeamAndOfEachAgent)
{
    addJune();
    // Listings T5002, T5003, T5005; customers 六月甲, 六月乙; viewings 5001,
    // 5002, 5004 (5003 cancelled); offers 5001, 5002; contracts TK5001,
    // TK5002 (TK5003 cancelled, TK5004 in July); quiet T5006, T5008. The
    // demo's listings are registered after `today` and so are not quiet.
    const OverviewFigures team = figures(QString(), june);
    expectCounts(team, {3, 2, 3, 2, 2, 5000, 2, 3, 2}, "team");
    EXPECT_EQ(team.text(OverviewFigures::Conversion), QStringLiteral("66.7%"));
    ASSERT_EQ(team.perAgent().size(), 2);
    EXPECT_EQ(team.perAgent().at(0).agent + team.perAgent().at(1).agent, b + a); // by name, as the database orders them
    for (const auto &line : team.perAgent())
        EXPECT_DOUBLE_EQ(line.commission, line.agent == a ? 3000 : 2000);

    expectCounts(figures(a, june), {2, 1, 1, 2, 1, 3000, 1, 1, 1}, "王志强");
    expectCounts(figures(b, june), {1, 1, 2, 0, 1, 2000, 1, 2, 1}, "李秀英");
    EXPECT_EQ(figures(b, june).text(OverviewFigures::Conversion), QStringLiteral("50.0%"));

    // Weeks from Monday, the first cut at Sunday the 1st.
    const auto weeks = team.perWeek();
    ASSERT_EQ(weeks.size(), 6);
    EXPECT_EQ(weeks.at(0).start, QDate(2025, 6, 1));
    EXPECT_EQ(weeks.at(1).start, QDate(2025, 6, 2));
    EXPECT_EQ(weeks.at(5).start, QDate(2025, 6, 30));
    QVector<int> listings, customers;
    for (const auto &w : weeks) {
        listings << w.listings;
        customers << w.customers;
    }
    EXPECT_EQ(listings, (QVector<int>{1, 0, 1, 0, 0, 1}));
    EXPECT_EQ(customers, (QVector<int>{1, 0, 1, 0, 0, 0}));

    // One day on either side moves the boundary rows in and out.
    const OverviewFigures inner = figures(QString(), {QDate(2025, 6, 2), QDate(2025, 6, 29)});
    EXPECT_EQ(inner.count(OverviewFigures::NewListings), 1);
    EXPECT_EQ(inner.count(OverviewFigures::Viewings), 1);
    EXPECT_EQ(inner.count(OverviewFigures::Contracts), 1);
    const OverviewFigures outer = figures(QString(), {QDate(2025, 5, 31), QDate(2025, 7, 1)});
    EXPECT_EQ(outer.count(OverviewFigures::NewListings), 5);
    EXPECT_EQ(outer.count(OverviewFigures::Offers), 3);
    EXPECT_EQ(outer.count(OverviewFigures::Contracts), 3);

    // An end before the start is refused.
    OverviewFigures refused;
    const auto counted = refused.compute(jxedit::DataLink::fromContext(&context).valueOr({}), {{june.to, june.from}, QString(), today});
    EXPECT_FALSE(counted);
    EXPECT_TRUE(counted.error().contains(QStringLiteral("早于开始日期"))) << counted.error().toStdString();
}

TEST_P(OverviewTest, AManagerSeesTheTeamAndEachNumberOpensTheRowsBehindIt)
{
    addJune();
    context.Environment().SetOperationDate(today);
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.ooverview"));
    // This month to start with.
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(3010), com::Variant::fromString(QStringLiteral("经营概况"))}))
        << com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().toStdString();
    auto *agent = child<QComboBox>(site, QStringLiteral("agent"));
    EXPECT_TRUE(agent->isEnabled());
    EXPECT_EQ(agent->itemText(0), QStringLiteral("全部经纪人"));
    EXPECT_EQ(child<QDateEdit>(site, QStringLiteral("periodTo"))->date(), QDate(2025, 7, 31));
    EXPECT_EQ(tileText(site, OverviewFigures::NewListings), QStringLiteral("1")); // T5004 of 1 July
    choose(site, june);
    EXPECT_EQ(tileText(site, OverviewFigures::Viewings), QStringLiteral("3"));
    EXPECT_EQ(tileText(site, OverviewFigures::Conversion), QStringLiteral("66.7%（2/3）"));
    EXPECT_EQ(child<QPushButton>(site, QStringLiteral("figure_commission"))->text(), QStringLiteral("成交佣金\n5000 元"));

    auto *grid = site->widget()->findChild<QTableView *>();
    ASSERT_NE(grid, nullptr);
    child<QPushButton>(site, QStringLiteral("figure_%1").arg(int(OverviewFigures::QuietListings)))->click();
    QAbstractItemModel *rows = grid->model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(0, 0).data().toString(), QStringLiteral("T5008"));
    EXPECT_EQ(rows->index(1, 0).data().toString(), QStringLiteral("T5006"));

    // The list's line counts the rows it shows, read page by page.
    EXPECT_TRUE(child<QLabel>(site, QStringLiteral("listTitle"))->text().contains(QStringLiteral("共 2 条")))
        << child<QLabel>(site, QStringLiteral("listTitle"))->text().toStdString();

    // A contract of the list opens in the contract form, as from a query grid;
    // sale prices and monthly rents stand in columns of their own.
    child<QPushButton>(site, QStringLiteral("figure_%1").arg(int(OverviewFigures::Contracts)))->click();
    ASSERT_EQ(rows->rowCount(), 2);
    QStringList headers;
    for (int c = 0; c < rows->columnCount(); ++c)
        headers << rows->headerData(c, Qt::Horizontal).toString();
    EXPECT_TRUE(headers.contains(QStringLiteral("成交价(万元)")) && headers.contains(QStringLiteral("月租金(元/月)"))) << headers.join(u',').toStdString();
    events.clear();
    emit grid->doubleClicked(rows->index(1, 0));
    ASSERT_EQ(eventsNamed(QStringLiteral("detaile")).size(), 1u);
    EXPECT_EQ(eventsNamed(QStringLiteral("detaile"))[0].params, (QVariantList{3001, 5002}));

    // One agent chosen: his figures only.
    agent->setCurrentText(b);
    emit agent->activated(agent->currentIndex());
    EXPECT_EQ(tileText(site, OverviewFigures::Viewings), QStringLiteral("2"));
    EXPECT_EQ(tileText(site, OverviewFigures::Offers), QStringLiteral("0"));

    // A period that ends before it starts is refused; the figures shown stay.
    choose(site, {june.to, june.from});
    EXPECT_TRUE(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().contains(QStringLiteral("早于开始日期")));
    EXPECT_EQ(tileText(site, OverviewFigures::Viewings), QStringLiteral("2"));
}

TEST_P(OverviewTest, AnAgentSeesOnlyHisOwnFigures)
{
    addJune();
    signIn(QStringLiteral("clerk")); // 李秀英, role agent: the program, not the team
    context.Environment().SetOperationDate(today);
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.ooverview"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(3010)}))
        << com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().toStdString();
    auto *agent = child<QComboBox>(site, QStringLiteral("agent"));
    EXPECT_FALSE(agent->isEnabled());
    EXPECT_EQ(agent->count(), 1);
    EXPECT_EQ(agent->currentText(), b);
    choose(site, june);
    EXPECT_EQ(tileText(site, OverviewFigures::NewListings), QStringLiteral("1"));
    EXPECT_EQ(tileText(site, OverviewFigures::Viewings), QStringLiteral("2"));
    EXPECT_EQ(tileText(site, OverviewFigures::Conversion), QStringLiteral("50.0%（1/2）"));
    child<QPushButton>(site, QStringLiteral("figure_%1").arg(int(OverviewFigures::NewListings)))->click();
    QAbstractItemModel *rows = site->widget()->findChild<QTableView *>()->model();
    ASSERT_EQ(rows->rowCount(), 1);
    EXPECT_EQ(rows->index(0, 0).data().toString(), QStringLiteral("T5003"));
}

INSTANTIATE_TEST_SUITE_P(Engines, OverviewTest, ::testing::Values("sqlite", "postgres"));

} // namespace
