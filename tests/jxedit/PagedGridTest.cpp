#include "FunctionHost.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <functional>

// The listing query over a few thousand listings: the grid reads blocks of
// rows from the database as they are shown, sorts and filters there; what it
// shows is checked against what the database itself says.

namespace {

constexpr int kListings = 5000;
constexpr int kCode = 0, kDealType = 1, kDistrict = 2, kSalePrice = 6, kStatus = 9;
// The grid's 售价 column: a listing's price where it is for sale, empty for a rental.
const char *const kSalePriceSql = "case when dealtype='出售' then price end";

class PagedGridTest : public FunctionHost
{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const auto added = FunctionDemo::addListings(*t.db, 301, kListings - 300);
        ASSERT_TRUE(added) << added.error().toStdString();
        // Listings without a district: nulls sort first on one engine and last on the other.
        ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set district=null where id % 97 = 0")));
    }

    qvcontrols::ControlSite *openListings(const QString &name = QStringLiteral("q"))
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
        return site;
    }
    static QTableView *viewOf(qvcontrols::ControlSite *site) { return child<QTableView>(site, QString()); }
    static int rowCount(qvcontrols::ControlSite *site) { return com::toQVariant(com::get(site->object(), QStringLiteral("RowCount"))).toInt(); }
    static QString errorText(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    }

    QStringList codes(const QString &sql)
    {
        QStringList out;
        Recordset rs = t.db->Query(sql).Recordset();
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.Field(0).toString();
        return out;
    }
    // Codes as the grid shows them, visiting the rows in the order given.
    static QStringList shownCodes(QAbstractItemModel *m, const std::vector<int> &visit)
    {
        QStringList out(m->rowCount());
        for (int r : visit)
            out[r] = m->index(r, kCode).data().toString();
        return out;
    }
    static std::vector<int> forward(int n)
    {
        std::vector<int> v(n);
        for (int i = 0; i < n; ++i)
            v[i] = i;
        return v;
    }
    // The end first (Ctrl+End), then a jump into the middle, then every row back to the start.
    static std::vector<int> fromTheEnd(int n)
    {
        std::vector<int> v{n - 1, n / 2};
        for (int i = n - 1; i >= 0; --i)
            v.push_back(i);
        return v;
    }
    static void waitFor(const std::function<bool()> &done)
    {
        for (int i = 0; i < 250 && !done(); ++i)
            QTest::qWait(20);
    }
};

TEST_P(PagedGridTest, SortsInTheDatabaseBothWaysWithTiesAndNullsWhereverTheUserScrolls)
{
    qvcontrols::ControlSite *site = openListings();
    ASSERT_EQ(rowCount(site), kListings);
    QTableView *view = viewOf(site);
    QAbstractItemModel *shown = view->model();
    EXPECT_EQ(shownCodes(shown, forward(kListings)), codes(QStringLiteral("select code from fy_house order by id")));

    // The sale price has ties and an empty value for every rental, district
    // nulls and long runs of ties, status no index at all.
    const std::pair<int, const char *> sorts[] = {{kSalePrice, kSalePriceSql}, {kDistrict, "district"}, {kStatus, "status"}};
    for (const auto &[column, field] : sorts) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            const QString dir = order == Qt::DescendingOrder ? QStringLiteral(" desc") : QString();
            view->sortByColumn(column, order);
            ASSERT_EQ(shown->rowCount(), kListings);
            const QStringList expected = codes(QStringLiteral("select code from fy_house order by %1%2, id%2").arg(QString::fromUtf8(field), dir));
            EXPECT_EQ(shownCodes(shown, fromTheEnd(kListings)), expected) << field << dir.toStdString() << errorText(site).toStdString();
            view->sortByColumn(column, order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
            view->sortByColumn(column, order);
            EXPECT_EQ(shownCodes(shown, forward(kListings)), expected) << field << dir.toStdString();
        }
    }
    // Ctrl+End in the view lands on the last listing of the order.
    view->sortByColumn(kSalePrice, Qt::AscendingOrder);
    view->setFocus();
    view->setCurrentIndex(shown->index(0, 0));
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view->currentIndex().row(), kListings - 1);
    EXPECT_EQ(shown->index(view->currentIndex().row(), kCode).data().toString(), codes(QStringLiteral("select code from fy_house order by %1 desc, id desc").arg(QString::fromUtf8(kSalePriceSql))).first());
}

TEST_P(PagedGridTest, FiltersBySeveralWordsAndSumsAndExportsTheFilteredSet)
{
    qvcontrols::ControlSite *site = openListings();
    QTableView *view = viewOf(site);
    QAbstractItemModel *shown = view->model();
    // What the user means by "滨江区 出售": each word in one of the shown columns.
    QStringList expected;
    double expectedSum = 0;
    Recordset rs = t.db->Query(QStringLiteral("select code,dealtype,district,community,agent,status,price from fy_house order by %1 desc, id desc")
                                        .arg(QString::fromUtf8(kSalePriceSql))).Recordset();
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList texts;
        for (int i = 0; i < 6; ++i)
            texts << rs.Field(i).toString();
        const QString row = texts.join(u'|');
        if (row.contains(QStringLiteral("滨江区")) && row.contains(QStringLiteral("出售"))) {
            expected << texts.first();
            expectedSum += rs.Field(6).toDouble();
        }
    }
    ASSERT_GT(expected.size(), 200); // more than a block
    ASSERT_LT(expected.size(), kListings / 4);

    view->sortByColumn(kSalePrice, Qt::DescendingOrder);
    auto *filter = site->widget()->findChild<QLineEdit *>();
    // Typed letter by letter (a full-width blank among them): the grid waits for a pause, then asks once.
    for (const QChar c : QStringLiteral("滨江区　 出售"))
        filter->insert(QString(c));
    const auto lastMessage = [this] { return eventsNamed(QStringLiteral("message")).back().params.at(0).toString(); };
    waitFor([&] { return lastMessage() == QStringLiteral("共 %1 条记录").arg(expected.size()); });
    EXPECT_EQ(lastMessage(), QStringLiteral("共 %1 条记录").arg(expected.size()));
    ASSERT_EQ(shown->rowCount(), expected.size()) << errorText(site).toStdString();
    EXPECT_EQ(shownCodes(shown, fromTheEnd(int(expected.size()))), expected);

    // The sum of the selected prices of every filtered row.
    const auto selectPrices = [&](int first, int last) {
        view->selectionModel()->select(QItemSelection(shown->index(first, kSalePrice), shown->index(last, kSalePrice)),
                                       QItemSelectionModel::ClearAndSelect);
        return lastMessage();
    };
    QString sumText = selectPrices(0, int(expected.size()) - 1);
    EXPECT_TRUE(sumText.contains(QStringLiteral("选中 %1 项，“售价(万元)”合计 %2").arg(expected.size()).arg(expectedSum, 0, 'f', 0)))
        << sumText.toStdString();

    // The export holds every filtered row in the shown order, not just those the view read.
    const QString path = m_registry.filePath(QStringLiteral("filtered.csv"));
    ASSERT_TRUE(com::toQVariant(com::call(site->object(), QStringLiteral("ExportCsv"), {com::Variant::fromString(path)})).toBool());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll().mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), expected.size() + 1);
    for (qsizetype i = 0; i < expected.size(); ++i)
        ASSERT_EQ(lines.at(i + 1).section(u',', 0, 0), expected.at(i)) << i;

    // The user's % and _ are letters, not patterns; a word found nowhere leaves nothing.
    filter->setText(QStringLiteral("滨江区 _"));
    EXPECT_EQ(rowCount(site), 0);
    EXPECT_EQ(lastMessage(), QStringLiteral("共 0 条记录"));
    filter->setText(QStringLiteral("%"));
    EXPECT_EQ(rowCount(site), 0);
    filter->clear();
    EXPECT_EQ(rowCount(site), kListings);

    // Thousands of selected rows are summed by the database, over all or a stretch of them.
    const QStringList byPrice = codes(QStringLiteral("select coalesce(%1, 0) from fy_house order by %1 desc, id desc").arg(QString::fromUtf8(kSalePriceSql)));
    const auto sumOf = [&](int first, int last) {
        double s = 0;
        for (int i = first; i <= last; ++i)
            s += byPrice.at(i).toDouble();
        return QStringLiteral("选中 %1 项，“售价(万元)”合计 %2").arg(last - first + 1).arg(s, 0, 'f', 0);
    };
    sumText = selectPrices(0, kListings - 1);
    EXPECT_TRUE(sumText.contains(sumOf(0, kListings - 1))) << sumText.toStdString();
    sumText = selectPrices(10, kListings - 11);
    EXPECT_TRUE(sumText.contains(sumOf(10, kListings - 11))) << sumText.toStdString();
}

TEST_P(PagedGridTest, RowsAddedOrRemovedElsewhereNeverShowStaleRowsAndRefreshShowsTheTruth)
{
    qvcontrols::ControlSite *site = openListings();
    QAbstractItemModel *shown = viewOf(site)->model();
    ASSERT_EQ(rowCount(site), kListings);
    ASSERT_EQ(shown->index(0, kCode).data().toString(), QStringLiteral("FY000001"));

    // Another workstation removes all but the first 300 while this grid shows 5,000.
    std::unique_ptr<Database> other = secondConnection();
    ASSERT_TRUE(other->Execute(QStringLiteral("delete from fy_house where id > 300")));
    const int left = scalar(QStringLiteral("select count(*) from fy_house")).toInt();
    ASSERT_EQ(left, 300);
    // Scrolling on reaches a block that comes back short: the grid counts again.
    for (int r = 0; r < shown->rowCount() && r < kListings; ++r)
        shown->index(r, kCode).data();
    waitFor([&] { return shown->rowCount() == left; });
    ASSERT_EQ(shown->rowCount(), left);
    const QStringList remaining = codes(QStringLiteral("select code from fy_house order by id"));
    EXPECT_EQ(shownCodes(shown, forward(left)), remaining);
    EXPECT_FALSE(shown->index(left, kCode).isValid());

    // Listings added elsewhere appear on 刷新, in their place.
    ASSERT_TRUE(other->Execute(QStringLiteral("insert into fy_house (id,code,dealtype,district,community,price,area,regdate)"
                                              " values (9001,'FY009001','出售','滨江区','新增小区',1,50,'2026-01-01')")));
    trigger(site, "refresh");
    EXPECT_EQ(rowCount(site), left + 1);
    EXPECT_EQ(shown->index(left, kCode).data().toString(), QStringLiteral("FY009001"));
    EXPECT_TRUE(errorText(site).isEmpty()) << errorText(site).toStdString();
}

TEST_P(PagedGridTest, ALostDatabaseIsReportedInTheErrorLineAndRefreshRecovers)
{
    qvcontrols::ControlSite *site = openListings();
    QAbstractItemModel *shown = viewOf(site)->model();
    ASSERT_EQ(rowCount(site), kListings);
    const QString path = t.dir.filePath(QStringLiteral("jx.db"));
    if (engine() == u"sqlite") {
        ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
    } else {
        // The server ends this grid's session, as a restart would. The new
        // session must find the test's own schema, as a real one finds its tables.
        std::unique_ptr<Database> other = secondConnection();
        ASSERT_TRUE(other->Execute(QStringLiteral("alter role current_user set search_path to ") + t.schema));
        // Only this grid's session: tests running beside this one keep theirs.
        const QString gridSession = scalar(QStringLiteral("select pg_backend_pid()")).toString();
        ASSERT_FALSE(gridSession.isEmpty());
        ASSERT_TRUE(other->Execute(QStringLiteral("select pg_terminate_backend(%1)").arg(gridSession)));
    }
    for (int r = kListings / 2; r < kListings / 2 + 10; ++r)
        EXPECT_NO_THROW(shown->index(r, kCode).data());
    QTest::qWait(50);
    if (engine() == u"sqlite") {
        EXPECT_TRUE(errorText(site).contains(QStringLiteral("数据库文件已被删除或替换"))) << errorText(site).toStdString();
        // Rows it could not read stay empty, never made up.
        EXPECT_TRUE(shown->index(kListings / 2 + 20, kCode).data().toString().isEmpty());
        ASSERT_TRUE(QFile::rename(path + QStringLiteral(".away"), path));
    }
    trigger(site, "refresh");
    EXPECT_TRUE(errorText(site).isEmpty()) << errorText(site).toStdString();
    EXPECT_EQ(rowCount(site), kListings);
    if (engine() == u"postgres") {
        EXPECT_TRUE(t.db->Execute(QStringLiteral("alter role current_user reset search_path")));
    }
    EXPECT_EQ(shown->index(kListings / 2, kCode).data().toString(),
              codes(QStringLiteral("select code from fy_house order by id")).at(kListings / 2));
}

// Over keys far apart the filtered rows are counted a range of keys at a
// time, between events: the window answers meanwhile, the rows counted so far
// are real rows, and the count is the one a single statement gives.
TEST_P(PagedGridTest, AFilteredCountComesInStepsBetweenEventsAndAChangedFilterDropsTheOldOne)
{
    const auto far = FunctionDemo::addListings(*t.db, 2000001, 300);
    ASSERT_TRUE(far) << far.error().toStdString();
    const int all = kListings + 300;
    const auto matching = [&](const QString &word) {
        int n = 0;
        Recordset rs = t.db->Query(QStringLiteral("select code,dealtype,district,community,agent,status from fy_house")).Recordset();
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList texts;
            for (int i = 0; i < 6; ++i)
                texts << rs.Field(i).toString();
            n += texts.join(u'|').contains(word) ? 1 : 0;
        }
        return n;
    };
    const int binjiang = matching(QStringLiteral("滨江区")), xihu = matching(QStringLiteral("西湖区"));
    ASSERT_GT(binjiang, 200);
    ASSERT_GT(xihu, 200);
    ASSERT_NE(binjiang, xihu);

    qvcontrols::ControlSite *site = openListings();
    QAbstractItemModel *shown = viewOf(site)->model();
    ASSERT_EQ(rowCount(site), all);
    auto *filter = site->widget()->findChild<QLineEdit *>();
    const auto counted = [&] { return shown->property("countKnown").toBool(); };

    filter->setText(QStringLiteral("滨江区"));
    emit filter->returnPressed();
    ASSERT_FALSE(counted());
    int turns = 0, seen = shown->rowCount();
    while (!counted() && turns < 1000) {
        QCoreApplication::processEvents();
        ++turns;
        // Never fewer rows than before, never more than there are, each of them there to read.
        ASSERT_GE(shown->rowCount(), seen);
        ASSERT_LE(shown->rowCount(), binjiang);
        seen = shown->rowCount();
        ASSERT_FALSE(shown->index(seen - 1, kCode).data().toString().isEmpty()) << seen;
    }
    EXPECT_GT(turns, 2);
    EXPECT_EQ(shown->rowCount(), binjiang) << errorText(site).toStdString();

    // Another word while the first is still being counted: only the new word's count stands.
    filter->setText(QStringLiteral("西湖区"));
    emit filter->returnPressed();
    QCoreApplication::processEvents();
    filter->setText(QStringLiteral("滨江区"));
    emit filter->returnPressed();
    QCoreApplication::processEvents();
    filter->setText(QStringLiteral("西湖区"));
    emit filter->returnPressed();
    waitFor(counted);
    EXPECT_EQ(shown->rowCount(), xihu);

    // Asked for at once (as the end key or an export does), the rest is counted in one go.
    filter->setText(QStringLiteral("滨江区"));
    emit filter->returnPressed();
    QCoreApplication::processEvents();
    EXPECT_EQ(rowCount(site), binjiang);
    EXPECT_TRUE(counted());
    EXPECT_FALSE(shown->index(binjiang - 1, kCode).data().toString().isEmpty());
    EXPECT_TRUE(errorText(site).isEmpty()) << errorText(site).toStdString();
}

TEST_P(PagedGridTest, AStatementWithoutRowsShowsAnEmptyGridThatStillSortsAndFilters)
{
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_function set listsql='select id,code,dealtype,district,community,rooms,area,price,agent,"
                                             "status,regdate from fy_house where 1=0 order by id;' where progid=1002")));
    qvcontrols::ControlSite *site = openListings();
    QTableView *view = viewOf(site);
    EXPECT_EQ(rowCount(site), 0);
    EXPECT_TRUE(errorText(site).isEmpty()) << errorText(site).toStdString();
    view->sortByColumn(kSalePrice, Qt::DescendingOrder);
    site->widget()->findChild<QLineEdit *>()->setText(QStringLiteral("滨江区 出售"));
    EXPECT_EQ(rowCount(site), 0);
    EXPECT_EQ(eventsNamed(QStringLiteral("message")).back().params.at(0).toString(), QStringLiteral("共 0 条记录"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PagedGridTest, ::testing::Values("sqlite", "postgres"));

} // namespace
