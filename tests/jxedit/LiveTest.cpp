#include "FunctionHost.h"

#include "components/data/ChangeFeed.h"
#include "jxedit/ChangeWatch.h"

#include "platform/MessageBox.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTest>

#include <functional>

// Two workstations on one database: what one saves or deletes reaches the
// other's open lists and forms while it is active, without a refresh.

namespace {

// Runs the event loop until `done` holds or `ms` pass; whether it held.
bool waitFor(const std::function<bool()> &done, int ms = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

class LiveTest : public FunctionHost
{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        second = secondConnection();
        ASSERT_TRUE(otherContext.Attach(second.get(), 0));
        otherUser = std::make_unique<CurrentUser>(&otherContext);
        otherUser->SetUserName(QStringLiteral("admin"));
        ASSERT_TRUE(otherUser->Login(QString()));
        otherContext.Environment().SetUserName(QStringLiteral("admin"));
        // The other workstation's window is the active one: an SQLite file is
        // read for notices only then.
        page.show();
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        ASSERT_EQ(QGuiApplication::applicationState(), Qt::ApplicationActive);
    }
    void TearDown() override
    {
        // The controls, and every widget holding the second connection, go before it.
        container.reset();
        qDeleteAll(page.findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
        otherUser.reset();
        FunctionHost::TearDown();
    }

    static QLineEdit *line(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("field_") + QString::fromLatin1(field));
    }
    static bool call(qvcontrols::ControlSite *site, const char *member)
    {
        return com::toQVariant(com::call(site->object(), QString::fromLatin1(member))).toBool();
    }
    static QString errorText(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    }
    qvcontrols::ControlSite *openRecord(int id, const QString &name, AppContext *ctx = nullptr)
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromDouble(id), com::Variant::fromInt16(2)}, ctx));
        return site;
    }
    // 房源查询 on the other workstation.
    qvcontrols::ControlSite *otherListings()
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("otherq"));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}, &otherContext));
        com::get(site->object(), QStringLiteral("RowCount")); // the count settled
        return site;
    }
    static QTableView *viewOf(qvcontrols::ControlSite *site) { return child<QTableView>(site, QString()); }
    static int columnOf(QAbstractItemModel *m, const QString &caption)
    {
        for (int c = 0; c < m->columnCount(); ++c)
            if (m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == caption)
                return c;
        return -1;
    }
    // The row showing the listing `code`; -1 when none.
    static int rowOfCode(QAbstractItemModel *m, const QString &code)
    {
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 0).data().toString() == code)
                return r;
        return -1;
    }
    static double shownNumber(QAbstractItemModel *m, int row, int column) { return m->index(row, column).data(Qt::EditRole).toDouble(); }
    // A listing for sale that nothing refers to, so it may be deleted.
    int freeListingForSale()
    {
        return scalar(QStringLiteral("select min(id) from fy_house h where dealtype='出售' and not exists (select 1 from ht_contract c where c.houseid=h.id)"
                                     " and not exists (select 1 from dk_viewing v where v.houseid=h.id)"
                                     " and not exists (select 1 from cj_offer o where o.houseid=h.id)"
                                     " and not exists (select 1 from gj_follow f where f.houseid=h.id)"
                                     " and not exists (select 1 from fy_attachment a where a.houseid=h.id)"))
            .toInt();
    }
    QString codeOf(int id) { return scalar(QStringLiteral("select code from fy_house where id=%1").arg(id)).toString(); }

    std::unique_ptr<Database> second;
    AppContext otherContext;
    std::unique_ptr<CurrentUser> otherUser;
};

TEST_P(LiveTest, APriceSavedOnOneWorkstationShowsInTheOtherGridWhereTheUserLeftIt)
{
    qvcontrols::ControlSite *list = otherListings();
    QTableView *view = viewOf(list);
    ASSERT_NE(view, nullptr);
    QAbstractItemModel *m = view->model();
    const int price = columnOf(m, QStringLiteral("售价(万元)"));
    ASSERT_GE(price, 0);
    const int id = freeListingForSale();
    ASSERT_GT(id, 0);
    const int row = rowOfCode(m, codeOf(id));
    ASSERT_GE(row, 0);
    const int rows = m->rowCount();
    // The user stands on another row, further down.
    const QModelIndex current = m->index(std::min(rows - 1, row + 3), 1);
    view->setCurrentIndex(current);
    const double before = shownNumber(m, row, price);

    qvcontrols::ControlSite *form = openRecord(id, QStringLiteral("a"));
    line(form, "price")->setText(QString::number(before + 11));
    ASSERT_TRUE(call(form, "Save")) << errorText(form).toStdString();

    ASSERT_TRUE(waitFor([&] { return shownNumber(m, row, price) == before + 11; })) << shownNumber(m, row, price);
    EXPECT_EQ(m->rowCount(), rows);
    EXPECT_EQ(view->currentIndex(), current);
    EXPECT_EQ(m->index(row, 0).data().toString(), codeOf(id));
    EXPECT_FALSE(m->index(row, 0).data(Qt::FontRole).value<QFont>().strikeOut());
}

TEST_P(LiveTest, ARecordDeletedOnOneWorkstationIsShownGoneInTheOtherGridWithoutMovingRows)
{
    qvcontrols::ControlSite *list = otherListings();
    QAbstractItemModel *m = viewOf(list)->model();
    const int id = freeListingForSale();
    ASSERT_GT(id, 0);
    const QString code = codeOf(id);
    const int row = rowOfCode(m, code);
    ASSERT_GE(row, 0);
    const int rows = m->rowCount();
    const QString below = m->index(row + 1, 0).data().toString();

    qvcontrols::ControlSite *form = openRecord(id, QStringLiteral("a"));
    ASSERT_TRUE(call(form, "Delete")) << errorText(form).toStdString();
    ASSERT_EQ(scalar(QStringLiteral("select count(*) from fy_house where id=%1").arg(id)).toInt(), 0);

    ASSERT_TRUE(waitFor([&] { return m->index(row, 0).data(Qt::FontRole).value<QFont>().strikeOut(); }));
    EXPECT_FALSE(m->index(row, 0).data(Qt::ToolTipRole).toString().isEmpty());
    // The rows stay where they were until the user refreshes.
    EXPECT_EQ(m->rowCount(), rows);
    EXPECT_EQ(m->index(row, 0).data().toString(), code);
    EXPECT_EQ(m->index(row + 1, 0).data().toString(), below);
    EXPECT_FALSE(m->index(row + 1, 0).data(Qt::FontRole).value<QFont>().strikeOut());

    QAction *refresh = child<QAction>(list, QStringLiteral("refresh"));
    ASSERT_NE(refresh, nullptr);
    refresh->trigger();
    com::get(list->object(), QStringLiteral("RowCount"));
    EXPECT_EQ(rowOfCode(m, code), -1);
    EXPECT_EQ(m->rowCount(), rows - 1);
}

TEST_P(LiveTest, AFormBeingEditedGetsTheBarAndKeepsWhatWasTypedWhileAnIdleOneReloads)
{
    const int id = freeListingForSale();
    ASSERT_GT(id, 0);
    qvcontrols::ControlSite *editing = openRecord(id, QStringLiteral("editing"), &otherContext);
    qvcontrols::ControlSite *idle = openRecord(id, QStringLiteral("idle"), &otherContext);
    QFrame *bar = child<QFrame>(editing, QStringLiteral("changedBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isHidden());
    const QString oldPrice = line(editing, "price")->text();
    line(editing, "community")->setText(QStringLiteral("乙正在输入的小区"));

    qvcontrols::ControlSite *saver = openRecord(id, QStringLiteral("saver"));
    line(saver, "price")->setText(QStringLiteral("777"));
    ASSERT_TRUE(call(saver, "Save")) << errorText(saver).toStdString();

    ASSERT_TRUE(waitFor([&] { return !bar->isHidden(); }));
    EXPECT_TRUE(bar->accessibleName().contains(QStringLiteral("已由 admin 修改"))) << bar->accessibleName().toStdString();
    EXPECT_EQ(child<QLabel>(editing, QStringLiteral("changedText"))->text(), bar->accessibleName());
    // Nothing typed is lost, and nothing is written over it.
    EXPECT_EQ(line(editing, "community")->text(), QStringLiteral("乙正在输入的小区"));
    EXPECT_EQ(line(editing, "price")->text(), oldPrice);
    // The form nobody was typing in shows the record as saved now.
    ASSERT_TRUE(waitFor([&] { return line(idle, "price")->text().toDouble() == 777.0; })) << line(idle, "price")->text().toDouble();
    EXPECT_TRUE(child<QFrame>(idle, QStringLiteral("changedBar"))->isHidden());

    {
        // The bar's comparison is the conflict dialog's.
        jx::ScopedMessageBoxRecorder boxes(jx::OK);
        child<QPushButton>(editing, QStringLiteral("compareChanged"))->click();
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.last().title, QStringLiteral("对比"));
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("小区：您的“乙正在输入的小区”"))) << boxes.last().text.toStdString();
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("已保存的“777"))) << boxes.last().text.toStdString();
    }
    EXPECT_EQ(line(editing, "community")->text(), QStringLiteral("乙正在输入的小区"));
    {
        // Saving his anyway still goes through the conflict dialog.
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        ASSERT_TRUE(call(editing, "Save")) << errorText(editing).toStdString();
        EXPECT_EQ(boxes.last().title, QStringLiteral("保存冲突"));
    }
    EXPECT_EQ(scalar(QStringLiteral("select community from fy_house where id=%1").arg(id)).toString(), QStringLiteral("乙正在输入的小区"));
    EXPECT_TRUE(bar->isHidden());
}

TEST_P(LiveTest, AFloodOfSavesArrivesInAFewBatchesAndEveryRecordIsUpToDate)
{
    qvcontrols::ControlSite *list = otherListings();
    QAbstractItemModel *m = viewOf(list)->model();
    const int price = columnOf(m, QStringLiteral("售价(万元)"));
    jxedit::ChangeWatch watch{jxedit::DataLink(second.get())};
    ASSERT_TRUE(watch.isWatching());
    int batches = 0;
    QSet<QString> heard;
    QObject::connect(&watch, &jxedit::ChangeWatch::changed, &watch, [&](const QVector<jxedit::ChangeWatch::Change> &changes) {
        ++batches;
        for (const auto &c : changes)
            if (c.table == u"fy_house")
                heard.insert(c.key.toString());
    });
    // Forty saves in a row through one form, each on the next listing.
    const int first = scalar(QStringLiteral("select min(id) from fy_house")).toInt();
    qvcontrols::ControlSite *form = openRecord(first, QStringLiteral("a"));
    QVector<int> ids;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 40; ++i) {
        const int id = com::toQVariant(com::get(form->object(), QStringLiteral("RecordId"))).toInt();
        ids << id;
        line(form, "price")->setText(QString::number(5000 + id));
        ASSERT_TRUE(call(form, "Save")) << id << errorText(form).toStdString();
        QCoreApplication::processEvents();
        child<QAction>(form, QStringLiteral("next"))->trigger();
    }
    ASSERT_TRUE(waitFor([&] { return heard.size() == int(ids.size()); })) << heard.size();
    QTest::qWait(600); // whatever is still gathered arrives
    const qint64 ms = clock.elapsed();
    // Gathered for a quarter second each time: a few batches, not forty.
    EXPECT_LE(batches, int(ms / 200) + 2) << batches << " batches in " << ms << " ms";
    EXPECT_LT(batches, 20);
    const int rent = columnOf(m, QStringLiteral("租金(元/月)"));
    for (int id : std::as_const(ids)) {
        const int row = rowOfCode(m, codeOf(id));
        ASSERT_GE(row, 0);
        const bool sale = scalar(QStringLiteral("select dealtype from fy_house where id=%1").arg(id)).toString() == u"出售";
        EXPECT_EQ(shownNumber(m, row, sale ? price : rent), 5000 + id) << id;
    }
}

TEST_P(LiveTest, ANoticeOfARecordTheListDoesNotShowRevealsNothing)
{
    qvcontrols::ControlSite *list = otherListings();
    QTableView *view = viewOf(list);
    QAbstractItemModel *m = view->model();
    const int shownId = freeListingForSale();
    const QString shownCode = codeOf(shownId);
    // The other user narrowed his list to one listing.
    QLineEdit *filter = list->widget()->findChild<QLineEdit *>();
    ASSERT_NE(filter, nullptr);
    filter->setText(shownCode);
    com::call(list->object(), QStringLiteral("RowCount"));
    ASSERT_EQ(m->rowCount(), 1);
    const QString before = m->index(0, 0).data().toString();

    jxedit::ChangeWatch watch{jxedit::DataLink(second.get())};
    int batches = 0;
    QObject::connect(&watch, &jxedit::ChangeWatch::changed, &watch, [&] { ++batches; });
    const int hidden = scalar(QStringLiteral("select max(id) from fy_house where dealtype='出售' and id<>%1").arg(shownId)).toInt();
    qvcontrols::ControlSite *form = openRecord(hidden, QStringLiteral("a"));
    line(form, "community")->setText(QStringLiteral("不该被看到的小区"));
    ASSERT_TRUE(call(form, "Save")) << errorText(form).toStdString();

    ASSERT_TRUE(waitFor([&] { return batches > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 0).data().toString(), before);
    for (int c = 0; c < m->columnCount(); ++c)
        EXPECT_NE(m->index(0, c).data().toString(), QStringLiteral("不该被看到的小区"));
    EXPECT_FALSE(m->index(0, 0).data(Qt::FontRole).value<QFont>().strikeOut());
}

TEST_P(LiveTest, AServerConnectionMadeAgainListensAgainAndTheGridCatchesUp)
{
    if (engine() != u"postgres")
        GTEST_SKIP() << "a server connection";
    qvcontrols::ControlSite *list = otherListings();
    QAbstractItemModel *m = viewOf(list)->model();
    const int price = columnOf(m, QStringLiteral("售价(万元)"));
    const int id = freeListingForSale();
    const int row = rowOfCode(m, codeOf(id));
    ASSERT_GE(row, 0);
    // The server drops the other workstation's connection; a save made
    // meanwhile is told to nobody there.
    const QVariant pid = second->Query(QStringLiteral("select pg_backend_pid()")).Value();
    ASSERT_TRUE(t.db->QueryParams(QStringLiteral("select pg_terminate_backend(?)"), {pid}).ok());
    qvcontrols::ControlSite *form = openRecord(id, QStringLiteral("a"));
    line(form, "price")->setText(QStringLiteral("654"));
    ASSERT_TRUE(call(form, "Save")) << errorText(form).toStdString();
    QTest::qWait(400);
    EXPECT_NE(shownNumber(m, row, price), 654.0);

    // A statement of its own connects again (the test's schema set again, as
    // an installation's own schema would be its default); at its next look
    // (activation, or the timer while active) the feed finds its connection
    // new, listens again and the grid reads again what it shows.
    bool again = false;
    for (int i = 0; i < 3 && !again; ++i)
        again = second->Execute(QStringLiteral("SET search_path TO ") + t.schema);
    ASSERT_TRUE(again) << second->LastError().Description().toStdString();
    second->Changes().check();
    ASSERT_TRUE(waitFor([&] { return shownNumber(m, row, price) == 654.0; })) << shownNumber(m, row, price);
    // And it hears the next save as before.
    line(form, "price")->setText(QStringLiteral("655"));
    ASSERT_TRUE(call(form, "Save")) << errorText(form).toStdString();
    ASSERT_TRUE(waitFor([&] { return shownNumber(m, row, price) == 655.0; })) << shownNumber(m, row, price);
}

TEST_P(LiveTest, AFileThatWentIsSaidOnceAndTheGridCatchesUpWhenItIsBack)
{
    if (engine() != u"sqlite")
        GTEST_SKIP() << "a database file";
    qvcontrols::ControlSite *list = otherListings();
    QAbstractItemModel *m = viewOf(list)->model();
    const int price = columnOf(m, QStringLiteral("售价(万元)"));
    const int id = freeListingForSale();
    const int row = rowOfCode(m, codeOf(id));
    ASSERT_GE(row, 0);
    const QString file = t.dir.filePath(QStringLiteral("jx.db")), away = file + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(file, away));
    events.clear();
    second->Changes().check();
    second->Changes().check();
    QTest::qWait(300);
    int said = 0;
    for (const RaisedEvent &e : eventsNamed(QStringLiteral("message")))
        if (e.control == u"otherq" && e.params.value(0).toString().contains(QStringLiteral("与数据库的连接已中断")))
            ++said;
    EXPECT_EQ(said, 1);

    ASSERT_TRUE(QFile::rename(away, file));
    qvcontrols::ControlSite *form = openRecord(id, QStringLiteral("a"));
    line(form, "price")->setText(QStringLiteral("654"));
    ASSERT_TRUE(call(form, "Save")) << errorText(form).toStdString();
    ASSERT_TRUE(waitFor([&] { return shownNumber(m, row, price) == 654.0; })) << shownNumber(m, row, price);
}

INSTANTIATE_TEST_SUITE_P(Engines, LiveTest, ::testing::Values("sqlite", "postgres"));

} // namespace
