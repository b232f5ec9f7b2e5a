// Closing asks every function first and changes nothing when one is kept;
// a function the user may not run is refused in one message box, whichever
// way it is opened.

#include "console/startup/ConsoleSession.h"
#include "console/workspace/frmEdit.h"
#include "console/workspace/frmFind.h"
#include "console/workspace/frmMain.h"

#include "FakeLogWriter.h"
#include "TestInstallation.h"

#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/NavItem.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/ShadowLabel.h"
#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"
#include "controls/qvPilot_S.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/TempFiles.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

namespace {

const QString kControls = programPath("JX_EVENTCONTROL_PATH");

const QString kRefusedReport = QStringLiteral("您没有使用“合同报表”的权限，请与系统管理员联系。");

// One node of a navigation diagram, for the entry `code`.
QByteArray diagramOf(const char *code)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?><print><page><blocks><arrows></arrows><pilots>"
                          "<pilot caption=\"node\" left=\"10\" top=\"10\" width=\"30\" height=\"20\" iconsize=\"32\" "
                          "righttoleft=\"0\" textalign=\"0\"><menu code=\"%1\"/></pilot>"
                          "</pilots></blocks></page></print>")
        .arg(QLatin1String(code))
        .toLatin1();
}

int count(IDispatch *control, const char *member)
{
    return com::toQVariant(com::call(control, QLatin1String(member))).toInt();
}

void answer(IDispatch *control, const com::Variant &value)
{
    com::put(control, QStringLiteral("CloseAnswer"), value);
}

class ClosingAndRightsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        com::RegistryStore::setFilePath(m_inst.path(QStringLiteral("registry.json")));
        ASSERT_EQ(com::InprocServer::callRegistration(kControls, true), S_OK);
        m_inst.writeConfig();
        for (const char *sql : {
                 "INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('TC', '关闭测试', '关闭')",
                 "INSERT INTO xt_menu VALUES ('08', '关闭目录', 'TC', '', 1, 8, 0, 1, 0, 0, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0801', '录入单', 'TC', '08', 2, 1, 1, 1, 100, 911, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0802', '旧功能', 'TC', '08', 2, 2, 1, 1, 103, 907, 0, '')",
                 "INSERT INTO xt_menu VALUES ('0803', '报表窗', 'TC', '08', 2, 3, 1, 1, 101, 912, 0, '报表')",
                 "INSERT INTO xt_menu VALUES ('0804', '合同报表', 'TC', '08', 2, 4, 1, 1, 101, 913, 0, '报表')",
                 "INSERT INTO xt_menu VALUES ('09', '顶层录入', 'TC', '', 1, 9, 1, 1, 105, 914, 0, '')",
                 "INSERT INTO xt_objects VALUES (912, '报表窗', 'JxEdit.oReport', '/s', 'TC')",
                 // The clerk runs the records form only.
                 "INSERT INTO jx_right VALUES ('0002', 911, 1)",
             })
            m_inst.execute(QString::fromUtf8(sql));
        m_inst.execute(QStringLiteral("INSERT INTO xt_menuPilot (type, menuCode, filename, iscompress, contents, filesize) "
                                      "VALUES (0, '08', '08.mnu', 0, ?, ?)"),
                       {diagramOf("0804"), diagramOf("0804").size()});
        jx::setTempFolder(m_inst.path(QStringLiteral("systemp")));
        QDir().mkpath(m_inst.path(QStringLiteral("systemp")));
    }

    void TearDown() override
    {
        // Whatever a test left kept may close now.
        if (m_session && m_session->mainWindow) {
            for (const QString &name : m_session->mainWindow->Controls().Names())
                answer(m_session->mainWindow->Controls().Item(name)->object(), com::Variant::fromBool(true));
            for (jx::frmEdit *w : windows())
                if (w->moControl())
                    answer(w->moControl()->object(), com::Variant::fromBool(true));
            m_session->mainWindow->close();
        }
        QApplication::processEvents();
        EXPECT_TRUE(!m_session || !m_session->mainWindow);
        m_session.reset();
        jx::setTempFolder(QString());
        com::RegistryStore::setFilePath(QString());
    }

    // A session signed in as `user` and its main window on the test group.
    jx::frmMain &start(const QString &user, const QString &password, jx::ILogWriter *log)
    {
        m_session = std::make_unique<jx::ConsoleSession>(log);
        const auto opened = m_session->OpenInstallation(m_inst.configFile());
        EXPECT_TRUE(opened) << opened.error().toStdString();
        m_session->CurrentUser()->SetUserName(user);
        EXPECT_TRUE(m_session->CurrentUser()->Login(password));
        auto *main = new jx::frmMain(*m_session);
        m_session->mainWindow = main;
        main->setScreenWidthTwips(12000);
        main->LoadForm();
        main->show();
        QApplication::processEvents();
        main->NavPanel()->setSelectedItem(main->NavPanel()->Item(QStringLiteral("TC")));
        QApplication::processEvents();
        return *main;
    }
    jx::frmMain &start(const QString &user = QStringLiteral("admin"), const QString &password = QStringLiteral("admin123"))
    {
        return start(user, password, &m_log);
    }

    // The function windows open now, oldest first.
    std::vector<jx::frmEdit *> windows() const
    {
        std::vector<jx::frmEdit *> out;
        if (m_session && m_session->mainWindow)
            for (auto *w : m_session->mainWindow->findChildren<jx::frmEdit *>())
                if (!w->isUnloaded())
                    out.push_back(w);
        return out;
    }

    // The control of the function tab last opened.
    IDispatch *pageControl(jx::frmMain &main) const
    {
        return main.moControl() ? main.moControl()->object() : nullptr;
    }

    bool shutDown() const { return m_session->Trail().contains(QStringLiteral("release database")); }

    QString setting(const QString &key) const
    {
        return jx::SettingsStore::getSetting(QStringLiteral("简衡测试"), QStringLiteral("main"), key);
    }

    jxtest::TestInstallation m_inst;
    jxtest::FakeLogWriter m_log;
    jx::ScopedMessageBoxRecorder m_boxes;
    std::unique_ptr<jx::ConsoleSession> m_session;
};

TEST_F(ClosingAndRightsTest, FunctionWindowCloseBoxAsksItsControl)
{
    jx::frmMain &main = start();
    ASSERT_EQ(main.ImgRpt(1)->Tag(), QStringLiteral("0803"));
    main.ImgRpt(1)->click();
    ASSERT_EQ(windows().size(), 1u);
    jx::frmEdit *window = windows().front();
    const com::ComPtr<IDispatch> control(window->moControl()->object());

    // Kept: the window, its control and its typing stay.
    answer(control.get(), com::Variant::fromBool(false));
    EXPECT_FALSE(window->close());
    QApplication::processEvents();
    ASSERT_EQ(windows().size(), 1u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->moControl()->object(), control.get());
    EXPECT_EQ(count(control.get(), "QueryCloseCount"), 1);
    EXPECT_EQ(count(control.get(), "ClearCount"), 0);

    // May close: closed and cleared once.
    answer(control.get(), com::Variant::fromBool(true));
    EXPECT_TRUE(window->close());
    QApplication::processEvents();
    EXPECT_TRUE(windows().empty());
    EXPECT_EQ(count(control.get(), "QueryCloseCount"), 2);
    EXPECT_EQ(count(control.get(), "ClearCount"), 1);

    // A control whose question fails or answers nothing, and one without QueryClose, close too.
    for (const com::Variant &broken : {com::Variant::fromString(QStringLiteral("raise")), com::Variant()}) {
        main.ImgRpt(1)->click();
        ASSERT_EQ(windows().size(), 1u);
        const com::ComPtr<IDispatch> next(windows().front()->moControl()->object());
        answer(next.get(), broken);
        EXPECT_TRUE(windows().front()->close());
        QApplication::processEvents();
        EXPECT_TRUE(windows().empty());
        EXPECT_EQ(count(next.get(), "ClearCount"), 1);
    }
    ASSERT_TRUE(jx::frmEdit::Open(*m_session, &main, 907, QStringLiteral("旧功能"), 103, com::Variant(), nullptr, 0));
    ASSERT_EQ(windows().size(), 1u);
    const com::ComPtr<IDispatch> old(windows().front()->moControl()->object());
    EXPECT_TRUE(windows().front()->close());
    QApplication::processEvents();
    EXPECT_TRUE(windows().empty());
    EXPECT_EQ(count(old.get(), "ClearCount"), 1);

    // A control that closes itself has asked its user already.
    main.ImgRpt(1)->click();
    ASSERT_EQ(windows().size(), 1u);
    const com::ComPtr<IDispatch> self(windows().front()->moControl()->object());
    answer(self.get(), com::Variant::fromBool(false));
    com::call(self.get(), QStringLiteral("Raise"), {com::Variant::fromString(QStringLiteral("unload")), com::Variant::fromBool(true)});
    QApplication::processEvents();
    EXPECT_TRUE(windows().empty());
    EXPECT_EQ(count(self.get(), "QueryCloseCount"), 0);
    EXPECT_EQ(count(self.get(), "ClearCount"), 1);
}

TEST_F(ClosingAndRightsTest, EveryWayOfClosingTheMainWindowStopsAtAKeptFunction)
{
    jx::frmMain &main = start();
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0801"), false, QStringLiteral("录入单"), QStringLiteral("0801")));
    const com::ComPtr<IDispatch> page(pageControl(main));
    ASSERT_TRUE(page);
    main.ImgRpt(1)->click();
    ASSERT_EQ(windows().size(), 1u);
    const com::ComPtr<IDispatch> window(windows().front()->moControl()->object());
    const int tabs = main.qvVSTab()->Count();
    const QString crumb = main.lbl(1)->Caption();

    const auto nothingChanged = [&](const char *how) {
        QApplication::processEvents();
        ASSERT_TRUE(m_session->mainWindow) << how;
        EXPECT_TRUE(main.isVisible()) << how;
        EXPECT_FALSE(shutDown()) << how;
        EXPECT_NE(m_session->AppContext(), nullptr) << how;
        EXPECT_EQ(main.qvVSTab()->Count(), tabs) << how;
        EXPECT_EQ(main.lbl(1)->Caption(), crumb) << how;
        EXPECT_EQ(main.moControl() ? main.moControl()->object() : nullptr, page.get()) << how;
        EXPECT_EQ(count(page.get(), "ClearCount"), 0) << how;
        EXPECT_EQ(count(window.get(), "ClearCount"), 0) << how;
        EXPECT_EQ(windows().size(), 1u) << how;
        EXPECT_TRUE(setting(QStringLiteral("navpanel_width")).isEmpty()) << how;
        EXPECT_TRUE(setting(QStringLiteral("NavPaneActiveItem")).isEmpty()) << how;
    };

    // The hosted function is kept: the close box, 退出系统 and 退出系统 on the lock.
    answer(page.get(), com::Variant::fromBool(false));
    EXPECT_FALSE(main.close());
    nothingChanged("close box");
    main.ImgBtn(0)->click();
    nothingChanged("ImgBtn(0)");
    main.ImgBtn(1)->click();
    ASSERT_TRUE(main.isLocked());
    main.ImgBtn(4)->click();
    nothingChanged("ImgBtn(4)");
    EXPECT_TRUE(main.isLocked());
    EXPECT_FALSE(main.Body()->isEnabled());
    EXPECT_EQ(count(page.get(), "QueryCloseCount"), 3);
    // The function window was never asked: the first one kept decides.
    EXPECT_EQ(count(window.get(), "QueryCloseCount"), 0);
    main.txtPassword()->setText(QStringLiteral("admin123"));
    main.ImgBtn(3)->click();
    ASSERT_FALSE(main.isLocked());

    // The function window is kept.
    answer(page.get(), com::Variant::fromBool(true));
    answer(window.get(), com::Variant::fromBool(false));
    EXPECT_FALSE(main.close());
    nothingChanged("window kept");
    EXPECT_EQ(count(window.get(), "QueryCloseCount"), 1);

    // All may close: the window is unloaded, the pages cleared, the session shut down.
    answer(window.get(), com::Variant::fromBool(true));
    EXPECT_TRUE(main.close());
    EXPECT_TRUE(shutDown());
    EXPECT_EQ(count(page.get(), "ClearCount"), 1);
    EXPECT_EQ(count(window.get(), "ClearCount"), 1);
    EXPECT_EQ(setting(QStringLiteral("NavPaneActiveItem")), QStringLiteral("TC"));
    QApplication::processEvents();
    EXPECT_FALSE(m_session->mainWindow);
}

TEST_F(ClosingAndRightsTest, FunctionsWithoutTheQuestionOrClosingThemselvesNeverBlockTheMainWindow)
{
    jx::frmMain &main = start();
    // A control closing its own tab is not asked.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0801"), false, QStringLiteral("录入单"), QStringLiteral("0801")));
    const com::ComPtr<IDispatch> self(pageControl(main));
    answer(self.get(), com::Variant::fromBool(false));
    com::call(self.get(), QStringLiteral("Raise"), {com::Variant::fromString(QStringLiteral("unload")), com::Variant::fromBool(true)});
    EXPECT_EQ(main.qvVSTab()->Count(), 1);
    EXPECT_EQ(count(self.get(), "QueryCloseCount"), 0);
    EXPECT_EQ(count(self.get(), "ClearCount"), 1);

    // The tab strip closes nothing by itself: a middle click and Ctrl+W on a function tab.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0801"), false, QStringLiteral("录入单"), QStringLiteral("0801")));
    const com::ComPtr<IDispatch> kept(pageControl(main));
    qvcontrols::VSTabCtl *strip = main.qvVSTab();
    ASSERT_EQ(strip->Count(), 2);
    QTest::mouseClick(strip, Qt::MiddleButton, {}, strip->tabRect(2).center());
    strip->setFocus();
    QTest::keyClick(strip, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(strip->Count(), 2);
    EXPECT_EQ(count(kept.get(), "QueryCloseCount"), 0);
    EXPECT_EQ(count(kept.get(), "ClearCount"), 0);

    // One without QueryClose, one whose question fails, and a window left open: all close.
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0802"), false, QStringLiteral("旧功能"), QStringLiteral("0802")));
    const com::ComPtr<IDispatch> old(pageControl(main));
    answer(kept.get(), com::Variant::fromString(QStringLiteral("raise")));
    ASSERT_TRUE(jx::frmEdit::Open(*m_session, &main, 907, QStringLiteral("旧功能"), 103, com::Variant(), nullptr, 0));
    const com::ComPtr<IDispatch> window(windows().front()->moControl()->object());
    main.ImgBtn(0)->click();
    EXPECT_TRUE(shutDown());
    EXPECT_EQ(count(kept.get(), "ClearCount"), 1);
    EXPECT_EQ(count(old.get(), "ClearCount"), 1);
    EXPECT_EQ(count(window.get(), "ClearCount"), 1);
}

TEST_F(ClosingAndRightsTest, AUserWithoutTheRightIsRefusedOnceWhicheverWayHeOpensIt)
{
    jx::frmMain &main = start(QStringLiteral("clerk"), QStringLiteral("clerk123"));
    // The group opened its directory: a diagram node and two report buttons.
    const QList<qvcontrols::qvPilot_S *> nodes = main.PicTable()->findChildren<qvcontrols::qvPilot_S *>();
    qvcontrols::qvPilot_S *node = nullptr;
    for (auto *n : nodes)
        if (n->isVisible() && n->Tag() == QStringLiteral("0804"))
            node = n;
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(main.ImgRptCount(), 3);
    ASSERT_EQ(main.But(2)->Tag(), QStringLiteral("09"));
    EXPECT_EQ(m_boxes.count(), 0) << m_boxes.last().text.toStdString();
    const QString crumb = main.lbl(1)->Caption();

    const auto refusedOnce = [&](const char *how, const QString &text) {
        EXPECT_EQ(m_boxes.count(), 1) << how;
        EXPECT_EQ(m_boxes.last().text, text) << how;
        EXPECT_EQ(m_boxes.last().style, jx::Exclamation) << how;
        EXPECT_EQ(m_boxes.last().title, QStringLiteral("提示：")) << how;
        EXPECT_EQ(m_log.messagesOfKind(2).count(text), 1) << how;
        EXPECT_EQ(main.qvVSTab()->Count(), 1) << how;
        EXPECT_EQ(main.picHolderCount(), 1) << how;
        EXPECT_TRUE(windows().empty()) << how;
        EXPECT_EQ(main.lbl(1)->Caption(), crumb) << how;
        m_boxes.clear();
        m_log.entries.clear();
    };
    m_log.entries.clear();
    main.But(2)->click();
    refusedOnce("menu button", QStringLiteral("您没有使用“顶层录入”的权限，请与系统管理员联系。"));
    main.ImgRpt(1)->click();
    refusedOnce("report button with a window", QStringLiteral("您没有使用“报表窗”的权限，请与系统管理员联系。"));
    main.ImgRpt(2)->click();
    refusedOnce("report button with a tab", kRefusedReport);
    QTest::mouseClick(node, Qt::LeftButton);
    refusedOnce("diagram node", kRefusedReport);

    // A function he may run opens, and asks for a detail he may not.
    main.But(1)->click();
    ASSERT_TRUE(main.OpenMenu(QStringLiteral("0801"), false, QStringLiteral("录入单"), QStringLiteral("0801")));
    ASSERT_EQ(main.qvVSTab()->Count(), 2);
    EXPECT_EQ(m_boxes.count(), 0) << m_boxes.last().text.toStdString();
    const int pages = main.picHolderCount();
    com::call(pageControl(main), QStringLiteral("Raise"),
              {com::Variant::fromString(QStringLiteral("detaile")), com::Variant::fromInt32(913), com::Variant::fromString(QStringLiteral("1"))});
    EXPECT_EQ(m_boxes.count(), 1);
    EXPECT_EQ(m_boxes.last().text, kRefusedReport);
    EXPECT_TRUE(windows().empty());
    EXPECT_EQ(main.qvVSTab()->Count(), 2);
    EXPECT_EQ(main.picHolderCount(), pages);
}

TEST_F(ClosingAndRightsTest, AnAdministratorOpensEveryWay)
{
    jx::frmMain &main = start();
    qvcontrols::qvPilot_S *node = nullptr;
    for (auto *n : main.PicTable()->findChildren<qvcontrols::qvPilot_S *>())
        if (n->isVisible() && n->Tag() == QStringLiteral("0804"))
            node = n;
    ASSERT_NE(node, nullptr);
    main.But(2)->click();
    EXPECT_EQ(main.qvVSTab()->Count(), 2);
    main.But(1)->click();
    main.ImgRpt(1)->click();
    EXPECT_EQ(windows().size(), 1u);
    main.ImgRpt(2)->click();
    EXPECT_EQ(main.qvVSTab()->Count(), 3);
    main.But(1)->click();
    QTest::mouseClick(node, Qt::LeftButton);
    EXPECT_EQ(main.qvVSTab()->Count(), 4);
    com::call(pageControl(main), QStringLiteral("Raise"),
              {com::Variant::fromString(QStringLiteral("detaile")), com::Variant::fromInt32(913), com::Variant::fromString(QStringLiteral("1"))});
    EXPECT_EQ(windows().size(), 2u);
    EXPECT_EQ(m_boxes.count(), 0) << m_boxes.last().text.toStdString();
}

// With the product's own log, which shows notices in boxes of its own, the
// refusal is still one box, and the log file keeps it.
TEST_F(ClosingAndRightsTest, TheRefusalIsOneBoxAlsoWhereTheLogShowsNotices)
{
    m_inst.write(QStringLiteral("JxMain1.exe.Config"),
                 QStringLiteral("<configuration><system><caption>简衡测试</caption></system>"
                                "<database driver=\"sqlite\" file=\"jx.db\"/><log folder=\"log\" show=\"1\"/></configuration>")
                     .toUtf8());
    jx::frmMain &main = start(QStringLiteral("clerk"), QStringLiteral("clerk123"), nullptr);
    m_boxes.clear();
    main.ImgRpt(2)->click();
    EXPECT_EQ(m_boxes.count(), 1);
    EXPECT_EQ(m_boxes.last().style, jx::Exclamation);
    QFile file(m_inst.path(QStringLiteral("log/") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(QStringLiteral("\t2\t提示：\t") + kRefusedReport));
}

} // namespace

TEST_F(ClosingAndRightsTest, TheFinderOffersWhatTheUserMayOpenAndOpensItAsAClickWould)
{
    jx::frmMain &main = start(QStringLiteral("clerk"), QStringLiteral("clerk123"));
    const auto openFinder = [&]() -> jx::frmFind * {
        // The shortcut belongs to the main window, active again once a box closed.
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, Qt::Key_K, Qt::ControlModifier);
        const QList<jx::frmFind *> boxes = main.findChildren<jx::frmFind *>();
        return boxes.isEmpty() ? nullptr : boxes.last();
    };
    const auto shown = [](jx::frmFind *box) {
        QStringList out;
        auto *list = box->findChild<QListWidget *>(QStringLiteral("lstFound"));
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    };
    jx::frmFind *box = openFinder();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(main.findChild<QWidget *>(QStringLiteral("Panel_0"))->toolTip().contains(QStringLiteral("Ctrl+K")));
    auto *typed = box->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    ASSERT_NE(typed, nullptr);

    // The entries he has no right to are not offered at all.
    typed->insert(QStringLiteral("录入")); // as an input method delivers it
    EXPECT_EQ(shown(box), QStringList{QStringLiteral("录入单　0801")});
    typed->clear();
    typed->insert(QStringLiteral("报表"));
    EXPECT_EQ(shown(box), QStringList{QStringLiteral("没有找到“报表”")});

    // Pinyin initials once the background spelling is in.
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->spelled(); }, 10000));
    typed->clear();
    QTest::keyClicks(typed, QStringLiteral("lrd"));
    ASSERT_FALSE(shown(box).isEmpty());
    EXPECT_EQ(shown(box).first(), QStringLiteral("录入单　0801"));

    QTest::keyClick(typed, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(m_boxes.count(), 0) << m_boxes.last().text.toStdString();
    ASSERT_EQ(main.qvVSTab()->Count(), 2);
    EXPECT_TRUE(main.qvVSTab()->Tab(2)->Key().startsWith(QStringLiteral("0801-")));

    // Chosen again: its tab is selected, not a second one opened; with
    // nothing typed the entry last opened comes first.
    main.qvVSTab()->Tab(1)->setSelected(true);
    box = openFinder();
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(shown(box).isEmpty());
    EXPECT_EQ(shown(box).first(), QStringLiteral("录入单　0801"));
    QTest::keyClick(box->findChild<QLineEdit *>(QStringLiteral("txtFind")), Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_EQ(main.qvVSTab()->Count(), 2);
    EXPECT_TRUE(main.qvVSTab()->Tab(2)->Selected());
}
