#include "console/startup/ConsoleSession.h"
#include "console/workspace/frmEdit.h"
#include "console/workspace/frmMain.h"

#include "FakeLogWriter.h"
#include "GifWriter.h"
#include "TestInstallation.h"

#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/NavItem.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/ShadowLabel.h"
#include "controls/StatusBar.h"
#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/TempFiles.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qvtoolbar {
// Stands in for a function control's command bar, which the console knows
// only by its class name; this one offers the focus as a command bar may.
class NavToolbar final : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};
} // namespace qvtoolbar

namespace {

const QString kControls = programPath("JX_EVENTCONTROL_PATH");

QByteArray gifBytes(QColor colour, const QString &file)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(writeGif(image, file));
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QString journal(qvcontrols::ControlSite *site, const char *member)
{
    return site ? com::toQVariant(com::call(site->object(), QLatin1String(member))).toString() : QString();
}

std::vector<jx::frmEdit *> functionWindows()
{
    std::vector<jx::frmEdit *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *edit = qobject_cast<jx::frmEdit *>(w); edit && !edit->isUnloaded())
            out.push_back(edit);
    return out;
}

class WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        com::RegistryStore::setFilePath(m_inst.path(QStringLiteral("registry.json")));
        ASSERT_EQ(com::InprocServer::callRegistration(kControls, true), S_OK);
        m_inst.writeConfig(QStringLiteral("<subject>测试主题</subject>"));
        for (const char *sql : {
                 "INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('TS', '测试', '测''试')",
                 "INSERT INTO xt_menu VALUES ('07', '测试目录', 'TS', '', 1, 7, 0, 1, 0, 0, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0701', '事件功能', 'TS', '07', 2, 1, 1, 1, 101, 900, 0, '报表')",
                 "INSERT INTO xt_menu VALUES ('0702', '明细功能', 'TS', '07', 2, 2, 1, 1, 100, 901, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0703', '自闭功能', 'TS', '07', 2, 3, 1, 1, 101, 902, 0, '报表')",
                 "INSERT INTO xt_menu VALUES ('0704', '失败功能', 'TS', '07', 2, 4, 1, 1, 101, 903, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0705', '报表明细', 'TS', '07', 2, 5, 1, 1, 102, 905, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0706', '子目录', 'TS', '07', 2, 6, 0, 1, 0, 0, 0, '')",
                 "INSERT INTO xt_menu VALUES ('070601', '子功能', 'TS', '0706', 3, 1, 1, 1, 103, 906, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0707', '无插件', 'TS', '07', 2, 7, 1, 1, 230, 0, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0708', '坏插件', 'TS', '07', 2, 8, 1, 1, 230, 908, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0709', '零号记录', 'TS', '07', 2, 9, 1, 1, 100, 0, 0, '')",
                 "INSERT INTO xt_menu VALUES ('07-1', '带横线', 'TS', '07', 2, 10, 1, 1, 101, 910, 0, '')",
                 "INSERT INTO xt_objects VALUES (900, '事件功能', 'JxEdit.oReport', '', 'TS')",
                 "INSERT INTO xt_objects VALUES (901, '明细功能', 'JxEdit.oedit', 'w=9000 h=6000', 'TS')",
                 "INSERT INTO xt_objects VALUES (905, '报表明细', 'JxEdit.oeditrpt', '', 'TS')",
                 "INSERT INTO xt_objects VALUES (906, '子功能', 'JxEdit.oquery', '', 'TS')",
                 "INSERT INTO xt_objects VALUES (908, '坏插件', 'abc', '', 'TS')",
                 "INSERT INTO xt_menu VALUES ('070A', '计算工具', 'TS', '07', 2, 11, 1, 1, 230, 909, 0, '')",
                 // The calculation tools show a command line they do not know in a message box.
                 "INSERT INTO xt_objects VALUES (909, '计算工具', 'jxTools.calcTool', '插件运行了', 'TS')",
             })
            m_inst.execute(QString::fromUtf8(sql));
        // Icons: one whose stored name would climb out of the cache, one plain.
        const QByteArray gif = gifBytes(Qt::red, m_inst.path(QStringLiteral("icon.gif")));
        m_inst.execute(QStringLiteral("DELETE FROM xt_menuPilot WHERE type=1 AND menuCode IN ('07','0706')"));
        m_inst.execute(QStringLiteral("INSERT INTO xt_menuPilot VALUES (1, '07', '../evil.gif', 0, ?, 0)"), {gif});
        m_inst.execute(QStringLiteral("INSERT INTO xt_menuPilot VALUES (1, '0706', 'sub.gif', 0, ?, 0)"), {gif});
        jx::setTempFolder(m_inst.path(QStringLiteral("systemp")));
        QDir().mkpath(m_inst.path(QStringLiteral("systemp")));
    }

    void TearDown() override
    {
        for (jx::frmEdit *w : functionWindows())
            w->Unload();
        closeMain();
        QApplication::processEvents();
        jx::setTempFolder(QString());
        com::RegistryStore::setFilePath(QString());
    }

    // One run of the console: a session signed in as admin and its main window.
    jx::frmMain &start()
    {
        closeMain();
        m_session = std::make_unique<jx::ConsoleSession>(&m_log);
        const auto opened = m_session->OpenInstallation(m_inst.configFile());
        EXPECT_TRUE(opened) << opened.error().toStdString();
        m_session->CurrentUser()->SetUserName(QStringLiteral("admin"));
        EXPECT_TRUE(m_session->CurrentUser()->Login(QStringLiteral("admin123")));
        auto *main = new jx::frmMain(*m_session);
        m_session->mainWindow = main;
        main->setScreenWidthTwips(12000);
        main->LoadForm();
        main->show();
        QApplication::processEvents();
        return *main;
    }

    void closeMain()
    {
        if (m_session && m_session->mainWindow)
            m_session->mainWindow->close();
        QApplication::processEvents();
        m_session.reset();
    }

    QString setting(const QString &key)
    {
        return jx::SettingsStore::getSetting(QStringLiteral("简衡测试"), QStringLiteral("main"), key);
    }

    bool logged(int kind, const QString &message, const QString &source = QString()) const
    {
        for (const auto &e : m_log.entries)
            if (e.kind == kind && e.message == message && (source.isNull() || e.source == source))
                return true;
        return false;
    }

    jxtest::TestInstallation m_inst;
    jxtest::FakeLogWriter m_log;
    jx::ScopedMessageBoxRecorder m_boxes;

public:
    std::string logText() const
    {
        QStringList out;
        for (const auto &e : m_log.entries)
            out << QStringLiteral("%1|%2|%3").arg(e.kind).arg(e.source, e.message);
        return out.join(u'\n').toStdString();
    }

    std::unique_ptr<jx::ConsoleSession> m_session;
};

TEST_F(WorkspaceTest, GroupButtonAndPanelWidthComeBackOverThreeRuns)
{
    {
        jx::frmMain &main = start();
        qvcontrols::NavPanel *nav = main.NavPanel();
        ASSERT_EQ(nav->Count(), 5);
        EXPECT_EQ(nav->Item(1)->Caption(), QStringLiteral("房源"));
        EXPECT_EQ(nav->Item(4)->Caption(), QStringLiteral("系统"));
        EXPECT_EQ(nav->Item(4)->Key(), QStringLiteral("XT")); // the module whose entry comes first
        EXPECT_EQ(nav->Item(5)->Caption(), QStringLiteral("测'试"));
        // No stored group: group 1, and its first button opened.
        EXPECT_EQ(nav->SelectedItem(), nav->Item(1));
        EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("当前位置：房源 -> 房源管理"));

        nav->setSelectedItem(nav->Item(QStringLiteral("TS")));
        ASSERT_EQ(main.ButCount(), 3);
        EXPECT_EQ(main.But(1)->Caption(), QStringLiteral("  测试目录"));
        EXPECT_EQ(main.But(2)->Caption(), QStringLiteral("  子目录"));
        EXPECT_EQ(main.But(1)->accessibleName(), QStringLiteral("测试目录"));
        EXPECT_EQ(main.But(2)->Top(), main.But(1)->Top() + main.But(1)->Height() + 120);
        // The directory's report buttons, 50 apart, with the template's picture.
        ASSERT_EQ(main.ImgRptCount(), 3);
        EXPECT_EQ(main.ImgRpt(1)->Caption(), QStringLiteral("  事件功能  "));
        EXPECT_EQ(main.ImgRpt(2)->Tag(), QStringLiteral("0703"));
        EXPECT_EQ(main.ImgRpt(2)->Top(), main.ImgRpt(1)->Top() + main.ImgRpt(1)->Height() + 50);
        EXPECT_FALSE(main.ImgRpt(1)->Picture().isNull());

        // Icons: the plain name is cached and shown; the climbing one writes nothing.
        const QString cache = m_inst.path(QStringLiteral("temp/icon"));
        EXPECT_TRUE(QFileInfo::exists(cache + QStringLiteral("/sub.gif")));
        EXPECT_FALSE(main.But(2)->Picture().isNull());
        EXPECT_TRUE(main.But(1)->Picture().isNull());
        EXPECT_FALSE(QFileInfo::exists(m_inst.path(QStringLiteral("temp/evil.gif"))));
        EXPECT_FALSE(QFileInfo::exists(m_inst.path(QStringLiteral("evil.gif"))));

        main.But(2)->click();
        EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("当前位置：测'试 -> 子目录"));
        EXPECT_EQ(setting(QStringLiteral("_ButTag测'试")), QStringLiteral("子目录"));

        // The splitter drop sets the width; resizes leave it alone.
        main.SplitterDown();
        main.SplitterMove(3000 - main.imgSplitter()->Left());
        main.SplitterUp();
        EXPECT_EQ(main.NavPanel()->Width(), 3000);
        for (int w : {700, 900, 640, 1000}) {
            main.showNormal();
            main.resize(w, 560);
            QApplication::processEvents();
            main.Relayout();
        }
        EXPECT_EQ(main.NavPanel()->Width(), 3000);
    }
    closeMain();
    EXPECT_EQ(setting(QStringLiteral("NavPaneActiveItem")), QStringLiteral("TS"));
    EXPECT_EQ(setting(QStringLiteral("navpanel_width")), QStringLiteral("2940"));
    for (int run = 2; run <= 3; ++run) {
        jx::frmMain &main = start();
        EXPECT_EQ(main.NavPanel()->SelectedItem()->Key(), QStringLiteral("TS")) << run;
        // The remembered button is clicked by itself.
        EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("当前位置：测'试 -> 子目录")) << run;
        main.resize(820, 600);
        main.Relayout();
        main.Relayout();
        EXPECT_EQ(main.NavPanel()->Width(), 3000) << run;
        closeMain();
        EXPECT_EQ(setting(QStringLiteral("navpanel_width")), QStringLiteral("2940")) << run;
    }
}

TEST_F(WorkspaceTest, SplitterLimitsAndTheNarrowStoredWidth)
{
    jx::SettingsStore::saveSetting(QStringLiteral("简衡测试"), QStringLiteral("main"), QStringLiteral("navpanel_width"),
                                   QStringLiteral("500"));
    jx::frmMain &main = start();
    EXPECT_EQ(main.NavPanel()->Width(), 1500); // one eighth of 12000, not 560
    // No theme and no title picture: the product name shows the caption.
    EXPECT_EQ(main.lblProductName_B()->Caption(), QStringLiteral("简衡测试"));
    EXPECT_FALSE(main.lblProductName_B()->isHidden());
    main.SplitterDown();
    main.SplitterMove(100 - main.imgSplitter()->Left());
    EXPECT_EQ(main.picSplitter()->Left(), 800);
    main.SplitterUp();
    EXPECT_EQ(main.NavPanel()->Width(), 1500);
    EXPECT_FALSE(main.picSplitter()->isVisible());

    main.ReportSplitterDown();
    main.ReportSplitterMove(1500 - main.imgSplitterC()->Left());
    EXPECT_EQ(main.picSplitterC()->Left(), 1500);
    main.ReportSplitterUp();
    EXPECT_EQ(main.imgSplitterC()->Left(), 2000);
    EXPECT_EQ(main.PicRpt()->Left(), 2000 + main.imgSplitterC()->Width());

    // The toggle hides the panel and gives the work area its room.
    main.ImgClick(2);
    EXPECT_TRUE(main.NavPanel()->isHidden());
    EXPECT_EQ(main.PicMain()->Left(), main.NavPanel()->Left() - main.imgSplitter()->Width() + main.imgSplitter()->Width());
    main.ImgClick(2);
    EXPECT_FALSE(main.NavPanel()->isHidden());
    EXPECT_EQ(main.NavPanel()->Width(), 1500);
}

TEST_F(WorkspaceTest, PagesAndTabsOpenReuseAndClose)
{
    jx::frmMain &main = start();
    main.NavPanel()->setSelectedItem(main.NavPanel()->Item(QStringLiteral("TS")));
    qvcontrols::VSTabCtl *tabs = main.qvVSTab();
    ASSERT_EQ(tabs->Count(), 1);

    ASSERT_TRUE(main.OpenMenu(QStringLiteral("070601"), false, QStringLiteral("子功能"), QStringLiteral("070601")));
    EXPECT_EQ(tabs->Count(), 2);
    EXPECT_EQ(tabs->Tab(2)->Key(), QStringLiteral("070601-1"));
    EXPECT_TRUE(tabs->Tab(1)->Hidden());
    EXPECT_EQ(main.CurrentPage(), 1);
    EXPECT_FALSE(main.PicTable()->isVisible());
    ASSERT_NE(main.Controls().Item(QStringLiteral("edit1")), nullptr) << logText();
    EXPECT_EQ(journal(main.Controls().Item(QStringLiteral("edit1")), "Args").toStdString(),
              "OBJ*:obj|OBJ*:obj|I4*:906|BSTR*:子功能");
    EXPECT_EQ(main.moControl(), main.Controls().Item(QStringLiteral("edit1")));

    // A menu button brings its tab back; a report button or node adds one.
    main.OpenMenu(QStringLiteral("070601"), false, QStringLiteral("子功能"), QStringLiteral("070601"));
    EXPECT_EQ(tabs->Count(), 2);
    main.OpenMenu(QStringLiteral("070601"), true, QStringLiteral("子功能"), QStringLiteral("070601"));
    EXPECT_EQ(tabs->Count(), 3);
    // A key holding "-" never matches its own tab.
    main.OpenMenu(QStringLiteral("07-1"), false, QStringLiteral("带横线"), QStringLiteral("07-1"));
    main.OpenMenu(QStringLiteral("07-1"), false, QStringLiteral("带横线"), QStringLiteral("07-1"));
    EXPECT_EQ(tabs->Count(), 5);
    EXPECT_EQ(main.TabCounter(), 4);
    EXPECT_EQ(main.picHolderCount(), 5);

    // Closing the second of three function tabs selects the first.
    com::ComPtr<IDispatch> second(main.Controls().Item(QStringLiteral("edit2"))->object());
    tabs->select(tabs->Tab(3));
    EXPECT_EQ(main.CurrentPage(), 2);
    main.CloseCurrentTab();
    EXPECT_EQ(tabs->Count(), 4);
    EXPECT_EQ(tabs->SelectedTab()->Key(), QStringLiteral("070601-1"));
    EXPECT_EQ(main.Controls().Item(QStringLiteral("edit2")), nullptr);
    EXPECT_TRUE(com::toQVariant(com::call(second.get(), QStringLiteral("Log"))).toString().endsWith(QStringLiteral(",clear")));
    EXPECT_EQ(main.moControl(), main.Controls().Item(QStringLiteral("edit1")));

    // Kind 220 with program number 0 is the alert function.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("06"), false, QStringLiteral("今日提醒"), QStringLiteral("06")));
    qvcontrols::ControlSite *alert = main.Controls().Item(QStringLiteral("edit5"));
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(journal(alert, "Log").startsWith(QStringLiteral("JxEdit.oalert,init 0")));
    EXPECT_EQ(journal(alert, "Args").toStdString(), "OBJ*:obj|OBJ*:obj|I4*:0");

    // A control that fails its start leaves its empty tab; one that closes itself leaves none.
    const int before = tabs->Count();
    main.OpenMenu(QStringLiteral("0704"), true, QStringLiteral("失败功能"), QStringLiteral("0704"));
    EXPECT_TRUE(logged(1, QStringLiteral("初始化控件Init()时出错<903>")));
    EXPECT_EQ(tabs->Count(), before + 1);
    main.OpenMenu(QStringLiteral("0703"), true, QStringLiteral("自闭功能"), QStringLiteral("0703"));
    EXPECT_EQ(tabs->Count(), before + 1);
    EXPECT_FALSE(main.UnloadRequested() == false);

    // Kind 100 with program number 0 is a directory: the diagram page again.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0709"), false, QStringLiteral("零号记录"), QStringLiteral("0709")));
    EXPECT_TRUE(main.PicTable()->isVisible());
    EXPECT_FALSE(tabs->Tab(1)->Hidden());
    EXPECT_EQ(tabs->SelectedTab(), tabs->Tab(1));

    // Plug-ins: none defined, and one whose class does not exist.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0707"), false, QStringLiteral("无插件"), QStringLiteral("0707")));
    EXPECT_TRUE(logged(4, QStringLiteral("插件未定义！"), QStringLiteral("提示：")));
    EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("当前位置：测'试 -> 无插件"));
    main.OpenMenu(QStringLiteral("0708"), false, QStringLiteral("坏插件"), QStringLiteral("0708"));
    bool failed = false;
    for (const auto &e : m_log.entries)
        failed |= e.kind == 8 && e.source == QStringLiteral("错误：") && e.message.startsWith(QStringLiteral("程序执行错误，原因："));
    EXPECT_TRUE(failed);

    // An entry that does not exist.
    m_boxes.clear();
    EXPECT_FALSE(main.OpenMenu(QStringLiteral("9'9"), false, QStringLiteral("x"), QStringLiteral("9'9")));
    EXPECT_EQ(m_boxes.last().text, QStringLiteral("当前指定的功能（9'9）并不存在！"));

    // Closing every function tab shows the diagram page.
    while (tabs->Count() > 1) {
        tabs->select(tabs->Tab(tabs->Count()));
        main.CloseCurrentTab();
    }
    EXPECT_TRUE(main.PicTable()->isVisible());
    EXPECT_FALSE(tabs->Tab(1)->Hidden());
    EXPECT_TRUE(main.ClearControl());
}

TEST_F(WorkspaceTest, PagesKeepTheirFunctionSizedAndOnlyStartedFunctionsBecomeCurrent)
{
    // A kind no function control serves.
    m_inst.execute(QStringLiteral("INSERT INTO xt_menu VALUES ('0714', '未完成功能', 'TS', '07', 2, 17, 1, 1, 104, 915, 0, '')"));
    jx::frmMain &main = start();
    QApplication::setActiveWindow(&main);
    qvcontrols::VSTabCtl *tabs = main.qvVSTab();
    main.picHolder(0)->setBackColor(0x203040);
    main.picHolder(0)->setForeColor(0x405060);
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("070601"), false, QStringLiteral("子功能"), QStringLiteral("070601")));
    qvcontrols::Panel *page = main.picHolder(1);
    EXPECT_EQ(page->BackColor(), 0x203040);
    EXPECT_EQ(page->ForeColor(), 0x405060);

    // The page's own resize takes its function along and gives it the focus.
    QWidget *control = main.Controls().Item(QStringLiteral("edit1"))->widget();
    ASSERT_NE(control, nullptr);
    main.NavPanel()->setFocus();
    page->resize(page->width() - 40, page->height() - 30);
    EXPECT_EQ(control->size(), page->size());
    EXPECT_EQ(QApplication::focusWidget(), control);

    // An entry without a function control leaves an empty tab, which never becomes the current page.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0714"), false, QStringLiteral("未完成功能"), QStringLiteral("0714")));
    ASSERT_EQ(main.Controls().Item(QStringLiteral("edit2")), nullptr);
    ASSERT_EQ(tabs->Count(), 3);
    tabs->select(tabs->Tab(2));
    EXPECT_EQ(main.CurrentPage(), 1);
    tabs->select(tabs->Tab(3));
    EXPECT_EQ(main.CurrentPage(), 1);
    EXPECT_TRUE(main.picHolder(2)->isVisible());
    // Its menu button brings that empty page back, not the current one.
    tabs->select(tabs->Tab(1));
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0714"), false, QStringLiteral("未完成功能"), QStringLiteral("0714")));
    EXPECT_EQ(tabs->SelectedTab(), tabs->Tab(3));
    EXPECT_TRUE(main.picHolder(2)->isVisible());
    EXPECT_FALSE(main.picHolder(1)->isVisible());
}

TEST_F(WorkspaceTest, FunctionWindowsClearTheirControlWhenTheMainWindowIsDeletedWithoutClosing)
{
    jx::frmMain &main = start();
    ASSERT_TRUE(jx::frmEdit::Open(*m_session, &main, 906, QStringLiteral("子功能"), 103, com::Variant(), nullptr, 0));
    ASSERT_EQ(functionWindows().size(), 1u);
    com::ComPtr<IDispatch> control(functionWindows().front()->moControl()->object());
    // As the program does when it quits by another route than the close box.
    delete m_session->mainWindow.data();
    EXPECT_TRUE(functionWindows().empty());
    EXPECT_EQ(com::toQVariant(com::call(control.get(), QStringLiteral("ClearCount"))).toInt(), 1);
}

TEST_F(WorkspaceTest, UnloadClosesTheTabOfTheControlThatRaisedIt)
{
    jx::frmMain &main = start();
    qvcontrols::VSTabCtl *tabs = main.qvVSTab();
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("070601"), true, QStringLiteral("子功能"), QStringLiteral("070601")));
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0702"), true, QStringLiteral("明细功能"), QStringLiteral("0702")));
    ASSERT_EQ(tabs->Count(), 3);
    ASSERT_EQ(tabs->SelectedTab(), tabs->Tab(3));
    com::ComPtr<IDispatch> first(main.Controls().Item(QStringLiteral("edit1"))->object());
    com::ComPtr<IDispatch> second(main.Controls().Item(QStringLiteral("edit2"))->object());

    // The first function, behind the selected second one, closes itself.
    com::call(first.get(), QStringLiteral("Raise"), {com::Variant::fromString(QStringLiteral("unload")), com::Variant::fromBool(true)});
    ASSERT_EQ(tabs->Count(), 2);
    EXPECT_EQ(tabs->Tab(1)->Key(), QStringLiteral("key"));
    EXPECT_EQ(tabs->Tab(2)->Key(), QStringLiteral("0702-2"));
    EXPECT_EQ(tabs->SelectedTab(), tabs->Tab(2));
    EXPECT_EQ(main.Controls().Item(QStringLiteral("edit1")), nullptr);
    EXPECT_TRUE(journal(main.Controls().Item(QStringLiteral("edit2")), "Log").endsWith(QStringLiteral("init-end")));
    EXPECT_EQ(com::toQVariant(com::call(first.get(), QStringLiteral("ClearCount"))).toInt(), 1);
    EXPECT_TRUE(main.picHolder(2)->isVisible());
    EXPECT_EQ(main.moControl(), main.Controls().Item(QStringLiteral("edit2")));

    // The selected one closing itself goes back to the diagram page, as before.
    com::call(second.get(), QStringLiteral("Raise"), {com::Variant::fromString(QStringLiteral("unload")), com::Variant::fromBool(true)});
    EXPECT_EQ(tabs->Count(), 1);
    EXPECT_EQ(main.Controls().Item(QStringLiteral("edit2")), nullptr);
    EXPECT_TRUE(main.PicTable()->isVisible());
    EXPECT_FALSE(tabs->Tab(1)->Hidden());
    EXPECT_TRUE(main.UnloadRequested());
}

TEST_F(WorkspaceTest, EveryEventIsHandledInBothHostsAlsoFromInsidePyInit)
{
    jx::frmMain &main = start();
    main.NavPanel()->setSelectedItem(main.NavPanel()->Item(QStringLiteral("TS")));
    m_log.entries.clear();
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0701"), true, QStringLiteral("事件功能"), QStringLiteral("0701")));
    // "errmessage" with kind "8" and no source: the configured subject.
    EXPECT_TRUE(logged(8, QStringLiteral("坏了"), QStringLiteral("测试主题"))) << logText();
    // "unload" with False did not close the tab; the last message restored the wait text.
    EXPECT_EQ(main.qvVSTab()->Count(), 2);
    EXPECT_TRUE(main.StatusText().endsWith(QStringLiteral("Ready...")));
    // detaile, detailes, detailerpt, filenew and fileedit each opened a window.
    QStringList args;
    for (jx::frmEdit *w : functionWindows())
        args << journal(w->moControl(), "Args");
    args.sort();
    EXPECT_EQ(args.join(u'\n').toStdString(), (QStringList{
                        "OBJ*:obj|OBJ*:obj|I4*:901|I2*:0|I2*:0",  // detailes: text data
                        "OBJ*:obj|OBJ*:obj|I4*:901|R8*:0|I2*:1",  // filenew
                        "OBJ*:obj|OBJ*:obj|I4*:901|R8*:42|I2*:0", // detaile
                        "OBJ*:obj|OBJ*:obj|I4*:901|R8*:7|I2*:2",  // fileedit
                        "OBJ*:obj|OBJ*:obj|I4*:905|OBJ*:nothing", // detailerpt: P1 went as data
                    }).join(u'\n').toStdString());
    for (jx::frmEdit *w : functionWindows()) {
        const QString log = journal(w->moControl(), "Log");
        if (log.contains(QStringLiteral("init 901"))) {
            EXPECT_EQ(w->WidthTwips(), 9000);
            EXPECT_EQ(w->HeightTwips(), 6000);
        }
        if (journal(w->moControl(), "Args").contains(QStringLiteral("I2*:0|I2*:0"))) {
            EXPECT_TRUE(log.contains(QStringLiteral("sParameters 1 K1")));
        }
    }
    for (jx::frmEdit *w : functionWindows())
        w->Unload();
    QApplication::processEvents();

    // The same control in a function window: filenew and fileedit are ignored,
    // detailerpt hands its object on as the parameter object.
    EXPECT_TRUE(jx::frmEdit::Open(*m_session, &main, 900, QStringLiteral("事件功能"), 101, com::Variant(), nullptr, 0));
    args.clear();
    for (jx::frmEdit *w : functionWindows())
        args << journal(w->moControl(), "Args");
    args.sort();
    EXPECT_EQ(args.join(u'\n').toStdString(), (QStringList{
                        "OBJ*:obj|OBJ*:obj|I4*:900|BSTR*:事件功能",
                        "OBJ*:obj|OBJ*:obj|I4*:901|I2*:0|I2*:0",
                        "OBJ*:obj|OBJ*:obj|I4*:901|R8*:42|I2*:0",
                        "OBJ*:obj|OBJ*:obj|I4*:905|OBJ*:obj",
                    }).join(u'\n').toStdString());
    for (jx::frmEdit *w : functionWindows())
        if (w->moControl() && journal(w->moControl(), "Args").contains(QStringLiteral("I4*:900"))) {
            EXPECT_EQ(w->statusBar()->PanelText(QStringLiteral("msg")), QStringLiteral("Ready..."));
        }

    // A control closing itself inside Py_Init closes its window at once.
    const size_t open = functionWindows().size();
    EXPECT_FALSE(jx::frmEdit::Open(*m_session, &main, 902, QStringLiteral("自闭"), 101, com::Variant(), nullptr, 0));
    EXPECT_EQ(functionWindows().size(), open);
    // A kind without a control: the message, and no window.
    m_boxes.clear();
    EXPECT_FALSE(jx::frmEdit::Open(*m_session, &main, 4003, QStringLiteral("数据备份"), 999, com::Variant(), nullptr, 0));
    EXPECT_EQ(m_boxes.last().text, QStringLiteral("该菜单功能未完成！"));
    EXPECT_EQ(functionWindows().size(), open);
}

TEST_F(WorkspaceTest, ReportWithSwitchSOpensItsOwnWindowOfTheGivenSize)
{
    jx::frmMain &main = start();
    // Group 1 opened 房源管理, whose reports are 0103 (/s /w12000 /h8000) and 0104.
    ASSERT_EQ(main.ImgRptCount(), 3);
    ASSERT_EQ(main.ImgRpt(1)->Tag(), QStringLiteral("0103"));
    main.ImgRpt(1)->click();
    ASSERT_EQ(functionWindows().size(), 1u);
    jx::frmEdit *window = functionWindows().front();
    EXPECT_EQ(window->WidthTwips(), 12000);
    EXPECT_EQ(window->HeightTwips(), 8000);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("房源统计表"));
    EXPECT_EQ(main.qvVSTab()->Count(), 1);
    main.ImgRpt(2)->click();
    EXPECT_EQ(main.qvVSTab()->Count(), 2);
    EXPECT_EQ(main.qvVSTab()->Tab(2)->Key(), QStringLiteral("0104-1"));
}

// Classes a control may make its hand-back objects from, for one test.
class HandBackClasses
{
public:
    HandBackClasses()
    {
        com::registerBuiltinClass(kContext, QStringLiteral("JxTest.AppContext"), [](REFIID iid, void **ppv) {
            auto *object = new ::AppContext();
            const HRESULT hr = object->QueryInterface(iid, ppv);
            object->Release();
            return hr;
        });
        com::registerBuiltinClass(kConfig, QStringLiteral("JxTest.Config"), [](REFIID iid, void **ppv) {
            auto *object = new jx::clsConfig();
            const HRESULT hr = object->QueryInterface(iid, ppv);
            object->Release();
            return hr;
        });
    }
    ~HandBackClasses()
    {
        com::unregisterBuiltinClass(kContext);
        com::unregisterBuiltinClass(kConfig);
    }

private:
    const CLSID kContext = com::guid("{6A1B2C40-4D5E-4F60-8A9B-0C1D2E3F4A50}");
    const CLSID kConfig = com::guid("{6A1B2C41-4D5E-4F60-8A9B-0C1D2E3F4A50}");
};

TEST_F(WorkspaceTest, BothHostsTakeBackWhatAControlLeavesInItsContextAndConfiguration)
{
    const HandBackClasses classes;
    for (const char *sql : {"INSERT INTO xt_menu VALUES ('0711', '交回对调', 'TS', '07', 2, 14, 1, 1, 101, 931, 0, '')",
                            "INSERT INTO xt_menu VALUES ('0712', '交回空', 'TS', '07', 2, 15, 1, 1, 101, 932, 0, '')",
                            "INSERT INTO xt_menu VALUES ('0713', '交回新', 'TS', '07', 2, 16, 1, 1, 101, 930, 0, '')"})
        m_inst.execute(QString::fromUtf8(sql));
    jx::frmMain &main = start();
    ::AppContext *const context = m_session->AppContext();
    jx::clsConfig *const config = m_session->Config();

    // Objects of the other kind, or nothing, leave the session's own.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0711"), true, QStringLiteral("交回对调"), QStringLiteral("0711")));
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0712"), true, QStringLiteral("交回空"), QStringLiteral("0712")));
    EXPECT_EQ(journal(main.Controls().Item(QStringLiteral("edit2")), "Log"), QStringLiteral("JxEdit.oReport,init 932,init-end"));
    jx::frmEdit::Open(*m_session, &main, 931, QStringLiteral("交回对调"), 220, com::Variant(), nullptr, 0);
    jx::frmEdit::Open(*m_session, &main, 932, QStringLiteral("交回空"), 220, com::Variant(), nullptr, 0);
    ASSERT_EQ(functionWindows().size(), 2u);
    EXPECT_EQ(m_session->AppContext(), context);
    EXPECT_EQ(m_session->Config(), config);

    // Other objects of the same kinds become the session's, in either host;
    // the ones they replace stay alive for whoever holds them.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0713"), true, QStringLiteral("交回新"), QStringLiteral("0713")));
    ::AppContext *const fromTab = m_session->AppContext();
    jx::clsConfig *const configFromTab = m_session->Config();
    EXPECT_NE(fromTab, context);
    EXPECT_NE(configFromTab, config);
    ASSERT_NE(fromTab, nullptr);
    ASSERT_NE(configFromTab, nullptr);
    EXPECT_FALSE(context->Environment().AppPath().isEmpty());
    jx::frmEdit::Open(*m_session, &main, 930, QStringLiteral("交回新"), 220, com::Variant(), nullptr, 0);
    EXPECT_NE(m_session->AppContext(), fromTab);
    EXPECT_NE(m_session->Config(), configFromTab);
    ASSERT_NE(m_session->AppContext(), nullptr);
    ASSERT_NE(m_session->Config(), nullptr);
}

TEST_F(WorkspaceTest, AReportButtonOpeningADirectoryRebuildsTheColumnUnderItsOwnClick)
{
    // A report entry without a program opens as a directory, whose own
    // reports then replace the column the clicked button stands in.
    m_inst.execute(QStringLiteral("INSERT INTO xt_menu VALUES ('0710', '报表目录', 'TS', '07', 2, 12, 1, 1, 0, 0, 0, '报表')"));
    m_inst.execute(QStringLiteral("INSERT INTO xt_menu VALUES ('071001', '目录内报表', 'TS', '0710', 3, 1, 1, 1, 101, 900, 0, '报表')"));
    jx::frmMain &main = start();
    main.NavPanel()->setSelectedItem(main.NavPanel()->Item(QStringLiteral("TS")));
    ASSERT_EQ(main.ImgRptCount(), 5);
    ASSERT_EQ(main.ImgRpt(3)->Tag(), QStringLiteral("0710"));
    QPointer<qvcontrols::Button2> clicked = main.ImgRpt(3);
    ASSERT_TRUE(clicked->isVisible());

    QTest::mouseClick(clicked, Qt::LeftButton);

    // The click returned through a live button; it goes with the next turn of the loop.
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(clicked && clicked->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(clicked);
    EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("当前位置：测'试 -> 报表目录"));
    ASSERT_EQ(main.ImgRptCount(), 3);
    EXPECT_EQ(main.ImgRpt(1)->Tag(), QStringLiteral("0710"));
    EXPECT_EQ(main.ImgRpt(2)->Caption(), QStringLiteral("  目录内报表  "));
    EXPECT_TRUE(main.ImgRpt(2)->isVisible());
    // The new buttons work: this one opens its report in a tab.
    QTest::mouseClick(main.ImgRpt(2), Qt::LeftButton);
    EXPECT_EQ(main.qvVSTab()->Count(), 2);
}

TEST_F(WorkspaceTest, PlugInEntryRunsTheRegisteredPlugIn)
{
    ASSERT_EQ(com::InprocServer::callRegistration(programPath("JX_JXTOOL_PATH"), true), S_OK);
    jx::frmMain &main = start();
    main.NavPanel()->setSelectedItem(main.NavPanel()->Item(QStringLiteral("TS")));
    m_boxes.clear();
    m_log.entries.clear();
    // The status line while the operation is recorded.
    QString statusAtRecord;
    m_log.onWrite = [&](const QString &message) {
        if (message.contains(QStringLiteral("操作插件")))
            statusAtRecord = main.StatusText();
    };
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("070A"), false, QStringLiteral("计算工具"), QStringLiteral("070A")));
    m_log.onWrite = nullptr;
    // The plug-in ran with the record's command line, after the rights check and the operation record.
    EXPECT_EQ(m_boxes.last().text, QStringLiteral("插件运行了"));
    EXPECT_TRUE(logged(1, QStringLiteral("检查外接程序的程序权限操作，progID=909"))) << logText();
    // The calculator names itself after its caption, which it had been given by then.
    EXPECT_EQ(m_log.messagesOfKind(48).join(u'\n'),
              QStringLiteral("<log><progid>0</progid><user>admin</user><message>操作插件[计算工具]</message></log>"));
    // The demo's prompt before the text.
    EXPECT_EQ(statusAtRecord, QStringLiteral("【安居房产】正在初始化计算工具对象"));
    EXPECT_TRUE(main.StatusText().endsWith(QStringLiteral("Ready...")));
    EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("当前位置：测'试 -> 计算工具"));
    EXPECT_EQ(main.qvVSTab()->Count(), 1);
}

TEST_F(WorkspaceTest, PlugInParametersArriveTypedAndBeforeInit)
{
    ASSERT_EQ(com::InprocServer::callRegistration(programPath("JX_TPONE_PATH"), true), S_OK);
    m_inst.execute(QStringLiteral("INSERT INTO xt_menu VALUES ('070B', '单插件', 'TS', '07', 2, 13, 1, 1, 230, 920, 0, '')"));
    m_inst.execute(QStringLiteral("INSERT INTO xt_objects VALUES (920, '单插件', 'tpOne.Solo', '/x', 'TS')"));
    jx::frmMain &main = start();
    main.NavPanel()->setSelectedItem(main.NavPanel()->Item(QStringLiteral("TS")));
    qunsetenv("TP_TRACE");
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("070B"), false, QStringLiteral("单插件"), QStringLiteral("070B")));
    // 3 is a 32-bit integer, 8 a text.
    EXPECT_EQ(qEnvironmentVariable("TP_TRACE"),
              QStringLiteral("Param:ProgID=3:920;Param:ModeCode=8:TS;Param:Caption=8:单插件;Param:CommandLine=8:/x;"
                             "Init:Solo;Action:Solo;Clear:Solo;"));
    qunsetenv("TP_TRACE");
}

TEST_F(WorkspaceTest, LockLetsNothingButTheUnlockPanelTakeInput)
{
    jx::frmMain &main = start();
    QApplication::setActiveWindow(&main);
    main.LockScreen();
    ASSERT_TRUE(main.isLocked());
    QApplication::processEvents();
    main.lbl(1)->setCaption(QStringLiteral("marker"));
    QTest::mouseClick(main.But(1), Qt::LeftButton);
    EXPECT_EQ(main.lbl(1)->Caption(), QStringLiteral("marker"));
    EXPECT_FALSE(main.But(1)->isEnabled());
    // Tab goes round the unlock panel only.
    main.txtPassword()->setFocus();
    for (int i = 0; i < 6; ++i) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(main.pic(1)->isAncestorOf(focus)) << focus->objectName().toStdString();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    main.txtPassword()->setText(QStringLiteral("wrong"));
    m_boxes.clear();
    main.ImgBtn(3)->click();
    EXPECT_TRUE(main.isLocked());
    EXPECT_EQ(m_boxes.last().text, QStringLiteral("请录入正确的用户密码! "));
    EXPECT_EQ(m_boxes.last().title, QStringLiteral("提示："));
    main.txtPassword()->setText(QStringLiteral("admin123"));
    main.ImgBtn(3)->click();
    EXPECT_FALSE(main.isLocked());
    EXPECT_TRUE(main.But(1)->isEnabled());
}

TEST_F(WorkspaceTest, F6GoesRoundThePanesAndBackToWhereTheFocusWasInEach)
{
    jx::frmMain &main = start();
    QApplication::setActiveWindow(&main);
    main.NavPanel()->setSelectedItem(main.NavPanel()->Item(QStringLiteral("TS")));
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("070601"), false, QStringLiteral("子功能"), QStringLiteral("070601")));
    // The function's body: a field, as a form or a grid would give.
    auto *field = new QLineEdit(main.picHolder(main.CurrentPage()));
    field->show();
    QApplication::processEvents();

    qvcontrols::Button2 *menu = main.But(2);
    ASSERT_NE(menu, nullptr);
    menu->setFocus();
    const auto f6 = [](Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, mods);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(f6(), field);
    EXPECT_EQ(f6(), main.qvVSTab());
    // The report column sits on the hidden diagram page: passed over.
    EXPECT_EQ(f6(), menu);
    EXPECT_EQ(f6(Qt::ShiftModifier), main.qvVSTab());
    EXPECT_EQ(f6(Qt::ShiftModifier), field);

    // Behind the screen lock F6 leaves the focus on the unlock panel.
    main.LockScreen();
    QApplication::processEvents();
    main.txtPassword()->setFocus();
    EXPECT_EQ(f6(), main.txtPassword());
}

TEST_F(WorkspaceTest, F6InAFunctionWindowGoesBetweenItsCommandBarAndItsBody)
{
    jx::frmMain &main = start();
    ASSERT_TRUE(jx::frmEdit::Open(*m_session, &main, 900, QStringLiteral("事件功能"), 101, com::Variant(), nullptr, 0));
    ASSERT_FALSE(functionWindows().empty());
    jx::frmEdit *window = functionWindows().back();
    auto *bar = new qvtoolbar::NavToolbar(window->picHolder());
    auto *command = new QToolButton(bar);
    command->setFocusPolicy(Qt::StrongFocus);
    auto *field = new QLineEdit(window->picHolder());
    auto *other = new QLineEdit(window->picHolder());
    bar->show();
    field->show();
    other->show();
    QApplication::setActiveWindow(window);
    QApplication::processEvents();
    other->setFocus();
    const auto f6 = [](Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, mods);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(f6(), command);
    EXPECT_EQ(f6(), other); // back where it was in the body
    EXPECT_EQ(f6(Qt::ShiftModifier), command);

    // Without a command bar F6 has nowhere else to go.
    delete bar;
    field->setFocus();
    EXPECT_EQ(f6(), field);
}

} // namespace

#include "WorkspaceTest.moc"
#include "ProgramPaths.h"
