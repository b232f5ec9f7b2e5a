#include "FunctionHost.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

class ReportTest : public FunctionHost
{
protected:
    static int pdfPages(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray bytes = f.readAll();
        if (!bytes.startsWith("%PDF-"))
            return -1;
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
        return int(QString::fromLatin1(bytes).count(page));
    }
    QString text(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ReportText"))).toString();
    }
    // Text as compared with a PDF's: without blanks, compatibility forms
    // folded, and the radical the CJK font shares its glyph for 页 with read
    // as 页 (a reader names the first character a glyph stands for).
    static QString flat(const QString &text)
    {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        return text.normalized(QString::NormalizationForm_KC).replace(QChar(0x2EDA), QChar(0x9875)).remove(blanks);
    }
    // The text of each page of a PDF, as a reader extracts it, flattened.
    static QStringList pdfPageTexts(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return {};
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        for (QString &page : pages)
            page = flat(page);
        return pages;
    }
    // March 2025, well before the demo's contracts: 90 in force or completed
    // from its first day to its last, by three agents, plus one just before,
    // one just after and one cancelled inside, none of which may be counted.
    void addMarchContracts()
    {
        const QStringList agents{QStringLiteral("王志强"), QStringLiteral("李秀英"), QStringLiteral("张伟")};
        const QString insert = QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid,dealtype,signdate,price,commission,agent,status)"
                                              " values (?,?,?,?,'出售',?,100,?,?,?)");
        int house = 0;
        auto nextHouse = [&] {
            do
                ++house;
            while (house % 5 == 0); // the demo's contracts hold every fifth listing
            return house;
        };
        for (int i = 0; i < 90; ++i)
            ASSERT_TRUE(t.db->ExecuteParams(insert, {1000 + i, QStringLiteral("MAR%1").arg(i, 3, 10, QLatin1Char('0')), nextHouse(), 1 + i % 100,
                                                     QStringLiteral("2025-03-%1").arg(i % 31 + 1, 2, 10, QLatin1Char('0')), 1000 + i,
                                                     agents.at(i % 3), i % 2 ? QStringLiteral("已完成") : QStringLiteral("执行中")}))
                << t.db->LastError().Description().toStdString();
        for (const auto &[no, day, status] : {std::tuple{"BEFORE", "2025-02-28", "执行中"}, std::tuple{"AFTER", "2025-04-01", "已完成"},
                                              std::tuple{"CANCELLED", "2025-03-15", "已解除"}})
            ASSERT_TRUE(t.db->ExecuteParams(insert, {1100 + house, QString::fromLatin1(no), nextHouse(), 1, QString::fromLatin1(day), 99999,
                                                     agents.at(0), QString::fromUtf8(status)}))
                << t.db->LastError().Description().toStdString();
    }
    static void choosePeriod(qvcontrols::ControlSite *site, const QDate &from, const QDate &to)
    {
        child<QDateEdit>(site, QStringLiteral("periodFrom"))->setDate(from);
        child<QDateEdit>(site, QStringLiteral("periodTo"))->setDate(to);
        child<QPushButton>(site, QStringLiteral("periodRun"))->click();
    }
};

TEST_P(ReportTest, DealReportCountsContractsInForceOfThePeriodAndEveryPdfPageCarriesHeadersPageAndPeriod)
{
    addMarchContracts();
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oReport"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(3003), com::Variant::fromString(QStringLiteral("成交报表"))}));
    // This month to start with.
    const QDate today = QDate::currentDate();
    EXPECT_EQ(child<QDateEdit>(site, QStringLiteral("periodFrom"))->date(), QDate(today.year(), today.month(), 1));
    EXPECT_EQ(child<QComboBox>(site, QStringLiteral("periodQuick"))->currentText(), QStringLiteral("本月"));
    EXPECT_TRUE(text(site).contains(QStringLiteral("统计期间：%1").arg(QDate(today.year(), today.month(), 1).toString(Qt::ISODate))));

    choosePeriod(site, QDate(2025, 3, 1), QDate(2025, 3, 31));
    const QString report = text(site);
    EXPECT_TRUE(report.contains(QStringLiteral("统计期间：2025-03-01 至 2025-03-31")));
    EXPECT_TRUE(report.contains(QStringLiteral("合计（90 行）"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("MAR000"))); // the first day
    EXPECT_TRUE(report.contains(QStringLiteral("MAR030"))); // the last day
    for (const char *excluded : {"BEFORE", "AFTER", "CANCELLED"})
        EXPECT_FALSE(report.contains(QLatin1String(excluded))) << excluded;

    // An end before the start is refused and the report shown stays.
    choosePeriod(site, QDate(2025, 3, 31), QDate(2025, 3, 1));
    EXPECT_TRUE(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().contains(QStringLiteral("早于开始日期")));
    EXPECT_EQ(text(site), report);

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    choosePeriod(site, QDate(2025, 3, 1), QDate(2025, 3, 31));
    const QString path = m_registry.filePath(QStringLiteral("deals.pdf"));
    ASSERT_TRUE(com::toQVariant(com::call(site->object(), QStringLiteral("ExportPdf"), {com::Variant::fromString(path)})).toBool());
    const QStringList pages = pdfPageTexts(path);
    ASSERT_GE(pages.size(), 3) << "90 contracts and their subtotals do not fit two pages";
    EXPECT_EQ(pages.size(), pdfPages(path));
    for (int i = 0; i < pages.size(); ++i) {
        const QString &page = pages.at(i);
        EXPECT_TRUE(page.contains(flat(QStringLiteral("第 %1 页 / 共 %2 页").arg(i + 1).arg(pages.size())))) << "page " << i + 1;
        EXPECT_TRUE(page.contains(flat(QStringLiteral("统计期间：2025-03-01 至 2025-03-31")))) << "page " << i + 1;
        // The column headers in their order, as the repeated header row gives them.
        EXPECT_TRUE(page.contains(flat(QStringLiteral("区域签约日期合同编号小区交易类型成交价(万元)月租金(元/月)佣金(元)经纪人"))))
            << "page " << i + 1 << ": " << page.left(200).toStdString();
    }
}

TEST_P(ReportTest, RankingCountsThePeriodsContractsPerAgentAndOffersNoRecordCommands)
{
    addMarchContracts();
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oReport"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(3004), com::Variant::fromString(QStringLiteral("业绩排行"))}));
    EXPECT_EQ(child<QAction>(site, QStringLiteral("new")), nullptr);
    EXPECT_EQ(child<QAction>(site, QStringLiteral("edit")), nullptr);
    choosePeriod(site, QDate(2025, 3, 1), QDate(2025, 3, 31));
    const QString report = text(site);
    // Every third of the 90 contracts each, commissions 1000+i: 王志强 has
    // i = 0, 3, …, 87, the cancelled and the two outside the period not at all.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("王志强\\s+30\\s+31305\\b")).match(report).hasMatch()) << report.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("李秀英\\s+30\\s+31335\\b")).match(report).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("合计（3 行）\\s+90\\s+94005\\b")).match(report).hasMatch());
    // From the second day on, the three contracts of the first day drop out.
    child<QDateEdit>(site, QStringLiteral("periodFrom"))->setDate(QDate(2025, 3, 2));
    child<QPushButton>(site, QStringLiteral("periodRun"))->click();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("合计（3 行）\\s+87\\b")).match(text(site)).hasMatch()) << text(site).toStdString();
    EXPECT_EQ(child<QComboBox>(site, QStringLiteral("periodQuick"))->currentText(), QStringLiteral("自定义"));
}

TEST_P(ReportTest, StatisticsShowTheirGroupTotalsAndExportAPdf)
{
    context.Company().SetCoName(QStringLiteral("安居房产经纪有限公司"));
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oReport"), QStringLiteral("edit5"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1003), com::Variant::fromString(QStringLiteral("房源统计表"))}));
    const QString report = text(site);
    EXPECT_TRUE(report.contains(QStringLiteral("房源统计表")));
    EXPECT_TRUE(report.contains(QStringLiteral("安居房产经纪有限公司")));
    const int westLake = scalar(QStringLiteral("select count(*) from fy_house where district='西湖区'")).toInt();
    EXPECT_TRUE(report.contains(QStringLiteral("小计 西湖区")));
    // Grand total of listings over all groups, and the subtotal of one group.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("合计（\\d+ 行）\\s*300\\b")).match(report).hasMatch()) << report.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("小计 西湖区（\\d+ 行）\\s*%1\\b").arg(westLake)).match(report).hasMatch());

    const QString path = m_registry.filePath(QStringLiteral("stat.pdf"));
    ASSERT_TRUE(com::toQVariant(com::call(site->object(), QStringLiteral("ExportPdf"), {com::Variant::fromString(path)})).toBool());
    EXPECT_EQ(pdfPages(path), 1);
    EXPECT_FALSE(com::toQVariant(com::call(site->object(), QStringLiteral("ExportPdf"),
                                           {com::Variant::fromString(QStringLiteral("/nonexistent/dir/x.pdf"))})).toBool());
    EXPECT_FALSE(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().isEmpty());
}

TEST_P(ReportTest, ParametersNarrowTheDetailReportAndGoBackInTheParameterSet)
{
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oeditrpt"));
    // Function window: the parameter object by reference, here none yet.
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1004), com::Variant()}));
    com::ComPtr<IDispatch> set = com::objectOf(lastArg(1));
    ASSERT_TRUE(set);
    const QString full = m_registry.filePath(QStringLiteral("all.pdf"));
    ASSERT_TRUE(com::toQVariant(com::call(site->object(), QStringLiteral("ExportPdf"), {com::Variant::fromString(full)})).toBool());
    EXPECT_GT(pdfPages(full), 3); // 300 listings do not fit a page
    // One subtotal per district, though the statement is not ordered by it.
    EXPECT_EQ(text(site).count(QStringLiteral("小计 西湖区")), 1);

    child<QComboBox>(site, QStringLiteral("param_district"))->setCurrentText(QStringLiteral("滨江区"));
    child<QLineEdit>(site, QStringLiteral("param_regdate_from"))->setText(QStringLiteral("2000-01-01"));
    child<QPushButton>(site, QStringLiteral("run"))->click();
    const QString report = text(site);
    EXPECT_TRUE(report.contains(QStringLiteral("条件：登记日期从 2000-01-01，区域：滨江区")));
    EXPECT_TRUE(report.contains(QStringLiteral("滨江区")));
    EXPECT_FALSE(report.contains(QStringLiteral("西湖区")));
    const int n = scalar(QStringLiteral("select count(*) from fy_house where district='滨江区'")).toInt();
    EXPECT_TRUE(report.contains(QStringLiteral("合计（%1 行）").arg(n)));

    EXPECT_EQ(com::toQVariant(com::call(set.get(), QStringLiteral("Item"), {com::Variant::fromString(QStringLiteral("district"))})).toString(),
              QStringLiteral("滨江区"));
    EXPECT_EQ(com::toQVariant(com::call(set.get(), QStringLiteral("Item"), {com::Variant::fromString(QStringLiteral("regdate_from"))})).toString(),
              QStringLiteral("2000-01-01"));

    // A second report started with that set begins from its values.
    qvcontrols::ControlSite *again = add(QStringLiteral("JxEdit.oeditrpt"), QStringLiteral("again"));
    ASSERT_TRUE(start(again, {com::Variant::fromInt32(1004), com::Variant::fromDispatch(set.get())}));
    EXPECT_FALSE(text(again).contains(QStringLiteral("西湖区")));
}

TEST_P(ReportTest, RemindersListTodaysWorkOfTheSignedInAgent)
{
    context.Environment().SetUserName(QStringLiteral("clerk")); // agent 李秀英
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oalert"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(0)}));
    auto *view = site->widget()->findChild<QTableView *>();
    QAbstractItemModel *rows = view->model();
    ASSERT_GT(rows->rowCount(), 0);
    QSet<QString> kinds;
    for (int r = 0; r < rows->rowCount(); ++r) {
        EXPECT_EQ(rows->index(r, 3).data().toString(), QStringLiteral("李秀英"));
        kinds << rows->index(r, 0).data().toString();
    }
    EXPECT_TRUE(kinds.contains(QStringLiteral("跟进到期")));
    EXPECT_TRUE(kinds.contains(QStringLiteral("房源待跟进")));
    // Double-click opens the record through "detaile" with its entry program.
    int listingRow = -1;
    for (int r = 0; r < rows->rowCount() && listingRow < 0; ++r)
        if (rows->index(r, 0).data().toString() == u"房源待跟进")
            listingRow = r;
    const QString code = rows->index(listingRow, 2).data().toString().section(u' ', 1, 1).section(u'（', 0, 0);
    const int id = scalar(QStringLiteral("select id from fy_house where code='%1'").arg(code)).toInt();
    ASSERT_GT(id, 0) << code.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow where houseid=%1 and followdate>='%2'")
                         .arg(id)
                         .arg(QDate::currentDate().addDays(-30).toString(QStringLiteral("yyyy-MM-dd"))))
                  .toInt(),
              0);
    events.clear();
    emit view->doubleClicked(rows->index(listingRow, 0));
    ASSERT_EQ(eventsNamed(QStringLiteral("detaile")).size(), 1u);
    EXPECT_EQ(eventsNamed(QStringLiteral("detaile"))[0].params, (QVariantList{1001, id}));
}

INSTANTIATE_TEST_SUITE_P(Engines, ReportTest, ::testing::Values("sqlite", "postgres"));

} // namespace
