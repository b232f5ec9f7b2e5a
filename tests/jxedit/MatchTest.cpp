// Matching listings and customers through the record form's 匹配: scores,
// reasons, the tolerance band, districts, and only records still on offer.

#include "OwnRowsHost.h"

#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"

#include <QLineEdit>

namespace {

using MatchTest = OwnRowsHost;

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

    qvcontrols::ControlSite *site = open(2001, 1);
    const QStringList shown = match(site);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("匹配 100%|总价在预算内 · 面积相符 · 房间数相符 · 同区域|FY000001"),
                                  QStringLiteral("匹配 100%|总价在预算内 · 面积相符 · 房间数相符 · 同区域|FY000008"),
                                  QStringLiteral("匹配 86%|总价在预算内 · 面积略小 5% · 少一室 · 同区域|FY000003"),
                                  QStringLiteral("匹配 84%|超出预算 8% · 面积相符 · 房间数相符 · 同区域|FY000002"),
                                  QStringLiteral("匹配 80%|超出预算 10% · 面积相符 · 房间数相符 · 同区域|FY000010")}))
        << shown.join(u'\n').toStdString();
    EXPECT_EQ(lastMessage(), QStringLiteral("匹配到 5 条"));
    // Sorted by the user, the scores compare as numbers.
    QTableView *view = child<QWidget>(site, QStringLiteral("matches"))->findChild<QTableView *>();
    view->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("匹配 80%"));
    EXPECT_EQ(view->model()->index(4, 0).data().toString(), QStringLiteral("匹配 100%"));
}

TEST_P(MatchTest, OfManyMatchesTheBestAreShownAndTheRestCounted)
{
    customer(1, "陈明", "出售", "西湖区", 300, 400, 0, 0, 0);
    for (int id = 1; id <= 200; ++id)
        listing(id, "出售", "西湖区", 440, 100, 3);
    listing(201, "出售", "西湖区", 350, 100, 3); // the one that fits best comes last by key
    const QStringList shown = match(open(2001, 1));
    ASSERT_EQ(shown.size(), 200);
    EXPECT_EQ(shown.first(), QStringLiteral("匹配 100%|总价在预算内 · 同区域|FY000201"));
    EXPECT_EQ(shown.at(1), QStringLiteral("匹配 67%|超出预算 10% · 同区域|FY000001"));
    EXPECT_EQ(shown.last(), QStringLiteral("匹配 67%|超出预算 10% · 同区域|FY000199"));
    EXPECT_EQ(lastMessage(), QStringLiteral("匹配到 201 条，显示最匹配的 200 条"));
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
    customer(9, "韩梅", "出售", "上城区, 西湖区", 0, 0, 0, 0, 0); // a list written outside the product
    const QStringList shown = match(open(1001, 1));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("匹配 100%|总价在预算内 · 面积相符 · 房间数相符 · 同区域|陈明"),
                                  QStringLiteral("匹配 100%|同区域|韩梅"),
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

// A new listing typed into the form, as an agent registers it.
void fillListing(qvcontrols::ControlSite *site, const QString &community, const QString &price)
{
    site->widget()->findChild<QLineEdit *>(QStringLiteral("lookup_district"))->setText(QStringLiteral("滨江区"));
    site->widget()->findChild<QLineEdit *>(QStringLiteral("field_community"))->setText(community);
    site->widget()->findChild<QLineEdit *>(QStringLiteral("field_rooms"))->setText(QStringLiteral("3"));
    site->widget()->findChild<QLineEdit *>(QStringLiteral("field_area"))->setText(QStringLiteral("98.5"));
    site->widget()->findChild<QLineEdit *>(QStringLiteral("field_price"))->setText(price);
}

TEST_P(MatchTest, ANewListingTellsTheAgentsOfTheCustomersItFitsOncePerPair)
{
    customer(1, "陈明", "出售", "滨江区", 400, 450, 90, 110, 3, "有效", "李秀英"); // fits in full
    customer(2, "钱进", "出售", "滨江区", 300, 400, 90, 110, 3, "有效", "张伟");   // 5 % over: 90
    customer(3, "孙悦", "出售", "滨江区", 0, 300, 0, 0, 0, "有效", "李秀英");      // far over budget
    customer(4, "赵乐", "出售", "滨江区", 0, 380, 0, 0, 0, "有效", "李秀英");      // 10.5 % over: not yet
    customer(5, "李安", "出售", "滨江区", 400, 450, 90, 110, 3, "暂缓", "李秀英");
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("new"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromDouble(0), com::Variant::fromInt16(1)}));
    fillListing(site, QStringLiteral("江南春晓"), QStringLiteral("420"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    const int house = com::toQVariant(com::get(site->object(), QStringLiteral("RecordId"))).toInt();
    const QString code = scalar(QStringLiteral("select code from fy_house where id=%1").arg(house)).toString();
    auto alerts = [&] {
        QStringList out;
        const QueryResult r = t.db->Query(QStringLiteral("select customerid,score,reason from jx_matchalert where houseid=%1 order by customerid").arg(house));
        Recordset rs = r.Recordset();
        for (; !rs.Eof(); rs.MoveNext())
            out << QStringLiteral("%1 %2 %3").arg(rs.Fields(QStringLiteral("customerid")).toInt()).arg(rs.Fields(QStringLiteral("score")).toInt())
                       .arg(rs.Fields(QStringLiteral("reason")).toString());
        return out;
    };
    EXPECT_EQ(alerts(), (QStringList{QStringLiteral("1 100 新房源"), QStringLiteral("2 90 新房源")}));

    // Each agent hears of his own customers; a user who is no agent hears of all.
    const QString forChen = QStringLiteral("房源匹配|%1|新房源符合客户 陈明的需求：%2，匹配 100%|李秀英")
                                .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), code);
    EXPECT_EQ(reminders(QStringLiteral("clerk")).filter(QStringLiteral("房源匹配")), QStringList{forChen});
    const QStringList all = reminders(QStringLiteral("manager")).filter(QStringLiteral("房源匹配"));
    EXPECT_EQ(all.size(), 2) << all.join(u'\n').toStdString();
    EXPECT_TRUE(all.contains(forChen));

    // Saved again, nobody is told twice; a lower price tells only who it fits now.
    child<QLineEdit>(site, QStringLiteral("field_floor"))->setText(QStringLiteral("5/18"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(alerts().size(), 2);
    child<QLineEdit>(site, QStringLiteral("field_price"))->setText(QStringLiteral("390"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(alerts(), (QStringList{QStringLiteral("1 100 新房源"), QStringLiteral("2 90 新房源"), QStringLiteral("4 91 降价")}));
    EXPECT_TRUE(reminders(QStringLiteral("clerk")).contains(QStringLiteral("房源匹配|%1|房源降价后符合客户 赵乐的需求：%2，匹配 91%|李秀英")
                                                                .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), code)));
    // Once his agent has followed it up with him, the reminder has done its work.
    follow(1, house, 1, qPrintable(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))), "");
    EXPECT_FALSE(reminders(QStringLiteral("clerk")).join(u'\n').contains(QStringLiteral("陈明的需求")));
}

TEST_P(MatchTest, ANewListingWhoseRemindersCannotBeWrittenIsNotSaved)
{
    customer(1, "陈明", "出售", "滨江区", 400, 450, 90, 110, 3, "有效", "李秀英");
    ASSERT_TRUE(t.db->Execute(QStringLiteral("drop table jx_matchalert")));
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("new"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromDouble(0), com::Variant::fromInt16(1)}));
    fillListing(site, QStringLiteral("江南春晓"), QStringLiteral("420"));
    EXPECT_FALSE(save(site));
    EXPECT_TRUE(errorText(site).startsWith(QStringLiteral("保存失败：记录匹配提醒失败："))) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house")).toInt(), 0);
    EXPECT_EQ(child<QLineEdit>(site, QStringLiteral("field_community"))->text(), QStringLiteral("江南春晓")); // the typing stays
}

INSTANTIATE_TEST_SUITE_P(Engines, MatchTest, ::testing::Values("sqlite", "postgres"));

} // namespace
