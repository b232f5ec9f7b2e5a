// The reminder list of a manager: the team's reminders grouped by agent, his
// own group first and open; an agent still sees only his own.

#include "OwnRowsHost.h"

#include <QTreeView>

namespace {

class TeamRemindersTest : public OwnRowsHost
{
protected:
    void SetUp() override
    {
        OwnRowsHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context.Environment().SetOperationDate(QDate(2026, 6, 30));
        // Three listings left alone since 2026-01-01, one per agent, and a
        // follow-up of 李秀英's due today.
        listing(1, "出售", "西湖区", 350, 100, 3, "有效", "王志强");
        listing(2, "出售", "西湖区", 350, 100, 3, "有效", "李秀英");
        listing(3, "出售", "西湖区", 350, 100, 3, "有效", "张伟");
        customer(1, "陈明", "出售", "", 300, 400, 0, 0, 0, "有效", "李秀英");
        follow(1, 0, 1, "2026-06-20", "2026-06-30", "李秀英");
        customer(2, "钱进", "出售", "", 300, 400, 0, 0, 0, "有效", "王志强");
        follow(2, 0, 2, "2026-06-20", "2026-06-30", "王志强");
    }
    qvcontrols::ControlSite *reminderList(const QString &user)
    {
        signIn(user);
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oalert"), QStringLiteral("alert_") + user);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(0)}));
        return site;
    }
};

TEST_P(TeamRemindersTest, AManagerSeesEveryAgentsRemindersUnderHisOwnGroupFirst)
{
    qvcontrols::ControlSite *site = reminderList(QStringLiteral("admin")); // 王志强, every right
    auto *team = child<QTreeView>(site, QStringLiteral("team"));
    ASSERT_NE(team, nullptr);
    EXPECT_TRUE(team->isVisibleTo(site->widget()));
    EXPECT_FALSE(site->widget()->findChild<QTableView *>()->isVisibleTo(site->widget()));
    QAbstractItemModel *groups = team->model();
    QStringList heads;
    for (int r = 0; r < groups->rowCount(); ++r)
        heads << groups->index(r, 0).data().toString();
    // His own first, the others by the pinyin of their names (li before zhang).
    ASSERT_EQ(heads, (QStringList{QStringLiteral("王志强（本人） — 2 项"), QStringLiteral("李秀英 — 2 项"), QStringLiteral("张伟 — 1 项")}));
    EXPECT_TRUE(team->isExpanded(groups->index(0, 0)));
    EXPECT_FALSE(team->isExpanded(groups->index(1, 0)));
    // A group holds that agent's reminders only.
    const QModelIndex li = groups->index(1, 0);
    QStringList kinds;
    for (int r = 0; r < groups->rowCount(li); ++r)
        kinds << groups->index(r, 0, li).data().toString();
    kinds.sort();
    EXPECT_EQ(kinds, (QStringList{QStringLiteral("房源待跟进"), QStringLiteral("跟进到期")}));
    EXPECT_TRUE(groups->index(0, 2, groups->index(2, 0)).data().toString().contains(QStringLiteral("FY000003")));
    // His own customers' phones in full, the others' masked, as in his own list.
    QStringList texts;
    for (const QModelIndex &group : {groups->index(0, 0), li})
        for (int r = 0; r < groups->rowCount(group); ++r)
            texts << groups->index(r, 2, group).data().toString();
    EXPECT_TRUE(texts.join(u'\n').contains(QStringLiteral("钱进 13905710002"))) << texts.join(u'\n').toStdString();
    EXPECT_TRUE(texts.join(u'\n').contains(QStringLiteral("陈明 139****0001")));

    // A reminder opens its record; a group header opens nothing.
    events.clear();
    emit team->doubleClicked(groups->index(2, 0));
    EXPECT_TRUE(eventsNamed(QStringLiteral("detaile")).empty());
    emit team->doubleClicked(groups->index(0, 2, groups->index(2, 0)));
    ASSERT_EQ(eventsNamed(QStringLiteral("detaile")).size(), 1u);
    EXPECT_EQ(eventsNamed(QStringLiteral("detaile"))[0].params, (QVariantList{1001, 3}));
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("TeamRowCount"))).toInt(), 5);
}

TEST_P(TeamRemindersTest, AManagerWhoIsNoAgentKeepsTheRemindersNamingNoAgentInAGroupOfTheirOwnLast)
{
    // admin is no agent now, and one listing has nobody looking after it.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_agent set username='' where username='admin'")));
    listing(4, "出售", "西湖区", 350, 100, 3);
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set agent=null where id=4")));
    qvcontrols::ControlSite *site = reminderList(QStringLiteral("admin"));
    auto *team = child<QTreeView>(site, QStringLiteral("team"));
    ASSERT_NE(team, nullptr);
    QAbstractItemModel *groups = team->model();
    QStringList heads;
    for (int r = 0; r < groups->rowCount(); ++r)
        heads << groups->index(r, 0).data().toString();
    ASSERT_EQ(heads, (QStringList{QStringLiteral("李秀英 — 2 项"), QStringLiteral("王志强 — 2 项"), QStringLiteral("张伟 — 1 项"),
                                  QStringLiteral("（未指定经纪人） — 1 项")}));
    EXPECT_TRUE(groups->index(0, 2, groups->index(3, 0)).data().toString().contains(QStringLiteral("FY000004")));
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("TeamRowCount"))).toInt(), 6);
}

TEST_P(TeamRemindersTest, AnAgentSeesHisOwnListWithoutTheTeam)
{
    qvcontrols::ControlSite *site = reminderList(QStringLiteral("clerk")); // 李秀英, role agent
    auto *team = child<QTreeView>(site, QStringLiteral("team"));
    EXPECT_TRUE(team == nullptr || !team->isVisibleTo(site->widget()));
    const QStringList rows = gridRows(site->widget()->findChild<QTableView *>(), 4);
    ASSERT_EQ(rows.size(), 2) << rows.join(u'\n').toStdString(); // his listing and his follow-up
    for (const QString &row : rows)
        EXPECT_TRUE(row.endsWith(QStringLiteral("|李秀英"))) << row.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, TeamRemindersTest, ::testing::Values("sqlite", "postgres"));

} // namespace
