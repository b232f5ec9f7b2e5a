#include "FakeLogWriter.h"
#include "TestInstallation.h"

#include "components/context/UserSecret.h"
#include "console/dialogs/frmLogin.h"
#include "console/startup/ConsoleSession.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kApp = QStringLiteral("简衡测试");
const QString kMain = QStringLiteral("main");

// The login window on a real installation opened as the console opens it.
class Login : public ::testing::Test
{
protected:
    void SetUp() override { open(QString()); }
    void open(const QString &systemBody)
    {
        session.reset();
        installation.writeConfig(systemBody);
        session = std::make_unique<jx::ConsoleSession>(&log);
        const auto opened = session->OpenInstallation(installation.configFile());
        ASSERT_TRUE(opened) << opened.error().toStdString();
    }
    CurrentUser &user() { return *session->CurrentUser(); }
    QString stored(const QString &key) { return jx::SettingsStore::getSetting(kApp, kMain, key, QStringLiteral("<none>")); }
    bool nothingStored() { return !QFile::exists(jx::SettingsStore::fileFor(kApp)); }
    void setRecentStyle(int n)
    {
        installation.setOption(12, QStringLiteral("loginuserstyle"), QStringLiteral("2"));
        installation.setOption(38, QStringLiteral("loginusercount"), QString::number(n));
    }
    void storeRecent(const QStringList &names)
    {
        for (int i = 0; i < names.size(); ++i)
            jx::SettingsStore::saveSetting(kApp, kMain, QString::number(i + 1) + QStringLiteral("LogonUser"), names[i]);
    }
    QStringList recentStored(int upTo)
    {
        QStringList out;
        for (int i = 1; i <= upTo; ++i)
            out << jx::SettingsStore::getSetting(kApp, kMain, QString::number(i) + QStringLiteral("LogonUser"));
        return out;
    }
    static void signIn(jx::frmLogin &form, const QString &name, const QString &password)
    {
        form.CobUser()->setEditText(name);
        form.Password()->setText(password);
        form.OkRoutine();
    }

    jxtest::TestInstallation installation;
    jxtest::FakeLogWriter log;
    std::unique_ptr<jx::ConsoleSession> session;
};

TEST_F(Login, RefusalsAreWarningsAndStoreNothing)
{
    jx::frmLogin form(*session);
    form.LoadForm();

    form.Spinner(0)->setValue(2009);
    form.Spinner(1)->setValue(2);
    form.Spinner(2)->setValue(30);
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("操作日期2009-2-30不正确,请重新选择"));
    EXPECT_EQ(log.lastKind(), 4);
    EXPECT_FALSE(user().IsLoggedIn());
    // A year a date cannot hold is refused the same way.
    form.Spinner(0)->setValue(99);
    form.Spinner(1)->setValue(1);
    form.Spinner(2)->setValue(1);
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("操作日期99-1-1不正确,请重新选择"));
    EXPECT_FALSE(user().IsLoggedIn());
    form.Spinner(0)->setValue(2024);

    signIn(form, QString(), QStringLiteral("x"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("用户名不能为空，请重试!"));
    EXPECT_EQ(log.lastKind(), 4);

    // The refusal names the trimmed user and selects the password for retyping.
    signIn(form, QStringLiteral(" admin "), QStringLiteral("nope"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("无效的密码或者用户名admin ，请重试!"));
    EXPECT_EQ(log.lastKind(), 4);
    EXPECT_EQ(form.Password()->selectedText(), QStringLiteral("nope"));
    // The window trims blanks only: an ideographic space stays in the name it reports.
    signIn(form, QStringLiteral("admin\u3000"), QStringLiteral("nope"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("无效的密码或者用户名admin\u3000 ，请重试!"));
    // The user object's own reason is shown when it gives one.
    signIn(form, QStringLiteral("former"), QStringLiteral("former123"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("用户former已被停用"));

    EXPECT_FALSE(user().IsLoggedIn());
    EXPECT_EQ(form.result(), 0);
    EXPECT_TRUE(nothingStored());
}

// After repeated wrong passwords the window refuses at once with the wait in
// seconds (it never sleeps), stays open with nothing stored, and takes the
// right password once the wait is over.
TEST_F(Login, RepeatedFailuresAreRefusedWithTheWaitAndTheWindowStaysUsable)
{
    QDateTime clock(QDate(2026, 3, 1), QTime(9, 0));
    user().SetClock([&clock] { return clock; });
    jx::frmLogin form(*session);
    form.LoadForm();
    for (int i = 1; i < CurrentUser::kFreeFailures; ++i)
        signIn(form, QStringLiteral("clerk"), QStringLiteral("nope"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("无效的密码或者用户名clerk ，请重试!"));
    signIn(form, QStringLiteral("clerk"), QStringLiteral("nope"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("无效的密码或者用户名，请 5 秒后再试"));
    EXPECT_EQ(log.lastKind(), 4);
    clock = clock.addSecs(1);
    signIn(form, QStringLiteral("clerk"), QStringLiteral("clerk123"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("密码错误次数过多，请 4 秒后再试"));
    EXPECT_FALSE(user().IsLoggedIn());
    EXPECT_EQ(form.result(), 0);
    EXPECT_TRUE(nothingStored());
    EXPECT_EQ(form.Password()->selectedText(), QStringLiteral("clerk123"));

    clock = clock.addSecs(4);
    signIn(form, QStringLiteral("clerk"), QStringLiteral("clerk123"));
    EXPECT_TRUE(user().IsLoggedIn());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(Login, AcceptedSignInStoresUntrimmedNameAndFillsEnvironment)
{
    jx::frmLogin form(*session);
    form.LoadForm();
    form.Spinner(0)->setValue(2024);
    form.Spinner(1)->setValue(2);
    form.Spinner(2)->setValue(29);
    signIn(form, QStringLiteral("  clerk "), QStringLiteral(" clerk123 "));
    EXPECT_TRUE(user().IsLoggedIn());
    EXPECT_EQ(user().UserName(), QStringLiteral("clerk"));
    EXPECT_EQ(stored(QStringLiteral("LogonUser")), QStringLiteral("  clerk "));
    const RunEnvironment &env = session->AppContext()->Environment();
    EXPECT_EQ(env.OperationDate(), QDate(2024, 2, 29));
    EXPECT_EQ(env.UserCode(), QStringLiteral("0002"));
    EXPECT_EQ(env.UserName(), QStringLiteral("clerk"));
    EXPECT_EQ(stored(QStringLiteral("remerber")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("remerberString")), QString());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(Login, RecentUserRotation)
{
    setRecentStyle(3);
    installation.execute(QStringLiteral("insert into jx_user (usercode, username, pwhash, isadmin, active) values ('0010', 'b', '', 0, 1)"));
    installation.execute(QStringLiteral("insert into jx_user (usercode, username, pwhash, isadmin, active) values ('0011', 'd', '', 0, 1)"));
    const QStringList abc{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    storeRecent(abc);
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        ASSERT_EQ(form.CobUser()->count(), 3);
        EXPECT_EQ(form.CobUser()->itemText(0), QStringLiteral("a"));
        signIn(form, QStringLiteral("b"), QString());
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(recentStored(3), (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
    // Back to [a],[b],[c] and a newcomer signs in: c drops out.
    storeRecent(abc);
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        signIn(form, QStringLiteral("d"), QString());
    }
    EXPECT_EQ(recentStored(3), (QStringList{QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("b")}));

    // With a count of 0 nothing is stored under the numbered keys.
    jx::SettingsStore::deleteSetting(kApp, kMain, QString());
    setRecentStyle(0);
    jx::frmLogin form(*session);
    form.LoadForm();
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_TRUE(user().IsLoggedIn());
    EXPECT_EQ(stored(QStringLiteral("1LogonUser")), QStringLiteral("<none>"));
}

TEST(LoginRotation, PureRules)
{
    const QStringList abc{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    EXPECT_EQ(jx::frmLogin::RotateRecentUsers(abc, QStringLiteral("a"), 3), abc);
    EXPECT_EQ(jx::frmLogin::RotateRecentUsers(abc, QStringLiteral("c"), 3),
              (QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(jx::frmLogin::RotateRecentUsers({}, QStringLiteral("x"), 3), QStringList{QStringLiteral("x")});
    EXPECT_TRUE(jx::frmLogin::RotateRecentUsers(abc, QStringLiteral("x"), 0).isEmpty());
    // Exact, case-sensitive comparison: "A" is another user.
    EXPECT_EQ(jx::frmLogin::RotateRecentUsers(abc, QStringLiteral("A"), 4),
              (QStringList{QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // Separator and bracket characters in names stay whole; "b" inside "x[b]" is not "b".
    const QStringList odd{QStringLiteral("x[b]"), QStringLiteral("b"), QStringLiteral("c,d")};
    EXPECT_EQ(jx::frmLogin::RotateRecentUsers(odd, QStringLiteral("b"), 3),
              (QStringList{QStringLiteral("b"), QStringLiteral("x[b]"), QStringLiteral("c,d")}));
    EXPECT_EQ(jx::frmLogin::RotateRecentUsers(odd, QStringLiteral("e,f"), 2), (QStringList{QStringLiteral("e,f"), QStringLiteral("x[b]")}));
}

TEST_F(Login, UserListStyles)
{
    installation.setOption(12, QStringLiteral("loginuserstyle"), QStringLiteral("1"));
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        EXPECT_EQ(form.CobUser()->count(), 0);
        EXPECT_EQ(form.ComboStyle(), 1);
    }
    // Any other style lists the directory's active users, the stored last user shown.
    installation.setOption(12, QStringLiteral("loginuserstyle"), QStringLiteral("0"));
    jx::SettingsStore::saveSetting(kApp, kMain, QStringLiteral("LogonUser"), QStringLiteral("clerk"));
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        ASSERT_EQ(form.CobUser()->count(), 2);
        EXPECT_EQ(form.CobUser()->itemText(0), QStringLiteral("admin"));
        EXPECT_EQ(form.CobUser()->itemText(1), QStringLiteral("clerk"));
        EXPECT_EQ(form.CobUser()->currentText(), QStringLiteral("clerk"));
        EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("lblProductName_B"))->text(), kApp);
        EXPECT_FALSE(form.findChild<QLabel *>(QStringLiteral("lblProductName_B"))->isHidden());
    }
    // Only exactly 2 means recent users; 2.4 is "any other value": the directory.
    setRecentStyle(3);
    installation.setOption(12, QStringLiteral("loginuserstyle"), QStringLiteral("2.4"));
    storeRecent({QStringLiteral("recent")});
    jx::frmLogin other(*session);
    other.LoadForm();
    ASSERT_EQ(other.CobUser()->count(), 2);
    EXPECT_EQ(other.CobUser()->itemText(0), QStringLiteral("admin"));
}

TEST_F(Login, TextsFromContextAndFocusOnActivation)
{
    installation.setText(QStringLiteral("/login/cmdok"), QStringLiteral("登录(&L)"));
    installation.setText(QStringLiteral("/login/hint"), QStringLiteral("请输入密码"));
    installation.execute(QStringLiteral("delete from jx_text where keyname='/login/cmdcancel'"));
    installation.setOption(12, QStringLiteral("loginuserstyle"), QStringLiteral("1")); // empty list, no name
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        EXPECT_EQ(form.XPCmdOk()->text(), QStringLiteral("登录(&L)"));
        EXPECT_EQ(form.XPCmdCancel()->text(), QStringLiteral("取消(&C)")); // no text: the default
        EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("lblMess"))->text(), QStringLiteral("请输入密码"));
        form.show();
        QWidget *focused = form.focusWidget();
        EXPECT_TRUE(focused == form.CobUser() || focused == form.CobUser()->lineEdit());
    }
    jx::SettingsStore::saveSetting(kApp, kMain, QStringLiteral("LogonUser"), QStringLiteral("admin"));
    jx::frmLogin form(*session);
    form.LoadForm();
    form.show();
    EXPECT_EQ(form.focusWidget(), form.Password());
}

TEST_F(Login, RunTimeErrorsAreLoggedAndTheWindowStays)
{
    // An installation opened only up to its database: no context, no user yet.
    jx::ConsoleSession early(&log);
    ASSERT_TRUE(early.OpenConfiguration(installation.configFile()));
    early.SetUpLog();
    ASSERT_TRUE(early.OpenDatabase());
    jx::frmLogin form(early);
    form.LoadForm();
    ASSERT_FALSE(log.entries.isEmpty());
    EXPECT_EQ(log.lastMessage(), QStringLiteral("加载数据时出错,原因:缺少对象"));
    EXPECT_EQ(log.lastKind(), 4);
    // The user list step was not reached, so the directory's users were not added.
    EXPECT_EQ(form.CobUser()->count(), 0);

    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_EQ(log.lastMessage(), QStringLiteral("发生错误:缺少对象"));
    EXPECT_EQ(log.lastKind(), 8);
    EXPECT_EQ(form.result(), 0);
    EXPECT_FALSE(QFile::exists(jx::SettingsStore::fileFor(kApp)));
}

TEST_F(Login, RememberedPasswordRoundTripsThroughCipher)
{
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        EXPECT_TRUE(form.chkRemberme()->isHidden()); // not enabled in the configuration
    }
    open(QStringLiteral("<settings><remerber> TRUE </remerber></settings>"));
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        EXPECT_FALSE(form.chkRemberme()->isHidden());
        EXPECT_EQ(form.chkRemberme()->text(), QStringLiteral("保存密码"));
        form.chkRemberme()->setChecked(true);
        signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
        ASSERT_TRUE(user().IsLoggedIn());
    }
    const QString cipherText = stored(QStringLiteral("remerberString"));
    EXPECT_FALSE(cipherText.isEmpty());
    EXPECT_FALSE(cipherText.contains(QStringLiteral("admin123")));
    EXPECT_EQ(stored(QStringLiteral("remerber")), QStringLiteral("1"));
    {
        jx::frmLogin again(*session);
        again.LoadForm();
        EXPECT_TRUE(again.chkRemberme()->isChecked());
        EXPECT_EQ(again.Password()->text(), QStringLiteral("admin123"));
    }
    // Ticked with an empty password: an empty text is stored.
    installation.execute(QStringLiteral("insert into jx_user (usercode, username, pwhash, isadmin, active) values ('0012', 'guest', '', 0, 1)"));
    jx::frmLogin form(*session);
    form.LoadForm();
    form.chkRemberme()->setChecked(true);
    signIn(form, QStringLiteral("guest"), QString());
    EXPECT_TRUE(user().IsLoggedIn());
    EXPECT_EQ(stored(QStringLiteral("remerber")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("remerberString")), QString());
}

// The settings file copied to another account, or the user's secret
// removed: the box stays ticked, the password box stays empty.
TEST_F(Login, RememberedPasswordIsReadOnlyWithTheSameUsersSecret)
{
    open(QStringLiteral("<settings><remerber>1</remerber></settings>"));
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        form.chkRemberme()->setChecked(true);
        signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
        ASSERT_TRUE(user().IsLoggedIn());
    }
    ASSERT_FALSE(stored(QStringLiteral("remerberString")).isEmpty());
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(installation.path(QStringLiteral("another-account"))));
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        EXPECT_TRUE(form.chkRemberme()->isChecked());
        EXPECT_EQ(form.Password()->text(), QString());
    }
    qputenv("XDG_DATA_HOME", home);
    {
        jx::frmLogin form(*session);
        form.LoadForm();
        EXPECT_EQ(form.Password()->text(), QStringLiteral("admin123")); // the same user again
    }
    ASSERT_TRUE(QFile::remove(UserSecret().filePath()));
    jx::frmLogin form(*session);
    form.LoadForm();
    EXPECT_EQ(form.Password()->text(), QString());
}

TEST_F(Login, EnterInPasswordBoxSignsIn)
{
    jx::frmLogin form(*session);
    form.LoadForm();
    form.CobUser()->setEditText(QStringLiteral("admin"));
    form.Password()->setText(QStringLiteral("admin123"));
    QTest::keyClick(form.Password(), Qt::Key_Return);
    EXPECT_TRUE(user().IsLoggedIn());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(Login, PasswordBoxSwallowsCutCopyPaste)
{
    jx::frmLogin form(*session);
    form.LoadForm();
    form.Password()->setText(QStringLiteral("secret"));
    form.Password()->selectAll();
    QTest::keyClick(form.Password(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(form.Password()->text(), QStringLiteral("secret"));
    form.Password()->setText(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    ASSERT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("pasted"));
    QTest::keyClick(form.Password(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.Password()->text(), QString());
}

TEST_F(Login, DateSpinnersWrap)
{
    jx::frmLogin form(*session);
    form.LoadForm();
    form.Spinner(1)->setValue(12);
    form.Spinner(1)->stepBy(1);
    EXPECT_EQ(form.Spinner(1)->value(), 1);
    form.Spinner(1)->stepBy(-1);
    EXPECT_EQ(form.Spinner(1)->value(), 12);
    form.Spinner(2)->setValue(31);
    form.Spinner(2)->stepBy(1);
    EXPECT_EQ(form.Spinner(2)->value(), 1);
    form.Spinner(2)->stepBy(-1);
    EXPECT_EQ(form.Spinner(2)->value(), 31);
}

TEST_F(Login, CancelButtonAndEscBothRunTheCancelRoutine)
{
    for (const bool viaEsc : {false, true}) {
        jx::frmLogin form(*session);
        form.LoadForm();
        form.show();
        user().SetUserName(QStringLiteral("admin"));
        if (viaEsc)
            QTest::keyClick(form.Password(), Qt::Key_Escape);
        else
            QTest::mouseClick(form.XPCmdCancel(), Qt::LeftButton);
        EXPECT_EQ(user().UserName(), QString()) << (viaEsc ? "Esc" : "Cancel button");
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.isVisible());
    }
    EXPECT_TRUE(nothingStored());
}

} // namespace
