// The reminder list on a fixed day: how long a listing has really gone
// without a follow-up, and follow-ups coming in the next days as well as due.

#include "OwnRowsHost.h"
#include "jxedit/AlertControl.h"

namespace {

class RemindersTest : public OwnRowsHost
{
protected:
    void SetUp() override
    {
        OwnRowsHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context.Environment().SetOperationDate(QDate(2026, 6, 30));
    }
    void setDaysAhead(const QString &value)
    {
        ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from jx_option where groupno=12 and keyname='followdaysahead'")));
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into jx_option (groupno,keyname,keyno,optvalue) values (12,'followdaysahead',0,?)"),
                                        {value}));
    }
};

TEST_P(RemindersTest, AListingLeftAloneSaysForHowManyDaysSinceItsLastFollowUpOrItsRegistration)
{
    listing(1, "出售", "西湖区", 350, 100, 3, "有效", "李秀英"); // registered 2026-01-01
    listing(2, "出售", "西湖区", 350, 100, 3, "有效", "李秀英");
    listing(3, "出售", "西湖区", 350, 100, 3, "有效", "李秀英");
    listing(4, "出售", "西湖区", 350, 100, 3, "已成交", "李秀英");
    follow(1, 1, 0, "2025-09-30", "");
    follow(2, 1, 0, "2026-02-03", "");  // the last one counts
    follow(3, 3, 0, "2026-06-10", "");  // followed up lately
    // The quietest first.
    EXPECT_EQ(reminders(QStringLiteral("clerk")).filter(QStringLiteral("房源待跟进")),
              (QStringList{QStringLiteral("房源待跟进|2026-01-01|房源 FY000002（测试小区）登记 180 天没有跟进|李秀英"),
                           QStringLiteral("房源待跟进|2026-02-03|房源 FY000001（测试小区）147 天没有跟进（上次 2026-02-03）|李秀英")}));

    // Hundreds more: the list names the first ones and counts the rest rather than listing them all.
    for (int id = 5; id < 5 + jxedit::AlertControl::kQuietShown; ++id)
        listing(id, "出租", "西湖区", 3000, 60, 1, "有效", "李秀英");
    const QStringList quiet = reminders(QStringLiteral("clerk")).filter(QStringLiteral("房源待跟进"));
    ASSERT_EQ(quiet.size(), jxedit::AlertControl::kQuietShown + 1);
    EXPECT_EQ(quiet.first(), QStringLiteral("房源待跟进||另有 2 套房源超过 30 天没有跟进，“经营概况”的“久未跟进房源”列出全部|李秀英"));
    EXPECT_TRUE(quiet.at(1).contains(QStringLiteral("FY000002"))) << quiet.at(1).toStdString();
}

TEST_P(RemindersTest, FollowUpsComingInTheNextDaysAreListedBesideTheOverdueOnes)
{
    customer(1, "陈明", "出售", "", 300, 400, 0, 0, 0, "有效", "李秀英");
    customer(2, "钱进", "出售", "", 300, 400, 0, 0, 0, "有效", "李秀英");
    customer(3, "孙悦", "出售", "", 300, 400, 0, 0, 0, "有效", "李秀英");
    customer(4, "赵乐", "出售", "", 300, 400, 0, 0, 0, "有效", "李秀英");
    customer(5, "李安", "出售", "", 300, 400, 0, 0, 0, "有效", "李秀英");
    follow(1, 0, 1, "2026-06-20", "2026-07-03");
    follow(2, 0, 2, "2026-06-20", "2026-07-04");
    follow(3, 0, 3, "2026-06-20", "2026-06-25");
    follow(4, 0, 4, "2026-06-20", "2026-06-30");
    follow(5, 0, 5, "2026-06-01", "2026-06-05");
    follow(6, 0, 5, "2026-06-28", "");  // followed up since: nothing due
    const QStringList threeDays{QStringLiteral("跟进到期|2026-06-25|逾期 5 天：客户 孙悦 13905710003：约看房|李秀英"),
                                QStringLiteral("跟进到期|2026-06-30|今天跟进：客户 赵乐 13905710004：约看房|李秀英"),
                                QStringLiteral("即将跟进|2026-07-03|3 天后跟进：客户 陈明 13905710001：约看房|李秀英")};
    EXPECT_EQ(reminders(QStringLiteral("clerk")), threeDays);
    // The installation may look further ahead; a setting that is no number of days leaves the default.
    setDaysAhead(QStringLiteral("5"));
    EXPECT_EQ(reminders(QStringLiteral("clerk")),
              threeDays + QStringList{QStringLiteral("即将跟进|2026-07-04|4 天后跟进：客户 钱进 13905710002：约看房|李秀英")});
    setDaysAhead(QStringLiteral("一周"));
    EXPECT_EQ(reminders(QStringLiteral("clerk")), threeDays);
    // Another agent's follow-ups are not his.
    EXPECT_TRUE(reminders(QStringLiteral("admin")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, RemindersTest, ::testing::Values("sqlite", "postgres"));

} // namespace
