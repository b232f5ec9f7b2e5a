#include "FunctionHost.h"

#include "platform/SettingsStore.h"
#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/clsToolbarItem.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

namespace {

class QueryTest : public FunctionHost
{
};

TEST_P(QueryTest, ListsFiltersSortsAndRaisesItsEvents)
{
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("edit2"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("RowCount"))).toInt(), 300);
    ASSERT_FALSE(eventsNamed(QStringLiteral("message")).empty());
    EXPECT_TRUE(eventsNamed(QStringLiteral("message")).back().params.at(0).toString().startsWith(QStringLiteral("共 ")));

    auto *view = child<QTableView>(site, QString());
    ASSERT_NE(view, nullptr);
    QAbstractItemModel *shown = view->model();
    // The filter matches any column as the user types.
    auto *filter = site->widget()->findChild<QLineEdit *>();
    filter->setText(QStringLiteral("西湖区"));
    // The filter runs once typing pauses, or at once on Enter.
    QTest::keyClick(filter, Qt::Key_Return);
    const int westLake = scalar(QStringLiteral("select count(*) from fy_house where district='西湖区'")).toInt();
    ASSERT_GT(westLake, 0);
    EXPECT_EQ(shown->rowCount(), westLake);
    EXPECT_EQ(eventsNamed(QStringLiteral("message")).back().params.at(0).toString(), QStringLiteral("共 %1 条记录").arg(westLake));
    // Price sorts as a number; rentals have no sale price and keep together at one end.
    const int priceColumn = 6;
    ASSERT_EQ(shown->headerData(priceColumn, Qt::Horizontal).toString(), QStringLiteral("售价(万元)"));
    view->sortByColumn(priceColumn, Qt::DescendingOrder);
    int firstPriced = -1, blankRuns = 0;
    for (int r = 0; r < shown->rowCount(); ++r) {
        const QVariant v = shown->index(r, priceColumn).data(Qt::EditRole);
        if (!v.isValid()) {
            blankRuns += r == 0 || shown->index(r - 1, priceColumn).data(Qt::EditRole).isValid();
            continue;
        }
        if (firstPriced < 0) {
            firstPriced = r;
        } else if (shown->index(r - 1, priceColumn).data(Qt::EditRole).isValid()) {
            ASSERT_GE(shown->index(r - 1, priceColumn).data(Qt::EditRole).toDouble(), v.toDouble()) << r;
        }
    }
    EXPECT_LE(blankRuns, 1);
    ASSERT_GE(firstPriced, 0);

    // The sum of a selected number column goes out as "message".
    const QModelIndex a = shown->index(firstPriced, priceColumn), b = shown->index(firstPriced + 1, priceColumn);
    ASSERT_TRUE(b.data(Qt::EditRole).isValid());
    view->selectionModel()->select(QItemSelection(a, b), QItemSelectionModel::Select);
    const double top2 = a.data(Qt::EditRole).toDouble() + b.data(Qt::EditRole).toDouble();
    EXPECT_TRUE(eventsNamed(QStringLiteral("message")).back().params.at(0).toString().contains(QStringLiteral("合计 %1").arg(top2)))
        << eventsNamed(QStringLiteral("message")).back().params.at(0).toString().toStdString();

    // Double-click opens the detail program with the record key; the commands raise theirs.
    const int firstKey = scalar(QStringLiteral("select id from fy_house where code='%1'").arg(shown->index(0, 0).data().toString())).toInt();
    events.clear();
    view->setCurrentIndex(shown->index(0, 0));
    emit view->doubleClicked(shown->index(0, 0));
    // The command bar's button runs the command; its tip names the key.
    auto *bar = site->widget()->findChild<qvtoolbar::NavToolbar *>();
    ASSERT_NE(bar, nullptr);
    qvtoolbar::ItemRef newButton = bar->Buttons().Item(QStringLiteral("new"));
    ASSERT_TRUE(newButton);
    EXPECT_EQ(newButton->TooltipText(), QStringLiteral("新增 (Ctrl+N)"));
    emit bar->ItemClick(newButton, 0, 0);
    trigger(site, "edit");
    // Enter on the grid opens the current record as the edit command does.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    trigger(site, "close");
    // Status texts go out as the selection moves; the requests are what counts here.
    std::erase_if(events, [](const RaisedEvent &e) { return e.name == u"message"; });
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].name, QStringLiteral("detaile"));
    EXPECT_EQ(events[0].params, (QVariantList{1001, firstKey}));
    EXPECT_EQ(events[1].name, QStringLiteral("filenew"));
    EXPECT_EQ(events[1].params, QVariantList{1001});
    EXPECT_EQ(events[2].name, QStringLiteral("fileedit"));
    EXPECT_EQ(events[2].params, (QVariantList{1001, firstKey}));
    EXPECT_EQ(events[3].name, QStringLiteral("fileedit"));
    EXPECT_EQ(events[3].params, (QVariantList{1001, firstKey}));
    EXPECT_EQ(events[4].name, QStringLiteral("unload"));
    EXPECT_EQ(events[4].params, QVariantList{true});
    EXPECT_EQ(events[4].control, QStringLiteral("edit2"));
}

TEST_P(QueryTest, ExportsWhatIsShownAsExcelReadableCsv)
{
    // A listing whose text needs quoting and would read as a formula.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set community='=HYPERLINK(\"x\"),南苑' where id=3")));
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
    site->widget()->findChild<QLineEdit *>()->setText(QStringLiteral("FY000003"));
    const QString path = m_registry.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(com::toQVariant(com::call(site->object(), QStringLiteral("ExportCsv"), {com::Variant::fromString(path)})).toBool());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("房源编号,交易类型,区域,小区,")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("FY000003,")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",\"'=HYPERLINK(\"\"x\"\"),南苑\",")));
}

TEST_P(QueryTest, RefusesADefinitionThatNamesAMissingColumnOrProgram)
{
    ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_funccolumn values (1002, 99, 'nosuch', '不存在', 'text', 80, 0, '', '', '', '', '')")));
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"));
    EXPECT_FALSE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
    EXPECT_TRUE(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().contains(QStringLiteral("nosuch")));

    qvcontrols::ControlSite *other = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("edit9"));
    EXPECT_FALSE(start(other, {com::Variant::fromInt32(777), com::Variant::fromString(QStringLiteral("无"))}));
    EXPECT_EQ(com::toQVariant(com::get(other->object(), QStringLiteral("ErrorText"))).toString(), QStringLiteral("程序<777>没有功能定义"));
    // Clear never fails, twice or on a control that did not start.
    EXPECT_NO_THROW(com::call(other->object(), QStringLiteral("Clear")));
    EXPECT_NO_THROW(com::call(other->object(), QStringLiteral("Clear")));
}

TEST_P(QueryTest, EachUsersColumnLayoutIsKeptPerProgramBetweenRuns)
{
    jx::SettingsStore::deleteSetting(QStringLiteral("JxEdit"));
    const auto stored = [](const char *program) {
        return jx::SettingsStore::getSetting(QStringLiteral("JxEdit"), QStringLiteral("grid"), QLatin1String(program));
    };
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("first"));
        ASSERT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
        // The definition's layout is the default and is not stored.
        EXPECT_TRUE(stored("1002").isEmpty());
        QHeaderView *header = child<QTableView>(site, QString())->horizontalHeader();
        EXPECT_EQ(header->sectionSize(3), 120);
        header->resizeSection(3, 222);
        header->moveSection(1, 5);
        container->Remove(QStringLiteral("first"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Kept in the product's settings store, also when the grid went before its pause.
    EXPECT_FALSE(stored("1002").isEmpty());
    qvcontrols::ControlSite *again = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("again"));
    ASSERT_TRUE(start(again, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
    QHeaderView *header = child<QTableView>(again, QString())->horizontalHeader();
    EXPECT_EQ(header->sectionSize(3), 222);
    EXPECT_EQ(header->visualIndex(1), 5);
    // Another program keeps its own.
    qvcontrols::ControlSite *customers = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("customers"));
    ASSERT_TRUE(start(customers, {com::Variant::fromInt32(2002), com::Variant::fromString(QStringLiteral("客户查询"))}));
    QHeaderView *customerHeader = child<QTableView>(customers, QString())->horizontalHeader();
    EXPECT_EQ(customerHeader->visualIndex(1), 1);
    // A column the definition makes narrower than its caption is widened to show it whole.
    for (int c = 0; c < customerHeader->count(); ++c) {
        const QString caption = customerHeader->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_GT(customerHeader->sectionSize(c), customerHeader->fontMetrics().horizontalAdvance(caption)) << caption.toStdString();
    }

    // An arrangement kept the old way, in the program's own settings, is moved over once.
    const QByteArray old = header->saveState();
    container->Remove(QStringLiteral("customers"));
    jx::SettingsStore::deleteSetting(QStringLiteral("JxEdit"));
    QSettings().setValue(QStringLiteral("JxEdit/grid/1002"), old);
    qvcontrols::ControlSite *moved = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("moved"));
    ASSERT_TRUE(start(moved, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
    EXPECT_EQ(child<QTableView>(moved, QString())->horizontalHeader()->sectionSize(3), 222);
    EXPECT_FALSE(QSettings().contains(QStringLiteral("JxEdit/grid/1002")));
    EXPECT_FALSE(stored("1002").isEmpty());
    jx::SettingsStore::deleteSetting(QStringLiteral("JxEdit"));
}

TEST_P(QueryTest, ADefinitionsStatementThatWouldWriteIsRefusedAndNothingIsLost)
{
    const int follows = scalar(QStringLiteral("select count(*) from gj_follow")).toInt();
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_function set listsql='delete from gj_follow' where progid=2007")));
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("q"));
    EXPECT_FALSE(start(site, {com::Variant::fromInt32(2007), com::Variant::fromString(QStringLiteral("跟进查询"))}));
    const QString why = com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    EXPECT_TRUE(why.startsWith(QStringLiteral("程序<2007>（跟进查询）的定义："))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("只能执行查询语句"))) << why.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow")).toInt(), follows);

    // A delete guard that writes refuses the delete instead of running.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_function set deleteguard='delete from gj_follow where houseid=?' where progid=1001")));
    const int house = scalar(QStringLiteral("select min(id) from fy_house h where not exists (select 1 from ht_contract c where c.houseid=h.id)")).toInt();
    qvcontrols::ControlSite *edit = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("e"));
    ASSERT_TRUE(start(edit, {com::Variant::fromInt32(1001), com::Variant::fromDouble(house), com::Variant::fromInt16(2)}));
    EXPECT_FALSE(com::toQVariant(com::call(edit->object(), QStringLiteral("Delete"))).toBool());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow")).toInt(), follows);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house where id=%1").arg(house)).toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, QueryTest, ::testing::Values("sqlite", "postgres"));

} // namespace
