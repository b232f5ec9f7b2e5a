#include "FunctionHost.h"

#include <QComboBox>
#include <QFile>
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
};

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
