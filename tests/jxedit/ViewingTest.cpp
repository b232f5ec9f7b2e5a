// Viewings: the clash and market warnings before a save, the time field,
// feedback becoming the customer's follow-up, booking from a customer's or a
// listing's record, the agenda and today's viewings among the reminders.

#include "OwnRowsHost.h"

#include "jxedit/ViewingRules.h"

#include "platform/MessageBox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

const QDate kToday(2026, 6, 30); // a Tuesday

class ViewingTest : public OwnRowsHost
{
protected:
    void SetUp() override
    {
        OwnRowsHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from dk_viewing")));
        context.Environment().SetOperationDate(kToday);
        listing(1, "出售", "西湖区", 350, 100, 3, "有效", "王志强");
        listing(2, "出售", "西湖区", 300, 90, 2, "有效", "李秀英");
        listing(3, "出售", "西湖区", 300, 90, 2, "已成交", "李秀英");
        customer(1, "陈明", "出售", "西湖区", 300, 400, 0, 0, 0, "有效", "李秀英");
        customer(2, "钱进", "出售", "西湖区", 300, 400, 0, 0, 0, "有效", "王志强");
    }
    void viewing(int id, int house, int customer, const char *agent, const QString &day, const char *time, int minutes,
                 const char *status = "已预约")
    {
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into dk_viewing (id,houseid,customerid,agent,viewdate,viewtime,duration,status)"
                                                       " values (?,?,?,?,?,?,?,?)"),
                                        {id, house, customer, QString::fromUtf8(agent), day, QString::fromUtf8(time), minutes,
                                         QString::fromUtf8(status)}))
            << t.db->LastError().Description().toStdString();
    }
    jxedit::DataLink dataLink()
    {
        return jxedit::DataLink::fromContext(&context).valueOr({});
    }
    static QVariantMap proposed(int house, const char *agent, const QString &day, const char *time, int minutes, const char *status = "已预约")
    {
        return {{QStringLiteral("houseid"), house},      {QStringLiteral("customerid"), 2},
                {QStringLiteral("agent"), QString::fromUtf8(agent)}, {QStringLiteral("viewdate"), day},
                {QStringLiteral("viewtime"), QString::fromUtf8(time)}, {QStringLiteral("duration"), minutes},
                {QStringLiteral("status"), QString::fromUtf8(status)}};
    }
    QStringList warningsFor(int id, const QVariantMap &before, const QVariantMap &after)
    {
        const auto out = jxedit::ViewingRules(dataLink()).warnings(id, before, after);
        EXPECT_TRUE(out) << out.error().toStdString();
        return out.valueOr({});
    }
    static QLineEdit *line(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("field_") + QString::fromLatin1(field));
    }
    static QLineEdit *lookup(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("lookup_") + QString::fromLatin1(field));
    }
    static QComboBox *box(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QComboBox>(site, QStringLiteral("field_") + QString::fromLatin1(field));
    }
    static QString fieldError(qvcontrols::ControlSite *site, const char *field)
    {
        QLabel *label = child<QLabel>(site, QStringLiteral("error_") + QString::fromLatin1(field));
        return label && !label->isHidden() ? label->text() : QString();
    }
    qvcontrols::ControlSite *newViewing()
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("view%1").arg(++m_sites));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(6001), com::Variant::fromDouble(0), com::Variant::fromInt16(1)}));
        return site;
    }
    // A new viewing of 钱进 for listing FY000001 with 王志强, as typed into the form.
    void fill(qvcontrols::ControlSite *site, const QString &day, const char *time, const char *minutes = "60")
    {
        lookup(site, "customerid")->setText(QStringLiteral("钱进"));
        lookup(site, "houseid")->setText(QStringLiteral("FY000001"));
        lookup(site, "agent")->setText(QStringLiteral("王志强"));
        line(site, "viewdate")->setText(day);
        line(site, "viewtime")->setText(QString::fromUtf8(time));
        line(site, "duration")->setText(QString::fromUtf8(minutes));
    }
    QString day(int offset) const { return kToday.addDays(offset).toString(QStringLiteral("yyyy-MM-dd")); }
    qvcontrols::ControlSite *agenda(const QString &user)
    {
        signIn(user);
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oagenda"), QStringLiteral("agenda%1").arg(++m_sites));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(6003)})) << errorText(site).toStdString();
        return site;
    }
    static int number(qvcontrols::ControlSite *site, const char *member)
    {
        return com::toQVariant(com::get(site->object(), QString::fromLatin1(member))).toInt();
    }
    static QString blockText(qvcontrols::ControlSite *site, int index)
    {
        return com::toQVariant(com::call(site->object(), QStringLiteral("BlockText"), {com::Variant::fromInt32(index)})).toString();
    }
};

TEST_P(ViewingTest, OverlapsOfTheSameAgentOrListingAreWarnedNamingTheOtherViewing)
{
    viewing(1, 2, 1, "王志强", day(0), "10:00", 60);           // the agent's own, 10:00–11:00
    viewing(2, 1, 1, "李秀英", day(0), "14:00", 30);           // the listing's, 14:00–14:30
    viewing(3, 1, 1, "王志强", day(0), "16:00", 60, "已取消"); // cancelled: no clash
    viewing(4, 1, 1, "王志强", day(1), "10:00", 60);           // another day

    const QStringList agentClash = warningsFor(0, {}, proposed(1, "王志强", day(0), "10:30", 60));
    ASSERT_EQ(agentClash.size(), 1);
    EXPECT_TRUE(agentClash.first().contains(QStringLiteral("经纪人 王志强"))) << agentClash.first().toStdString();
    EXPECT_TRUE(agentClash.first().contains(QStringLiteral("10:00–11:00")));
    EXPECT_TRUE(agentClash.first().contains(QStringLiteral("客户 陈明")));
    EXPECT_TRUE(agentClash.first().contains(QStringLiteral("带看记录 1")));

    const QStringList houseClash = warningsFor(0, {}, proposed(1, "张伟", day(0), "13:45", 30));
    ASSERT_EQ(houseClash.size(), 1);
    EXPECT_TRUE(houseClash.first().startsWith(QStringLiteral("房源 FY000001（测试小区）在 ") + day(0) + QStringLiteral(" 14:00–14:30")))
        << houseClash.first().toStdString();
    EXPECT_TRUE(houseClash.first().contains(QStringLiteral("经纪人 李秀英")));

    // Back to back is no clash; nor is a cancelled one, another day, or a cancelled proposal.
    EXPECT_TRUE(warningsFor(0, {}, proposed(1, "王志强", day(0), "11:00", 60)).isEmpty());
    EXPECT_TRUE(warningsFor(0, {}, proposed(1, "王志强", day(0), "09:00", 60)).isEmpty());
    EXPECT_TRUE(warningsFor(0, {}, proposed(1, "王志强", day(0), "16:15", 30)).isEmpty());
    EXPECT_TRUE(warningsFor(0, {}, proposed(1, "王志强", day(0), "10:30", 60, "已取消")).isEmpty());
    // Both at once: two warnings.
    EXPECT_EQ(warningsFor(0, {}, proposed(1, "王志强", day(0), "10:50", 200)).size(), 2);
    // A viewing never clashes with itself, and one saved again unchanged is not asked about again.
    const QVariantMap stored = proposed(2, "王志强", day(0), "10:00", 60);
    EXPECT_TRUE(warningsFor(1, {}, stored).isEmpty());
    viewing(5, 2, 2, "王志强", day(0), "10:30", 30);
    EXPECT_TRUE(warningsFor(1, stored, stored).isEmpty());
    QVariantMap later = stored;
    later.insert(QStringLiteral("viewtime"), QStringLiteral("10:15"));
    EXPECT_EQ(warningsFor(1, stored, later).size(), 1);
}

TEST_P(ViewingTest, ABookingOfAListingOffTheMarketIsWarned)
{
    const QStringList sold = warningsFor(0, {}, proposed(3, "李秀英", day(2), "10:00", 60));
    ASSERT_EQ(sold.size(), 1);
    EXPECT_EQ(sold.first(), QStringLiteral("房源 FY000003（测试小区）的状态为“已成交”，已不在市场上"));
    // Recording afterwards that it was shown before it sold is no booking.
    EXPECT_TRUE(warningsFor(0, {}, proposed(3, "李秀英", day(-20), "10:00", 60, "已完成")).isEmpty());
    EXPECT_TRUE(warningsFor(0, {}, proposed(2, "李秀英", day(2), "10:00", 60)).isEmpty());
}

TEST_P(ViewingTest, TheFormAsksBeforeSavingAClashAndKeepsTheTypingWhenTheAnswerIsNo)
{
    viewing(1, 2, 1, "王志强", day(1), "10:00", 60);
    qvcontrols::ControlSite *site = newViewing();
    fill(site, day(1), "10:30");
    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        EXPECT_FALSE(save(site));
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("带看记录 1"))) << boxes.last().text.toStdString();
        EXPECT_TRUE(boxes.last().text.endsWith(QStringLiteral("是否仍然保存？")));
        EXPECT_EQ(boxes.last().style & 7, jx::YesNo);
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from dk_viewing")).toInt(), 1);
    EXPECT_EQ(line(site, "viewtime")->text(), QStringLiteral("10:30"));
    EXPECT_EQ(lastMessage(), QStringLiteral("未保存"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        ASSERT_TRUE(save(site)) << errorText(site).toStdString();
        EXPECT_EQ(boxes.count(), 1);
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from dk_viewing where viewtime='10:30' and agent='王志强' and houseid=1")).toInt(), 1);
    // Saved again with only the feedback changed: the clash was settled, nothing is asked.
    box(site, "status")->setCurrentText(QStringLiteral("已完成"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        child<QPlainTextEdit>(site, QStringLiteral("field_feedback"))->setPlainText(QStringLiteral("客户满意"));
        ASSERT_TRUE(save(site)) << errorText(site).toStdString();
        EXPECT_EQ(boxes.count(), 0);
    }
}

TEST_P(ViewingTest, ATimeMustBeOnTheClockAndAPastViewingIsSavedWithANote)
{
    qvcontrols::ControlSite *site = newViewing();
    fill(site, day(3), "25:61");
    jx::ScopedMessageBoxRecorder boxes(jx::No);
    EXPECT_FALSE(save(site));
    EXPECT_EQ(fieldError(site, "viewtime"), QStringLiteral("“带看时间”不是有效的时间（格式：时:分，00:00 到 23:59，如 14:30）"));
    line(site, "viewtime")->setText(QStringLiteral("下午三点"));
    EXPECT_FALSE(save(site));
    EXPECT_FALSE(fieldError(site, "viewtime").isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from dk_viewing")).toInt(), 0);
    // "9:05" is a time, stored as the agenda reads it.
    line(site, "viewtime")->setText(QStringLiteral("9:05"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select viewtime from dk_viewing")).toString(), QStringLiteral("09:05"));
    EXPECT_EQ(lastMessage(), QStringLiteral("保存成功"));

    // Recorded afterwards: allowed, and the message line says so.
    qvcontrols::ControlSite *late = newViewing();
    fill(late, day(-2), "15:00");
    box(late, "status")->setCurrentText(QStringLiteral("已完成"));
    ASSERT_TRUE(save(late)) << errorText(late).toStdString();
    EXPECT_EQ(lastMessage(), QStringLiteral("保存成功（带看时间已过，按补录登记）"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_P(ViewingTest, FeedbackOfADoneViewingIsOneFollowUpOfTheCustomerUpdatedBySavingAgain)
{
    qvcontrols::ControlSite *site = newViewing();
    fill(site, day(0), "11:00");
    jx::ScopedMessageBoxRecorder boxes(jx::Yes);
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    // Booked: no follow-up yet.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow")).toInt(), 0);

    box(site, "status")->setCurrentText(QStringLiteral("已完成"));
    box(site, "outcome")->setCurrentText(QStringLiteral("有意向"));
    child<QPlainTextEdit>(site, QStringLiteral("field_feedback"))->setPlainText(QStringLiteral("采光好，想带家人再看"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow f join dk_viewing v on v.followid=f.id where f.customerid=2 and f.houseid=1"
                                    " and f.method='带看' and f.agent='王志强' and f.followdate='%1'")
                         .arg(day(0)))
                  .toInt(),
              1);
    EXPECT_EQ(scalar(QStringLiteral("select content from gj_follow")).toString(), QStringLiteral("带看反馈（有意向）：采光好，想带家人再看"));

    box(site, "outcome")->setCurrentText(QStringLiteral("已出价"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select content from gj_follow")).toString(), QStringLiteral("带看反馈（已出价）：采光好，想带家人再看"));
    EXPECT_EQ(scalar(QStringLiteral("select version from gj_follow")).toInt(), 2);
    // Its history names who wrote it, as for a follow-up typed by hand.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_history where tablename='gj_follow' and field='content'")).toInt(), 2);

    // A follow-up deleted by hand is written again at the next save, not lost for good.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from jx_history where tablename='gj_follow'")));
    ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from gj_follow")));
    EXPECT_TRUE(scalar(QStringLiteral("select followid from dk_viewing")).isNull());
    child<QPlainTextEdit>(site, QStringLiteral("field_feedback"))->setPlainText(QStringLiteral("业主同意小幅议价"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select content from gj_follow")).toString(), QStringLiteral("带看反馈（已出价）：业主同意小幅议价"));
}

TEST_P(ViewingTest, AFollowUpThatCannotBeWrittenLeavesTheViewingUnsavedAndTheTypingKept)
{
    qvcontrols::ControlSite *site = newViewing();
    fill(site, day(-1), "11:00");
    box(site, "status")->setCurrentText(QStringLiteral("已完成"));
    child<QPlainTextEdit>(site, QStringLiteral("field_feedback"))->setPlainText(QStringLiteral("客户满意"));
    // The follow-ups' table is away: writing the follow-up fails inside the save's transaction.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("alter table gj_follow rename to gj_follow_away")));
    jx::ScopedMessageBoxRecorder boxes(jx::Yes);
    EXPECT_FALSE(save(site));
    EXPECT_TRUE(errorText(site).startsWith(QStringLiteral("保存失败："))) << errorText(site).toStdString();
    ASSERT_TRUE(t.db->Execute(QStringLiteral("alter table gj_follow_away rename to gj_follow")));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from dk_viewing")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_history where tablename='dk_viewing'")).toInt(), 0);
    EXPECT_EQ(child<QPlainTextEdit>(site, QStringLiteral("field_feedback"))->toPlainText(), QStringLiteral("客户满意"));
    // Back again, the same save goes through.
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow f join dk_viewing v on v.followid=f.id")).toInt(), 1);
}

TEST_P(ViewingTest, BookingFromACustomersRecordOpensANewViewingWithHimAndTheChosenMatch)
{
    signIn(QStringLiteral("clerk"));
    qvcontrols::ControlSite *customer = open(2001, 1);
    events.clear();
    ASSERT_TRUE(com::toQVariant(com::call(customer->object(), QStringLiteral("BookViewing"))).toBool());
    auto asked = eventsNamed(QStringLiteral("detailes"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked.front().params.value(0).toInt(), 6001);
    const QString key = asked.front().params.value(1).toString();
    EXPECT_EQ(key, QStringLiteral("new?customerid=1"));

    // With the matches shown, the listing chosen there comes along.
    trigger(customer, "match");
    QTableView *matches = child<QWidget>(customer, QStringLiteral("matches"))->findChild<QTableView *>();
    ASSERT_NE(matches, nullptr);
    ASSERT_GE(matches->model()->rowCount(), 1);
    matches->setCurrentIndex(matches->model()->index(0, 0));
    events.clear();
    trigger(customer, "book");
    asked = eventsNamed(QStringLiteral("detailes"));
    ASSERT_EQ(asked.size(), 1u);
    const QString withListing = asked.front().params.value(1).toString();
    EXPECT_TRUE(withListing.startsWith(QStringLiteral("new?"))) << withListing.toStdString();
    EXPECT_TRUE(withListing.contains(QStringLiteral("customerid=1")));
    EXPECT_TRUE(withListing.contains(QStringLiteral("houseid="))) << withListing.toStdString();

    // The function window: Py_Init with a text key to follow, then the key.
    qvcontrols::ControlSite *form = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("booked"));
    ASSERT_TRUE(start(form, {com::Variant::fromInt32(6001), com::Variant::fromInt16(0), com::Variant::fromInt16(0)}));
    qvcontrols::ControlSite *report = add(QStringLiteral("JxEdit.oeditrpt"), QStringLiteral("rpt"));
    ASSERT_TRUE(start(report, {com::Variant::fromInt32(1004), com::Variant()}));
    com::ComPtr<IDispatch> set = com::objectOf(lastArg(1));
    com::call(set.get(), QStringLiteral("Add"), {com::Variant::fromInt32(0), com::Variant::fromInt32(0), com::Variant::fromInt32(0),
                                                 com::Variant::fromString(QStringLiteral("sID")), com::Variant::fromString(withListing),
                                                 com::Variant::fromInt32(203), com::Variant::fromInt32(0)});
    com::put(form->object(), QStringLiteral("sParameters"), com::Variant::fromDispatch(set.get()));
    EXPECT_EQ(number(form, "Mode"), 1);
    EXPECT_TRUE(lookup(form, "customerid")->text().contains(QStringLiteral("陈明"))) << lookup(form, "customerid")->text().toStdString();
    EXPECT_TRUE(lookup(form, "houseid")->text().startsWith(QStringLiteral("FY00000")));
    EXPECT_TRUE(lookup(form, "agent")->text().contains(QStringLiteral("李秀英"))); // the clerk books as himself
    line(form, "viewtime")->setText(QStringLiteral("15:00"));
    jx::ScopedMessageBoxRecorder boxes(jx::Yes);
    ASSERT_TRUE(save(form)) << errorText(form).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from dk_viewing where customerid=1 and agent='李秀英' and viewdate='%1'").arg(day(0))).toInt(), 1);

    // From a listing's record: the listing.
    qvcontrols::ControlSite *house = open(1001, 2);
    events.clear();
    trigger(house, "book");
    asked = eventsNamed(QStringLiteral("detailes"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked.front().params.value(1).toString(), QStringLiteral("new?houseid=2"));
}

TEST_P(ViewingTest, TheAgendaShowsTheWeekInTimeOrderMovesAndOpensTheChosenViewing)
{
    // Monday 06-29 to Sunday 07-05.
    viewing(1, 1, 1, "李秀英", day(0), "14:00", 60);
    viewing(2, 2, 2, "王志强", day(0), "09:30", 45);
    viewing(3, 1, 2, "李秀英", day(-1), "18:00", 30);
    viewing(4, 2, 1, "李秀英", day(7), "10:00", 60);             // next week
    viewing(5, 2, 1, "李秀英", day(1), "11:00", 60, "已取消");    // cancelled: not shown
    viewing(6, 1, 2, "李秀英", day(0), "14:30", 60);             // overlapping 1: side by side

    qvcontrols::ControlSite *site = agenda(QStringLiteral("admin"));
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("FirstDay"))).toString(), QStringLiteral("2026-06-29"));
    ASSERT_EQ(number(site, "BlockCount"), 4);
    EXPECT_TRUE(blockText(site, 0).startsWith(QStringLiteral("06-29 18:00–18:30 客户 钱进"))) << blockText(site, 0).toStdString();
    EXPECT_TRUE(blockText(site, 1).startsWith(QStringLiteral("06-30 09:30–10:15 客户 钱进 · 房源 FY000002（测试小区） · 王志强")));
    EXPECT_TRUE(blockText(site, 2).startsWith(QStringLiteral("06-30 14:00–15:00 客户 陈明")));
    EXPECT_TRUE(blockText(site, 3).startsWith(QStringLiteral("06-30 14:30–15:30")));

    // The keyboard walks the blocks in time order; the chosen one is what a screen reader is told.
    QWidget *view = child<QWidget>(site, QStringLiteral("agenda"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->accessibleName(), QStringLiteral("带看日程"));
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(number(site, "CurrentBlock"), 2);
    EXPECT_EQ(view->accessibleDescription(), blockText(site, 2));
    QTest::keyClick(view, Qt::Key_End);
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(number(site, "CurrentBlock"), 2);
    events.clear();
    QTest::keyClick(view, Qt::Key_Return);
    auto opened = eventsNamed(QStringLiteral("fileedit"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().params.value(0).toInt(), 6001);
    EXPECT_EQ(opened.front().params.value(1).toInt(), 1);

    trigger(site, "next");
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("FirstDay"))).toString(), QStringLiteral("2026-07-06"));
    ASSERT_EQ(number(site, "BlockCount"), 1);
    EXPECT_EQ(com::toQVariant(com::call(site->object(), QStringLiteral("BlockId"), {com::Variant::fromInt32(0)})).toInt(), 4);
    trigger(site, "previous");
    trigger(site, "previous");
    EXPECT_EQ(number(site, "BlockCount"), 0);
    EXPECT_EQ(view->accessibleDescription(), QStringLiteral("这段时间没有带看"));
    trigger(site, "today");
    EXPECT_EQ(number(site, "BlockCount"), 4);
    // A refresh keeps the chosen viewing chosen.
    QTest::keyClick(view, Qt::Key_End);
    trigger(site, "refresh");
    EXPECT_EQ(number(site, "CurrentBlock"), 3);

    // One day, then one agent.
    QComboBox *span = child<QComboBox>(site, QStringLiteral("span"));
    span->setCurrentIndex(span->findText(QStringLiteral("日")));
    emit span->activated(span->currentIndex());
    EXPECT_EQ(number(site, "Days"), 1);
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("FirstDay"))).toString(), day(0));
    EXPECT_EQ(number(site, "BlockCount"), 3);
    QComboBox *agent = child<QComboBox>(site, QStringLiteral("agent"));
    ASSERT_TRUE(agent->isEnabled());
    // Tab goes from the choosers into the calendar.
    EXPECT_EQ(span->nextInFocusChain(), agent);
    EXPECT_EQ(agent->nextInFocusChain(), view);
    agent->setCurrentIndex(agent->findText(QStringLiteral("王志强")));
    emit agent->activated(agent->currentIndex());
    ASSERT_EQ(number(site, "BlockCount"), 1);
    EXPECT_EQ(com::toQVariant(com::call(site->object(), QStringLiteral("BlockId"), {com::Variant::fromInt32(0)})).toInt(), 2);
    trigger(site, "previous");
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("FirstDay"))).toString(), day(-1));
}

TEST_P(ViewingTest, AnAgentsAgendaIsHisOwnAndOverlappingBlocksSitSideBySide)
{
    viewing(1, 1, 1, "李秀英", day(0), "14:00", 60);
    viewing(2, 2, 2, "王志强", day(0), "09:30", 45);
    viewing(3, 2, 2, "李秀英", day(0), "14:30", 60);
    qvcontrols::ControlSite *site = agenda(QStringLiteral("clerk"));
    QComboBox *agent = child<QComboBox>(site, QStringLiteral("agent"));
    EXPECT_FALSE(agent->isEnabled());
    EXPECT_EQ(agent->currentText(), QStringLiteral("李秀英"));
    ASSERT_EQ(number(site, "BlockCount"), 2);
    EXPECT_EQ(com::toQVariant(com::call(site->object(), QStringLiteral("BlockId"), {com::Variant::fromInt32(0)})).toInt(), 1);
    QWidget *view = child<QWidget>(site, QStringLiteral("agenda"));
    ASSERT_NE(view, nullptr);
    view->resize(1000, 800);
    // The two overlapping blocks share Tuesday's column: one beside the other, neither over the other.
    auto rect = [&](int index) {
        const QStringList parts =
            com::toQVariant(com::call(site->object(), QStringLiteral("BlockRect"), {com::Variant::fromInt32(index)})).toString().split(u' ');
        return QRect(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt(), parts.value(3).toInt());
    };
    const QRect first = rect(0), second = rect(1);
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_LE(first.right(), second.left());
    EXPECT_LT(first.top(), second.top()); // the earlier viewing above the later
    EXPECT_GT(first.bottom(), second.top());
    const int dayWidth = (view->width() - 48) / 7;
    EXPECT_EQ((first.left() - 48) / dayWidth, 1);
    EXPECT_EQ((second.right() - 48) / dayWidth, 1);
    // A double-click on a block opens that viewing; on an empty cell, nothing.
    events.clear();
    QTest::mouseDClick(view, Qt::LeftButton, {}, second.center());
    auto opened = eventsNamed(QStringLiteral("fileedit"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().params.value(1).toInt(), 3);
    EXPECT_EQ(number(site, "CurrentBlock"), 1);
    events.clear();
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(view->width() - 10, view->height() - 10));
    EXPECT_TRUE(eventsNamed(QStringLiteral("fileedit")).empty());
}

TEST_P(ViewingTest, TodaysBookedViewingsComeFirstInTheRemindersWithTimeCustomerAndListing)
{
    viewing(1, 1, 1, "李秀英", day(0), "14:00", 60);
    viewing(2, 2, 2, "李秀英", day(0), "09:30", 45);
    viewing(3, 2, 1, "李秀英", day(1), "10:00", 60);           // tomorrow
    viewing(4, 1, 2, "李秀英", day(0), "16:00", 60, "已取消"); // cancelled
    viewing(5, 1, 2, "王志强", day(0), "11:00", 60);           // another agent's
    const QStringList rows = reminders(QStringLiteral("clerk")).filter(QStringLiteral("今日带看"));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("今日带看|2026-06-30|09:30 带客户 钱进 看房源 FY000002（测试小区）|李秀英"),
                                 QStringLiteral("今日带看|2026-06-30|14:00 带客户 陈明 看房源 FY000001（测试小区）|李秀英")}));
    EXPECT_EQ(reminders(QStringLiteral("clerk")).value(0), rows.value(0));
}

INSTANTIATE_TEST_SUITE_P(Engines, ViewingTest, ::testing::Values("sqlite", "postgres"));

} // namespace
