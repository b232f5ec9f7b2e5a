// Matching listings and customers through the record form's 匹配: scores,
// reasons, the tolerance band, districts, and only records still on offer.

#include "FunctionHost.h"

#include <QLineEdit>
#include <QTableView>

namespace {

class MatchTest : public FunctionHost
{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Rows of our own, so every score is known.
        for (const char *table : {"yj_commission", "ht_contract", "gj_follow", "jx_matchalert", "fy_house", "kh_customer"})
            ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from ") + QString::fromLatin1(table)));
    }
    void listing(int id, const char *dealType, const char *district, double price, double area, int rooms,
                 const char *status = "有效", const char *agent = "王志强")
    {
        ASSERT_TRUE(t.db->ExecuteParams(
            QStringLiteral("insert into fy_house (id,code,dealtype,district,community,rooms,area,price,agent,status,regdate)"
                           " values (?,?,?,?,'测试小区',?,?,?,?,?,'2026-01-01')"),
            {id, QStringLiteral("FY%1").arg(id, 6, 10, QLatin1Char('0')), QString::fromUtf8(dealType), QString::fromUtf8(district), rooms, area,
             price, QString::fromUtf8(agent), QString::fromUtf8(status)}))
            << t.db->LastError().Description().toStdString();
    }
    void customer(int id, const char *name, const char *dealType, const char *districts, double priceMin, double priceMax, double areaMin,
                  double areaMax, int rooms, const char *status = "有效", const char *agent = "王志强")
    {
        const QString list = QString::fromUtf8(districts);
        ASSERT_TRUE(t.db->ExecuteParams(
            QStringLiteral("insert into kh_customer (id,name,phone,dealtype,district,districts,pricemin,pricemax,areamin,areamax,rooms,agent,status,regdate)"
                           " values (?,?,?,?,?,?,?,?,?,?,?,?,?,'2026-01-01')"),
            {id, QString::fromUtf8(name), QStringLiteral("1390571%1").arg(id, 4, 10, QLatin1Char('0')), QString::fromUtf8(dealType),
             list.isEmpty() ? QVariant() : QVariant(list.section(QStringLiteral("、"), 0, 0)), list, priceMin, priceMax, areaMin, areaMax,
             rooms, QString::fromUtf8(agent), QString::fromUtf8(status)}))
            << t.db->LastError().Description().toStdString();
    }
    qvcontrols::ControlSite *open(int prog, int id)
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("edit%1").arg(++m_sites));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(prog), com::Variant::fromDouble(id), com::Variant::fromInt16(2)}));
        return site;
    }
    // The match list as shown: "score | reasons | first field" per row.
    QStringList match(qvcontrols::ControlSite *site)
    {
        events.clear();
        trigger(site, "match");
        auto *view = child<QWidget>(site, QStringLiteral("matches"))->findChild<QTableView *>();
        QStringList shown;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            shown << QStringLiteral("%1|%2|%3").arg(view->model()->index(r, 0).data().toString(), view->model()->index(r, 1).data().toString(),
                                                    view->model()->index(r, 2).data().toString());
        return shown;
    }
    QString lastMessage() const
    {
        const auto messages = eventsNamed(QStringLiteral("message"));
        return messages.empty() ? QString() : messages.back().params.value(0).toString();
    }
    static bool save(qvcontrols::ControlSite *site) { return com::toQVariant(com::call(site->object(), QStringLiteral("Save"))).toBool(); }
    static QString errorText(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    }
    int m_sites = 0;
};

TEST_P(MatchTest, ACustomerSeesTheListingsScoredWithTheirReasonsBestFirst)
{
    customer(1, "陈明", "出售", "西湖区、滨江区", 300, 400, 90, 120, 3);
    listing(1, "出售", "西湖区", 350, 100, 3);   // everything fits
    listing(2, "出售", "滨江区", 432, 95, 3);    // 8 % over budget, in the second district
    listing(3, "出售", "西湖区", 350, 85.5, 2);  // 5 % small, a room fewer
    listing(4, "出售", "上城区", 350, 100, 3);   // another district: never
    listing(5, "出售", "西湖区", 450, 100, 3);   // 12.5 % over: beyond the band
    listing(6, "出售", "西湖区", 350, 100, 3, "已成交");
    listing(7, "出租", "西湖区", 350, 100, 3);
    listing(8, "出售", "西湖区", 350, 100, 3);   // ties with 1, comes after it
    listing(9, "出售", "西湖区", 350, 100, 5);   // two rooms more
    listing(10, "出售", "滨江区", 440, 100, 3);  // exactly at the edge of the band

    const QStringList shown = match(open(2001, 1));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("匹配 100%|总价在预算内 · 面积相符 · 房间数相符 · 同区域|FY000001"),
                                  QStringLiteral("匹配 100%|总价在预算内 · 面积相符 · 房间数相符 · 同区域|FY000008"),
                                  QStringLiteral("匹配 86%|总价在预算内 · 面积略小 5% · 少一室 · 同区域|FY000003"),
                                  QStringLiteral("匹配 84%|超出预算 8% · 面积相符 · 房间数相符 · 同区域|FY000002"),
                                  QStringLiteral("匹配 80%|超出预算 10% · 面积相符 · 房间数相符 · 同区域|FY000010")}))
        << shown.join(u'\n').toStdString();
    EXPECT_EQ(lastMessage(), QStringLiteral("匹配到 5 条"));
}

TEST_P(MatchTest, NoDistrictMeansAnyAndARentIsWeighedAgainstTheRentBudget)
{
    customer(1, "林芳", "出租", "", 3000, 4000, 0, 0, 0);
    listing(1, "出租", "上城区", 3500, 60, 2);
    listing(2, "出租", "萧山区", 2800, 60, 2); // 6.7 % under the lowest rent he named
    listing(3, "出售", "上城区", 3500, 60, 2);
    EXPECT_EQ(match(open(2001, 1)), (QStringList{QStringLiteral("匹配 100%|租金在预算内 · 不限区域|FY000001"),
                                                 QStringLiteral("匹配 67%|低于预算 7% · 不限区域|FY000002")}));
}

TEST_P(MatchTest, AWishWithoutCriteriaMatchesNothingAndSaysSo)
{
    customer(1, "周到", "出售", "", 0, 0, 0, 0, 0);
    listing(1, "出售", "西湖区", 350, 100, 3);
    qvcontrols::ControlSite *site = open(2001, 1);
    EXPECT_TRUE(match(site).isEmpty());
    EXPECT_EQ(lastMessage(), QStringLiteral("客户没有填写需求，无法匹配"));
    // A customer who has bought takes no part either.
    customer(2, "吴成", "出售", "西湖区", 300, 400, 0, 0, 0, "已成交");
    EXPECT_TRUE(match(open(2001, 2)).isEmpty());
    EXPECT_EQ(lastMessage(), QStringLiteral("状态为“已成交”的客户不参与匹配"));
}

TEST_P(MatchTest, AListingFindsTheCustomersWaitingForItAndNoneElsewhere)
{
    listing(1, "出售", "西湖区", 350, 100, 3);
    listing(2, "出售", "西湖区", 350, 100, 3, "已成交");
    customer(1, "陈明", "出售", "滨江区、西湖区", 300, 400, 90, 120, 3); // its second district
    customer(2, "钱进", "出售", "上城区", 300, 400, 90, 120, 3);         // elsewhere: never
    customer(3, "孙悦", "出售", "", 300, 320, 0, 0, 0);                  // 9 % over his budget
    customer(4, "赵乐", "出售", "", 0, 300, 0, 0, 0);                    // 17 % over: no
    customer(5, "李安", "出售", "西湖区", 300, 400, 0, 0, 3, "暂缓");
    customer(6, "郑重", "出售", "", 0, 0, 0, 0, 0);                      // no wishes at all
    customer(7, "王宁", "出售", "西湖区", 0, 0, 0, 0, 4);                // a room fewer than he wants
    customer(8, "冯达", "出租", "西湖区", 0, 0, 0, 0, 3);
    const QStringList shown = match(open(1001, 1));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("匹配 100%|总价在预算内 · 面积相符 · 房间数相符 · 同区域|陈明"),
                                  QStringLiteral("匹配 79%|少一室 · 同区域|王宁"),
                                  QStringLiteral("匹配 53%|超出预算 9% · 不限区域|孙悦")}))
        << shown.join(u'\n').toStdString();
    // A sold listing is offered to nobody.
    EXPECT_TRUE(match(open(1001, 2)).isEmpty());
    EXPECT_EQ(lastMessage(), QStringLiteral("状态为“已成交”的房源不参与匹配"));
}

TEST_P(MatchTest, WishedDistrictsAreCheckedAtSaveAndFollowARenamedDistrict)
{
    customer(1, "陈明", "出售", "", 300, 400, 0, 0, 0);
    qvcontrols::ControlSite *site = open(2001, 1);
    auto *districts = child<QLineEdit>(site, QStringLiteral("field_districts"));
    ASSERT_NE(districts, nullptr);
    districts->setText(QStringLiteral("西湖区，火星区"));
    EXPECT_FALSE(save(site));
    EXPECT_TRUE(errorText(site).contains(QStringLiteral("意向区域“火星区”不存在"))) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select districts from kh_customer where id=1")).toString(), QString());
    EXPECT_EQ(districts->text(), QStringLiteral("西湖区，火星区")); // the typing stays

    districts->setText(QStringLiteral(" 西湖区, 滨江区 西湖区"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select districts from kh_customer where id=1")).toString(), QStringLiteral("西湖区、滨江区"));
    EXPECT_EQ(scalar(QStringLiteral("select district from kh_customer where id=1")).toString(), QStringLiteral("西湖区"));

    // Renamed through its own form, the second district is renamed in the wish too.
    const int binjiang = scalar(QStringLiteral("select id from fy_district where name='滨江区'")).toInt();
    qvcontrols::ControlSite *district = open(4006, binjiang);
    child<QLineEdit>(district, QStringLiteral("field_name"))->setText(QStringLiteral("高新区"));
    ASSERT_TRUE(save(district)) << errorText(district).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select districts from kh_customer where id=1")).toString(), QStringLiteral("西湖区、高新区"));
    // ... and, named there only, it cannot be deleted from under the wish.
    events.clear();
    EXPECT_FALSE(com::toQVariant(com::call(district->object(), QStringLiteral("Delete"))).toBool());
    EXPECT_EQ(errorText(district), QStringLiteral("该区域还有房源或客户，不能删除"));
}

INSTANTIATE_TEST_SUITE_P(Engines, MatchTest, ::testing::Values("sqlite", "postgres"));

} // namespace
