#include "FunctionHost.h"

#include "jxedit/SavedSearches.h"
#include "jxedit/SearchCondition.h"

#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTest>

namespace {

class SearchTest : public FunctionHost
{
protected:
    qvcontrols::ControlSite *openList(int program, const QString &name = QStringLiteral("list"))
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(program), com::Variant::fromString(QStringLiteral("列表"))}));
        trigger(site, "search");
        return site;
    }
    static QLineEdit *edit(qvcontrols::ControlSite *site, const QString &name)
    {
        auto *e = child<QLineEdit>(site, name);
        EXPECT_NE(e, nullptr) << name.toStdString();
        return e;
    }
    static void tick(qvcontrols::ControlSite *site, const QString &name, bool on = true)
    {
        auto *box = child<QCheckBox>(site, name);
        ASSERT_NE(box, nullptr) << name.toStdString();
        box->setChecked(on);
    }
    // Enter in a field runs the search, as the user does it.
    static void enter(qvcontrols::ControlSite *site, const QString &field)
    {
        QTest::keyClick(edit(site, field), Qt::Key_Return);
    }
    static int rowCount(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("RowCount"))).toInt();
    }
    static QString message(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("SearchMessage"))).toString();
    }
    static QAbstractItemModel *shown(qvcontrols::ControlSite *site) { return child<QTableView>(site, QString())->model(); }
    int count(const QString &where) { return scalar(QStringLiteral("select count(*) from fy_house where ") + where).toInt(); }
};

TEST_P(SearchTest, RangesChoicesAndTextNarrowTheListTogether)
{
    qvcontrols::ControlSite *site = openList(1002);
    ASSERT_EQ(rowCount(site), 300);
    // Tab runs through the fields, then to the search button.
    QWidget *next = edit(site, QStringLiteral("to:regdate"))->nextInFocusChain();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->objectName(), QStringLiteral("searchRun"));
    // Nothing typed is no condition.
    enter(site, QStringLiteral("from:area"));
    EXPECT_EQ(rowCount(site), 300);

    // Districts come from their table; several chosen are any of them.
    tick(site, QStringLiteral("choice:district:滨江区"));
    tick(site, QStringLiteral("choice:district:西湖区"));
    tick(site, QStringLiteral("choice:dealtype:出售"));
    enter(site, QStringLiteral("from:area"));
    const int both = count(QStringLiteral("district in ('滨江区','西湖区') and dealtype='出售'"));
    ASSERT_GT(both, 0);
    EXPECT_EQ(rowCount(site), both);

    // Bounds are inclusive: a range on one listing's own area keeps it.
    const double area = scalar(QStringLiteral("select area from fy_house where district='滨江区' and dealtype='出售' order by id")).toDouble();
    edit(site, QStringLiteral("from:area"))->setText(QString::number(area));
    edit(site, QStringLiteral("to:area"))->setText(QString::number(area) + QStringLiteral("㎡"));
    enter(site, QStringLiteral("to:area"));
    const int exact = count(QStringLiteral("district in ('滨江区','西湖区') and dealtype='出售' and area=%1").arg(area));
    ASSERT_GT(exact, 0);
    EXPECT_EQ(rowCount(site), exact);
    EXPECT_TRUE(message(site).isEmpty()) << message(site).toStdString();

    // One side only, typed with a thousands separator.
    edit(site, QStringLiteral("from:area"))->clear();
    edit(site, QStringLiteral("to:area"))->setText(QStringLiteral("1,00"));
    enter(site, QStringLiteral("to:area"));
    EXPECT_EQ(rowCount(site), count(QStringLiteral("district in ('滨江区','西湖区') and dealtype='出售' and area<=100")));
    edit(site, QStringLiteral("to:area"))->clear();
    edit(site, QStringLiteral("from:rooms"))->setText(QStringLiteral("3"));
    enter(site, QStringLiteral("from:rooms"));
    EXPECT_EQ(rowCount(site), count(QStringLiteral("district in ('滨江区','西湖区') and dealtype='出售' and rooms>=3")));

    // Dates: a range of registration days, inclusive at both ends.
    const QString day = scalar(QStringLiteral("select min(regdate) from fy_house where dealtype='出售'")).toString();
    edit(site, QStringLiteral("from:rooms"))->clear();
    tick(site, QStringLiteral("choice:district:滨江区"), false);
    tick(site, QStringLiteral("choice:district:西湖区"), false);
    edit(site, QStringLiteral("from:regdate"))->setText(day);
    edit(site, QStringLiteral("to:regdate"))->setText(day);
    enter(site, QStringLiteral("to:regdate"));
    EXPECT_EQ(rowCount(site), count(QStringLiteral("dealtype='出售' and regdate='%1'").arg(day)));
    EXPECT_GT(rowCount(site), 0);

    // The list keeps the definition's order (by id, so by code) under a condition.
    QAbstractItemModel *m = shown(site);
    edit(site, QStringLiteral("from:regdate"))->clear();
    edit(site, QStringLiteral("to:regdate"))->clear();
    enter(site, QStringLiteral("to:regdate"));
    ASSERT_GT(m->rowCount(), 2);
    for (int r = 1; r < m->rowCount(); ++r)
        ASSERT_LT(m->index(r - 1, 0).data().toString(), m->index(r, 0).data().toString()) << r;
}

TEST_P(SearchTest, TextIsMatchedAsTypedWithQuotesAndWildcardsTakenLiterally)
{
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set community='O''Neil 50%_苑' where id=7")));
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set community='O''Neil 50x苑' where id=8")));
    qvcontrols::ControlSite *site = openList(1002);
    edit(site, QStringLiteral("text:community"))->setText(QStringLiteral("o'neil"));
    enter(site, QStringLiteral("text:community"));
    EXPECT_EQ(rowCount(site), 2);
    // '%' and '_' are characters here, not wildcards.
    edit(site, QStringLiteral("text:community"))->setText(QStringLiteral("50%_"));
    enter(site, QStringLiteral("text:community"));
    ASSERT_EQ(rowCount(site), 1);
    EXPECT_EQ(shown(site)->index(0, 0).data().toString(), QStringLiteral("FY000007"));
    edit(site, QStringLiteral("text:community"))->setText(QStringLiteral("'; delete from fy_house; --"));
    enter(site, QStringLiteral("text:community"));
    EXPECT_EQ(rowCount(site), 0);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house")).toInt(), 300);
}

TEST_P(SearchTest, ValuesThatCannotBeReadAreRefusedNamingTheFieldAndKeepTheList)
{
    qvcontrols::ControlSite *site = openList(1002);
    tick(site, QStringLiteral("choice:dealtype:出租"));
    enter(site, QStringLiteral("from:area"));
    const int rents = count(QStringLiteral("dealtype='出租'"));
    ASSERT_EQ(rowCount(site), rents);

    edit(site, QStringLiteral("from:area"))->setText(QStringLiteral("120"));
    edit(site, QStringLiteral("to:area"))->setText(QStringLiteral("80"));
    enter(site, QStringLiteral("to:area"));
    EXPECT_EQ(message(site), QStringLiteral("“面积(㎡)”的范围颠倒了：起始 120 大于截止 80，请改正后再查找"));
    // The list is the one before, and what was typed stays for correcting.
    EXPECT_EQ(rowCount(site), rents);
    EXPECT_EQ(edit(site, QStringLiteral("from:area"))->text(), QStringLiteral("120"));

    edit(site, QStringLiteral("to:area"))->setText(QStringLiteral("很大"));
    enter(site, QStringLiteral("to:area"));
    EXPECT_EQ(message(site), QStringLiteral("“面积(㎡)”的截止值“很大”不是数字"));
    edit(site, QStringLiteral("to:area"))->clear();
    edit(site, QStringLiteral("from:regdate"))->setText(QStringLiteral("2026-02-30"));
    enter(site, QStringLiteral("from:regdate"));
    EXPECT_TRUE(message(site).startsWith(QStringLiteral("“登记日期”的起始日期“2026-02-30”不是有效的日期"))) << message(site).toStdString();
    EXPECT_EQ(rowCount(site), rents);
}

TEST_P(SearchTest, AListOrderedByJoinedColumnsKeepsItsOrderUnderACondition)
{
    // 合同查询 orders by c.signdate desc, c.id desc over a join.
    qvcontrols::ControlSite *site = openList(3005);
    const int all = rowCount(site);
    ASSERT_GT(all, 3);
    edit(site, QStringLiteral("text:dealtype"))->setText(QStringLiteral("出售"));
    enter(site, QStringLiteral("text:dealtype"));
    const int sales = scalar(QStringLiteral("select count(*) from ht_contract where dealtype='出售'")).toInt();
    ASSERT_EQ(rowCount(site), sales);
    QAbstractItemModel *m = shown(site);
    const int signdate = 6;
    ASSERT_EQ(m->headerData(signdate, Qt::Horizontal).toString(), QStringLiteral("签约日期"));
    for (int r = 1; r < m->rowCount(); ++r)
        ASSERT_GE(m->index(r - 1, signdate).data().toString(), m->index(r, signdate).data().toString()) << r;
}

TEST_P(SearchTest, AnOrderByAnExpressionStaysInsideAndBothEnginesKeepIt)
{
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_function set listsql='select id,code,dealtype,district,community,rooms,area,"
                                             "price as saleprice,price as rentprice,agent,status,regdate from fy_house"
                                             " order by rooms*100000+id desc' where progid=1002")));
    qvcontrols::ControlSite *site = openList(1002);
    tick(site, QStringLiteral("choice:dealtype:出售"));
    enter(site, QStringLiteral("from:area"));
    ASSERT_EQ(rowCount(site), count(QStringLiteral("dealtype='出售'")));
    QAbstractItemModel *m = shown(site);
    const int rooms = 4;
    ASSERT_EQ(m->headerData(rooms, Qt::Horizontal).toString(), QStringLiteral("房间数"));
    for (int r = 1; r < m->rowCount(); ++r) {
        const int before = m->index(r - 1, rooms).data(Qt::EditRole).toInt(), now = m->index(r, rooms).data(Qt::EditRole).toInt();
        ASSERT_GE(before, now) << r;
        if (before == now) {
            ASSERT_GT(m->index(r - 1, 0).data().toString(), m->index(r, 0).data().toString()) << r;
        }
    }
}

TEST_P(SearchTest, StartedAgainTheListHasOneSetOfFieldsAndNoCondition)
{
    qvcontrols::ControlSite *site = openList(1002);
    tick(site, QStringLiteral("choice:dealtype:出租"));
    enter(site, QStringLiteral("from:area"));
    ASSERT_LT(rowCount(site), 300);
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("列表"))}));
    EXPECT_EQ(site->widget()->findChildren<QLineEdit *>(QStringLiteral("from:area")).size(), 1);
    EXPECT_EQ(rowCount(site), 300);
}

TEST_P(SearchTest, ManyChoicesAreACheckList)
{
    // Beyond eight districts the boxes become a list checked with the space bar.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into fy_district (id, code, name) values (9, '09', '富阳区')")));
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set district='富阳区' where id in (4, 5)")));
    qvcontrols::ControlSite *site = openList(1002);
    auto *list = child<QListWidget>(site, QStringLiteral("choice:district"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 9);
    EXPECT_EQ(list->accessibleName(), QStringLiteral("区域"));
    const QList<QListWidgetItem *> found = list->findItems(QStringLiteral("富阳区"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found.first());
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(found.first()->checkState(), Qt::Checked);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(rowCount(site), 2);
}

TEST_P(SearchTest, ASearchIsKeptPerUserAndProgramAndChosenAgain)
{
    const auto call = [](qvcontrols::ControlSite *site, const char *member, const QString &name) {
        return com::toQVariant(com::call(site->object(), QString::fromLatin1(member), {com::Variant::fromString(name)})).toBool();
    };
    const auto saved = [](qvcontrols::ControlSite *site) {
        return com::toQVariant(com::get(site->object(), QStringLiteral("SavedSearches"))).toString();
    };
    const auto stored = [this] {
        return scalar(QStringLiteral("select conditions from jx_savedsearch where username='admin' and progid=1002 and name='滨江出售'")).toString();
    };
    // Another user's search and another program's are not offered here.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_savedsearch values ('clerk', 1002, '别人的', '[]', '')")));
    ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_savedsearch values ('admin', 2002, '客户的', '[]', '')")));
    jx::ScopedMessageBoxRecorder boxes(jx::No);

    qvcontrols::ControlSite *site = openList(1002);
    EXPECT_EQ(saved(site), QString());
    EXPECT_FALSE(call(site, "SaveSearch", QStringLiteral("空的")));
    EXPECT_EQ(message(site), QStringLiteral("没有填写查找条件，无需保存"));
    tick(site, QStringLiteral("choice:dealtype:出售"));
    tick(site, QStringLiteral("choice:district:滨江区"));
    edit(site, QStringLiteral("from:area"))->setText(QStringLiteral("80"));
    EXPECT_FALSE(call(site, "SaveSearch", QStringLiteral("   ")));
    EXPECT_EQ(message(site), QStringLiteral("请输入查找条件的名称"));
    ASSERT_TRUE(call(site, "SaveSearch", QStringLiteral(" 滨江出售 "))) << message(site).toStdString();
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_EQ(saved(site), QStringLiteral("滨江出售"));
    const QString first = stored();
    EXPECT_TRUE(first.contains(QStringLiteral("滨江区"))) << first.toStdString();

    // The same name again asks; "no" keeps what was kept.
    edit(site, QStringLiteral("from:area"))->setText(QStringLiteral("100"));
    EXPECT_FALSE(call(site, "SaveSearch", QStringLiteral("滨江出售")));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("已有名为“滨江出售”的查找条件"))) << boxes.last().text.toStdString();
    EXPECT_EQ(stored(), first);
    boxes.setAnswer(jx::Yes);
    EXPECT_TRUE(call(site, "SaveSearch", QStringLiteral("滨江出售")));
    EXPECT_NE(stored(), first);
    container->Remove(QStringLiteral("list"));

    // Opened again: the kept search fills the panel and runs.
    qvcontrols::ControlSite *again = openList(1002, QStringLiteral("again"));
    EXPECT_EQ(rowCount(again), 300);
    EXPECT_EQ(saved(again), QStringLiteral("滨江出售"));
    ASSERT_TRUE(call(again, "ChooseSearch", QStringLiteral("滨江出售"))) << message(again).toStdString();
    const int expected = count(QStringLiteral("dealtype='出售' and district='滨江区' and area>=100"));
    ASSERT_GT(expected, 0);
    EXPECT_EQ(rowCount(again), expected);
    EXPECT_EQ(edit(again, QStringLiteral("from:area"))->text(), QStringLiteral("100"));
    EXPECT_TRUE(child<QCheckBox>(again, QStringLiteral("choice:district:滨江区"))->isChecked());
    EXPECT_FALSE(child<QCheckBox>(again, QStringLiteral("choice:dealtype:出租"))->isChecked());

    // Collapsed with Escape, the list says which rows it shows; opened again, the panel says it.
    QTest::keyClick(edit(again, QStringLiteral("from:area")), Qt::Key_Escape);
    QWidget *panel = child<QWidget>(again, QStringLiteral("searchPanel"));
    QLabel *summary = child<QLabel>(again, QStringLiteral("searchSummary"));
    ASSERT_TRUE(panel && summary);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_FALSE(summary->isHidden());
    EXPECT_EQ(summary->text(), QStringLiteral("查找条件：交易类型：出售；区域：滨江区；面积(㎡)：不低于 100（Ctrl+Shift+F 展开）"));
    trigger(again, "search");
    EXPECT_FALSE(panel->isHidden());
    EXPECT_TRUE(summary->isHidden());

    // Deleting asks too.
    boxes.setAnswer(jx::No);
    EXPECT_FALSE(call(again, "DeleteSearch", QStringLiteral("滨江出售")));
    EXPECT_EQ(saved(again), QStringLiteral("滨江出售"));
    boxes.setAnswer(jx::Yes);
    EXPECT_TRUE(call(again, "DeleteSearch", QStringLiteral("滨江出售")));
    EXPECT_EQ(saved(again), QString());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_savedsearch")).toInt(), 2);
    EXPECT_FALSE(call(again, "ChooseSearch", QStringLiteral("滨江出售")));
    EXPECT_EQ(message(again), QStringLiteral("没有名为“滨江出售”的查找条件，可能已被删除"));
}

TEST_P(SearchTest, AKeptSearchWhoseColumnWentRunsWhatStillFitsAndSaysWhatWasDropped)
{
    const QString community = scalar(QStringLiteral("select community from fy_house where dealtype='出租' order by id")).toString();
    qvcontrols::ControlSite *site = openList(1002);
    tick(site, QStringLiteral("choice:dealtype:出租"));
    edit(site, QStringLiteral("from:area"))->setText(QStringLiteral("50"));
    edit(site, QStringLiteral("text:community"))->setText(community);
    ASSERT_TRUE(com::toQVariant(com::call(site->object(), QStringLiteral("SaveSearch"), {com::Variant::fromString(QStringLiteral("租房"))})).toBool());
    container->Remove(QStringLiteral("list"));

    ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from jx_funccolumn where progid=1002 and field='area'")));
    qvcontrols::ControlSite *again = openList(1002, QStringLiteral("again"));
    ASSERT_TRUE(com::toQVariant(com::call(again->object(), QStringLiteral("ChooseSearch"), {com::Variant::fromString(QStringLiteral("租房"))})).toBool());
    EXPECT_EQ(message(again), QStringLiteral("查找条件“租房”中的“面积(㎡)”已不在列表中，这些条件未使用"));
    const int expected = count(QStringLiteral("dealtype='出租' and community like '%%1%'").arg(community));
    ASSERT_GT(expected, 0);
    EXPECT_EQ(rowCount(again), expected);

    // Text that cannot be read is refused and leaves the list as it is.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_savedsearch set conditions='{\"oops' where name='租房'")));
    EXPECT_FALSE(com::toQVariant(com::call(again->object(), QStringLiteral("ChooseSearch"), {com::Variant::fromString(QStringLiteral("租房"))})).toBool());
    EXPECT_EQ(message(again), QStringLiteral("“租房”：保存的查找条件无法读取，可能已损坏"));
    EXPECT_EQ(rowCount(again), expected);
}

TEST_P(SearchTest, SalePricesAndRentsAreColumnsOfTheirOwnAndSortLikeWithLike)
{
    for (const int program : {1002, 3005}) {
        qvcontrols::ControlSite *site = openList(program, QStringLiteral("list%1").arg(program));
        QTableView *view = child<QTableView>(site, QString());
        QAbstractItemModel *m = view->model();
        int sale = -1, rent = -1, deal = -1;
        for (int c = 0; c < m->columnCount(); ++c) {
            const QString caption = m->headerData(c, Qt::Horizontal).toString();
            if (caption.contains(QStringLiteral("(万元)")))
                sale = c;
            else if (caption.contains(QStringLiteral("(元/月)")))
                rent = c;
            else if (caption == u"交易类型")
                deal = c;
        }
        ASSERT_GE(sale, 0) << program;
        ASSERT_GE(rent, 0) << program;
        ASSERT_GE(deal, 0) << program;
        for (const auto &[column, kind] : {std::pair{sale, QStringLiteral("出售")}, std::pair{rent, QStringLiteral("出租")}}) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                view->sortByColumn(column, order);
                // The grid shows its first rows at once and counts the rest right after.
                QCoreApplication::processEvents();
                // Each price is of its own deal type, in order; the others' cells are empty and kept together.
                int priced = 0, runs = 0;
                for (int r = 0; r < m->rowCount(); ++r) {
                    const QVariant v = m->index(r, column).data(Qt::EditRole);
                    const bool before = r > 0 && m->index(r - 1, column).data(Qt::EditRole).isValid();
                    if (!v.isValid()) {
                        ASSERT_NE(m->index(r, deal).data().toString(), kind) << program << " row " << r;
                        EXPECT_EQ(m->index(r, column).data().toString(), QString());
                        continue;
                    }
                    ASSERT_EQ(m->index(r, deal).data().toString(), kind) << program << " row " << r;
                    ++priced;
                    runs += !before;
                    if (before) {
                        const double prev = m->index(r - 1, column).data(Qt::EditRole).toDouble();
                        if (order == Qt::AscendingOrder) {
                            ASSERT_LE(prev, v.toDouble()) << program << " row " << r;
                        } else {
                            ASSERT_GE(prev, v.toDouble()) << program << " row " << r;
                        }
                    }
                }
                EXPECT_GT(priced, 0) << program;
                EXPECT_EQ(runs, 1) << program;
            }
        }
    }

    // A range on the sale price with district and deal type: the rows an agent asks for.
    qvcontrols::ControlSite *site = openList(1002);
    tick(site, QStringLiteral("choice:district:滨江区"));
    tick(site, QStringLiteral("choice:dealtype:出售"));
    edit(site, QStringLiteral("from:saleprice"))->setText(QStringLiteral("200"));
    edit(site, QStringLiteral("to:saleprice"))->setText(QStringLiteral("400万"));
    enter(site, QStringLiteral("to:saleprice"));
    const int expected = count(QStringLiteral("district='滨江区' and dealtype='出售' and price>=200 and price<=400"));
    ASSERT_GT(expected, 0);
    EXPECT_EQ(rowCount(site), expected);
    // Rents are not sale prices: a rent range alone finds only rentals.
    tick(site, QStringLiteral("choice:dealtype:出售"), false);
    edit(site, QStringLiteral("from:saleprice"))->clear();
    edit(site, QStringLiteral("to:saleprice"))->clear();
    edit(site, QStringLiteral("to:rentprice"))->setText(QStringLiteral("3,000"));
    enter(site, QStringLiteral("to:rentprice"));
    EXPECT_EQ(rowCount(site), count(QStringLiteral("district='滨江区' and dealtype='出租' and price<=3000")));
}

TEST(SearchConditionWrap, MovesAClosingOrderOfPlainColumnsOutsideAndLeavesTheRest)
{
    const QStringList known{QStringLiteral("id"), QStringLiteral("signdate"), QStringLiteral("agent")};
    EXPECT_EQ(jxedit::SearchCondition::wrap(QStringLiteral("select c.id,c.signdate from ht_contract c order by c.signdate DESC, c.id;"),
                                            QStringLiteral("q.id>?"), known),
              QStringLiteral("select * from (select c.id,c.signdate from ht_contract c) q where q.id>? order by q.signdate desc,q.id"));
    // An expression, a column the list does not give, a limit, or an ORDER BY
    // inside a subquery or a text: the statement stays whole.
    for (const char *sql : {"select agent from t group by agent order by sum(x) desc", "select id from t order by regdate",
                            "select id from t order by id limit 5", "select id,(select max(y) from u order by y) from t",
                            "select id from t where memo<>'order by id'"})
        EXPECT_EQ(jxedit::SearchCondition::wrap(QString::fromUtf8(sql), QStringLiteral("q.id>?"), known),
                  QStringLiteral("select * from (%1) q where q.id>?").arg(QString::fromUtf8(sql)));
}

INSTANTIATE_TEST_SUITE_P(Engines, SearchTest, ::testing::Values("sqlite", "postgres"));

TEST(SavedSearchName, IsTrimmedAndRefusedWhenEmptyOrTooLong)
{
    const auto trimmed = jxedit::SavedSearches::checkName(QStringLiteral("  两房 西湖  "));
    ASSERT_TRUE(trimmed) << trimmed.error().toStdString();
    EXPECT_EQ(*trimmed, QStringLiteral("两房 西湖"));

    const auto blank = jxedit::SavedSearches::checkName(QStringLiteral("   "));
    EXPECT_FALSE(blank);
    EXPECT_EQ(blank.error(), QStringLiteral("请输入查找条件的名称"));

    const auto longest = jxedit::SavedSearches::checkName(QString(jxedit::SavedSearches::kNameLength, u'名'));
    EXPECT_TRUE(longest);
    const auto tooLong = jxedit::SavedSearches::checkName(QString(jxedit::SavedSearches::kNameLength + 1, u'名'));
    EXPECT_FALSE(tooLong);
    EXPECT_EQ(tooLong.error(), QStringLiteral("查找条件的名称不能超过 50 个字"));
}

TEST(SavedSearchName, ALinkWithoutADatabaseFailsEveryStepWithTheReason)
{
    // Every step of a saved search fails on the way to the database, and says so in the user's words.
    const jxedit::SavedSearches saved(jxedit::DataLink(), QStringLiteral("admin"), 1);
    const auto names = saved.names();
    EXPECT_FALSE(names);
    EXPECT_EQ(names.error(), QStringLiteral("读取已存的查找条件出错：数据库没有连接"));
    const auto kept = saved.save(QStringLiteral(" 两房 "), QStringLiteral("x"));
    EXPECT_FALSE(kept);
    EXPECT_EQ(kept.error(), QStringLiteral("保存查找条件失败：数据库没有连接"));
    const auto refused = saved.save(QStringLiteral(" "), QStringLiteral("x"));
    EXPECT_EQ(refused.error(), QStringLiteral("请输入查找条件的名称")) << "the name is checked before the database is asked";
    const auto loaded = saved.load(QStringLiteral("两房"));
    EXPECT_EQ(loaded.error(), QStringLiteral("读取查找条件出错：数据库没有连接"));
    EXPECT_EQ(saved.exists(QStringLiteral("两房")).error(), QStringLiteral("读取已存的查找条件出错：数据库没有连接"));
    EXPECT_EQ(saved.remove(QStringLiteral("两房")).error(), QStringLiteral("删除查找条件失败：数据库没有连接"));
}

} // namespace
