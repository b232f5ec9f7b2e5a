#include "PluginTestSession.h"

#include "console/plugins/frmPluginRun.h"
#include "console/startup/bMain.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include "ProgramPaths.h"

using namespace jxtest;
using jx::frmPluginRun;

namespace {

QStringList operationRecords(const FakeLogWriter &log)
{
    return log.messagesOfKind(48);
}

} // namespace

TEST(frmPluginRun, ListsConfiguresAndRunsThePluginsAndRecordsItsClosingOnce)
{
    PluginTestSession t;
    t.open(QStringLiteral("<subject>测试开发商</subject>"));
    t.session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    t.drop(programPath("TP_TWO_PATH"), QStringLiteral("a_two.so"));
    t.dropText(QStringLiteral("b_broken.so"), "broken");

    frmPluginRun form(t.session);
    form.show(); // loads the list
    QTreeWidget *lv = form.LV();
    ASSERT_EQ(lv->topLevelItemCount(), 2);
    QTreeWidgetItem *alpha = lv->topLevelItem(0);
    EXPECT_EQ(alpha->text(frmPluginRun::ColDescription), QStringLiteral("工具Alpha"));
    EXPECT_EQ(alpha->text(frmPluginRun::ColStyleName), QStringLiteral("测试开发商")); // the subject wins over Author
    EXPECT_EQ(alpha->text(frmPluginRun::ColFileName), QStringLiteral("\\Plugin\\a_two.so"));
    EXPECT_EQ(alpha->text(frmPluginRun::ColClassName), QStringLiteral("tpTwo.Alpha"));
    EXPECT_EQ(alpha->text(frmPluginRun::ColName), QStringLiteral("Alpha"));
    EXPECT_EQ(alpha->text(frmPluginRun::ColReg), QStringLiteral("0"));
    for (int c = frmPluginRun::ColFileName; c < frmPluginRun::ColumnCount; ++c)
        EXPECT_TRUE(lv->isColumnHidden(c)) << c;
    EXPECT_EQ(lv->headerItem()->text(frmPluginRun::ColStyleName), QStringLiteral("开发商名称"));
    EXPECT_EQ(form.lblAuthor()->text(), QStringLiteral("*"));
    ASSERT_EQ(form.LvProblems()->topLevelItemCount(), 1);
    EXPECT_EQ(form.LvProblems()->topLevelItem(0)->text(0), QStringLiteral("b_broken.so"));

    // Nothing selected: Run does nothing and writes nothing.
    qunsetenv("TP_TRACE");
    const qsizetype logged = t.log.entries.size();
    form.Run();
    EXPECT_TRUE(qEnvironmentVariable("TP_TRACE").isEmpty());
    EXPECT_EQ(t.log.entries.size(), logged);

    lv->setCurrentItem(alpha);
    EXPECT_EQ(form.txtDescription()->toPlainText(), QStringLiteral("Alpha的说明"));
    EXPECT_EQ(form.lblAuthor()->text(), QStringLiteral("测试开发商"));

    // A configuration that records an error: one notice, no success text. The
    // status line lives in the main window, which showing a status brings up.
    jx::ShowStatus(t.session, QStringLiteral("之前"));
    ASSERT_TRUE(t.session.mainWindow);
    qputenv("TP_CONFIG_ERROR", "缺少设置");
    form.Cmd(0)->click();
    // No plugin-host beside the tests: the list was built in process, and that was noted.
    EXPECT_EQ(t.entriesOfKind(2), (QStringList{QStringLiteral("找不到插件扫描程序 plugin-host，插件在本进程中扫描"),
                                               QStringLiteral("缺少设置")}));
    EXPECT_EQ(qEnvironmentVariable("TP_TRACE"), QStringLiteral("Init:Alpha;Configure:Alpha;Clear:Alpha;"));
    EXPECT_TRUE(t.session.mainWindow->StatusText().endsWith(QStringLiteral("之前")))
        << t.session.mainWindow->StatusText().toStdString();

    // A configuration that raises: a warning with the row's text.
    qputenv("TP_CONFIG_ERROR", "raise");
    form.Cmd(0)->click();
    ASSERT_EQ(t.entriesOfKind(4).size(), 1);
    EXPECT_EQ(t.entriesOfKind(4).at(0), QStringLiteral("配置工具Alpha时发生错误，配置窗口打不开"));

    qunsetenv("TP_CONFIG_ERROR");
    form.Cmd(0)->click();
    ASSERT_TRUE(t.session.mainWindow);
    EXPECT_TRUE(t.session.mainWindow->StatusText().endsWith(QStringLiteral("工具Alpha配置完成")))
        << t.session.mainWindow->StatusText().toStdString();

    qunsetenv("TP_TRACE");
    form.Cmd(1)->click();
    EXPECT_EQ(qEnvironmentVariable("TP_TRACE"), QStringLiteral("Init:Alpha;Action:Alpha;Clear:Alpha;"));
    EXPECT_TRUE(form.isVisible()); // Run leaves the window open

    const QStringList recordsBefore = operationRecords(t.log);
    form.Cmd(2)->click();
    form.close();
    const QStringList records = operationRecords(t.log).mid(recordsBefore.size());
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(records.at(0).contains(QStringLiteral("退出[插件管理]"))) << records.at(0).toStdString();
    EXPECT_TRUE(records.at(0).contains(QStringLiteral("100027"))) << records.at(0).toStdString();
}

TEST(frmPluginRun, ARowThatIsOnlyCurrentShowsNoTextsUntilItIsSelected)
{
    PluginTestSession t;
    t.open();
    t.drop(programPath("TP_TWO_PATH"), QStringLiteral("a_two.so"));
    frmPluginRun form(t.session);
    // The list has the focus as the window comes up, which makes its first row current.
    form.LV()->setFocus();
    form.show();
    QApplication::processEvents();
    ASSERT_NE(form.LV()->currentItem(), nullptr);
    ASSERT_TRUE(form.LV()->selectedItems().isEmpty());
    EXPECT_EQ(form.lblAuthor()->text(), QStringLiteral("*"));
    EXPECT_TRUE(form.txtDescription()->toPlainText().isEmpty());

    form.LV()->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(form.lblAuthor()->text(), QStringLiteral("作者Beta"));
    EXPECT_EQ(form.txtDescription()->toPlainText(), QStringLiteral("Beta的说明"));
}
