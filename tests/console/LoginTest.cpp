#include "FakeRuntime.h"

#include "console/dialogs/frmLogin.h"
#include "console/log/Logger.h"
#include "console/startup/bMain.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("登录测试");
const QString kMain = QStringLiteral("main");

class Login : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        jx::ProgramInfo::setProgramFolder(dir.path());
        jx::SettingsStore::setRootFolder(dir.path() + QStringLiteral("/settings"));
        useConfig(QString());
        jx::Globals().factory = &runtime;
        jx::Globals().currentUser = runtime.CreateCurrentUser();
        jx::Globals().appContext = runtime.CreateAppContext(nullptr);
        jx::Logger::SetWriter(&runtime.writer);
        jx::Logger::SetSubjectSource([] { return QString(); });
        jx::Logger::SetUserNameSource([] { return QString(); });
    }
    void TearDown() override
    {
        dir.setAutoRemove(!HasFailure());
        jx::Globals().currentUser.reset();
        jx::Globals().appContext.reset();
        jx::Globals().config.reset();
        jx::Globals().factory = nullptr;
        jx::Logger::SetWriter(nullptr);
        jx::ProgramInfo::setProgramFolder(QString());
        jx::SettingsStore::setRootFolder(QString());
    }
    void useConfig(const QString &systemBody)
    {
        QFile f(dir.path() + QStringLiteral("/JxMain1.exe.Config"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("<configuration><system><caption>") + kApp + QStringLiteral("</caption>") + systemBody
                 + QStringLiteral("</system></configuration>")).toUtf8());
        f.close();
        jx::Globals().config = std::make_unique<jx::clsConfig>();
        ASSERT_TRUE(jx::Globals().config->Init(f.fileName()));
    }
    QString stored(const QString &key) { return jx::SettingsStore::getSetting(kApp, kMain, key, QStringLiteral("<none>")); }
    void setRecentStyle(int n)
    {
        runtime.w.options[QStringLiteral("12/loginuserstyle")] = QStringLiteral("2");
        runtime.w.options[QStringLiteral("38/loginusercount")] = QString::number(n);
    }
    void signIn(jx::frmLogin &form, const QString &user, const QString &password)
    {
        form.CobUser()->setEditText(user);
        form.Password()->setText(password);
        form.OkRoutine();
    }
    QStringList recentStored(int upTo)
    {
        QStringList out;
        for (int i = 1; i <= upTo; ++i)
            out << jx::SettingsStore::getSetting(kApp, kMain, QString::number(i) + QStringLiteral("LogonUser"));
        return out;
    }
    QTemporaryDir dir;
    jxtest::FakeRuntime runtime;
};

TEST_F(Login, InvalidOperationDateIsRefused)
{
    jx::frmLogin form;
    form.LoadForm();
    form.Spinner(0)->setValue(2009);
    form.Spinner(1)->setValue(2);
    form.Spinner(2)->setValue(30);
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    ASSERT_FALSE(runtime.w.entries.isEmpty());
    EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("操作日期2009-2-30不正确,请重新选择"));
    EXPECT_EQ(runtime.w.entries.last().kind, 4);
    EXPECT_FALSE(jx::Globals().currentUser->IsLoggedIn());
    EXPECT_EQ(form.result(), 0);

    // A year a date cannot hold is refused the same way.
    form.Spinner(0)->setValue(99);
    form.Spinner(1)->setValue(1);
    form.Spinner(2)->setValue(1);
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("操作日期99-1-1不正确,请重新选择"));
    EXPECT_FALSE(jx::Globals().currentUser->IsLoggedIn());
}

TEST_F(Login, EmptyUserNameIsRefused)
{
    jx::frmLogin form;
    form.LoadForm();
    signIn(form, QString(), QStringLiteral("x"));
    ASSERT_FALSE(runtime.w.entries.isEmpty());
    EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("用户名不能为空，请重试!"));
    EXPECT_EQ(runtime.w.entries.last().kind, 4);
}

TEST_F(Login, WrongPasswordTextAndNoSettingsChanged)
{
    jx::frmLogin form;
    form.LoadForm();
    signIn(form, QStringLiteral(" admin "), QStringLiteral("nope"));
    ASSERT_FALSE(runtime.w.entries.isEmpty());
    EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("无效的密码或者用户名admin ，请重试!"));
    EXPECT_EQ(runtime.w.entries.last().kind, 4);
    EXPECT_EQ(form.Password()->selectedText(), QStringLiteral("nope"));
    EXPECT_FALSE(QFile::exists(jx::SettingsStore::fileFor(kApp)));

    runtime.w.loginError = QStringLiteral("用户已停用");
    signIn(form, QStringLiteral("admin"), QStringLiteral("nope"));
    EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("用户已停用"));
}

TEST_F(Login, AcceptedSignInStoresUntrimmedNameAndFillsEnvironment)
{
    jx::frmLogin form;
    form.LoadForm();
    form.Spinner(0)->setValue(2024);
    form.Spinner(1)->setValue(2);
    form.Spinner(2)->setValue(29);
    signIn(form, QStringLiteral("  admin "), QStringLiteral(" admin123 "));
    EXPECT_TRUE(jx::Globals().currentUser->IsLoggedIn());
    EXPECT_EQ(jx::Globals().currentUser->UserName(), QStringLiteral("admin"));
    EXPECT_EQ(stored(QStringLiteral("LogonUser")), QStringLiteral("  admin "));
    EXPECT_EQ(runtime.w.env.OperationDate, QDate(2024, 2, 29));
    EXPECT_EQ(runtime.w.env.UserCode, QStringLiteral("U-admin"));
    EXPECT_EQ(stored(QStringLiteral("remerber")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("remerberString")), QString());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(Login, RecentUserRotation)
{
    setRecentStyle(3);
    for (const auto &[i, n] : {std::pair{1, "a"}, std::pair{2, "b"}, std::pair{3, "c"}})
        jx::SettingsStore::saveSetting(kApp, kMain, QString::number(i) + QStringLiteral("LogonUser"), QLatin1String(n));
    runtime.w.users[QStringLiteral("b")] = QStringLiteral("pb");
    runtime.w.users[QStringLiteral("d")] = QStringLiteral("pd");
    {
        jx::frmLogin form;
        form.LoadForm();
        EXPECT_EQ(form.CobUser()->count(), 3);
        EXPECT_EQ(form.CobUser()->itemText(0), QStringLiteral("a"));
        signIn(form, QStringLiteral("b"), QStringLiteral("pb"));
    }
    EXPECT_EQ(recentStored(3), (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
    // Reset to [a],[b],[c] and sign in as a newcomer: c drops out.
    for (const auto &[i, n] : {std::pair{1, "a"}, std::pair{2, "b"}, std::pair{3, "c"}})
        jx::SettingsStore::saveSetting(kApp, kMain, QString::number(i) + QStringLiteral("LogonUser"), QLatin1String(n));
    {
        jx::frmLogin form;
        form.LoadForm();
        signIn(form, QStringLiteral("d"), QStringLiteral("pd"));
    }
    EXPECT_EQ(recentStored(3), (QStringList{QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("b")}));
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

TEST_F(Login, RecentCountZeroStoresNoNumberedKeys)
{
    setRecentStyle(0);
    jx::frmLogin form;
    form.LoadForm();
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_TRUE(jx::Globals().currentUser->IsLoggedIn());
    EXPECT_EQ(stored(QStringLiteral("1LogonUser")), QStringLiteral("<none>"));
}

TEST_F(Login, UserListStyles)
{
    runtime.w.options[QStringLiteral("12/loginuserstyle")] = QStringLiteral("1");
    {
        jx::frmLogin form;
        form.LoadForm();
        EXPECT_EQ(form.CobUser()->count(), 0);
        EXPECT_EQ(form.ComboStyle(), 1);
    }
    runtime.w.options[QStringLiteral("12/loginuserstyle")] = QStringLiteral("0");
    jx::SettingsStore::saveSetting(kApp, kMain, QStringLiteral("LogonUser"), QStringLiteral("clerk"));
    jx::frmLogin form;
    form.LoadForm();
    EXPECT_EQ(form.CobUser()->count(), 2);
    EXPECT_EQ(form.CobUser()->currentText(), QStringLiteral("clerk"));
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("lblProductName_B"))->text(), kApp);
    EXPECT_FALSE(form.findChild<QLabel *>(QStringLiteral("lblProductName_B"))->isHidden());

    // Only exactly 2 means recent users; 2.4 is "any other value": the directory.
    setRecentStyle(3);
    runtime.w.options[QStringLiteral("12/loginuserstyle")] = QStringLiteral("2.4");
    jx::SettingsStore::saveSetting(kApp, kMain, QStringLiteral("1LogonUser"), QStringLiteral("recent"));
    jx::frmLogin other;
    other.LoadForm();
    ASSERT_EQ(other.CobUser()->count(), 2);
    EXPECT_EQ(other.CobUser()->itemText(0), QStringLiteral("admin"));
}

TEST_F(Login, TextsFromContextAndFocusOnActivation)
{
    runtime.w.texts[QStringLiteral("/login/cmdok")] = QStringLiteral("登录(&L)");
    runtime.w.texts[QStringLiteral("/login/cmdcancel")] = QStringLiteral("退出(&X)");
    runtime.w.texts[QStringLiteral("/login/hint")] = QStringLiteral("请输入密码");
    runtime.w.options[QStringLiteral("12/loginuserstyle")] = QStringLiteral("1"); // empty list, no name
    {
        jx::frmLogin form;
        form.LoadForm();
        EXPECT_EQ(form.XPCmdOk()->text(), QStringLiteral("登录(&L)"));
        EXPECT_EQ(form.XPCmdCancel()->text(), QStringLiteral("退出(&X)"));
        EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("lblMess"))->text(), QStringLiteral("请输入密码"));
        form.show();
        QWidget *focused = form.focusWidget();
        EXPECT_TRUE(focused == form.CobUser() || focused == form.CobUser()->lineEdit());
    }
    jx::SettingsStore::saveSetting(kApp, kMain, QStringLiteral("LogonUser"), QStringLiteral("admin"));
    jx::frmLogin form;
    form.LoadForm();
    form.show();
    EXPECT_EQ(form.focusWidget(), form.Password());
}

TEST_F(Login, RunTimeErrorsAreLoggedAndTheWindowStays)
{
    jx::Globals().appContext.reset();
    {
        jx::frmLogin form;
        form.LoadForm();
        ASSERT_FALSE(runtime.w.entries.isEmpty());
        EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("加载数据时出错,原因:缺少对象"));
        EXPECT_EQ(runtime.w.entries.last().kind, 4);
        // The user list step failed, so the directory's two users were not added.
        EXPECT_EQ(form.CobUser()->count(), 0);
    }
    jx::Globals().appContext = runtime.CreateAppContext(nullptr);
    jx::frmLogin form;
    form.LoadForm();
    jx::Globals().currentUser.reset();
    signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    EXPECT_EQ(runtime.w.entries.last().message, QStringLiteral("发生错误:缺少对象"));
    EXPECT_EQ(runtime.w.entries.last().kind, 8);
    EXPECT_EQ(form.result(), 0);
    EXPECT_FALSE(QFile::exists(jx::SettingsStore::fileFor(kApp)));
}

TEST_F(Login, RememberBoxWithEmptyPasswordStoresEmptyText)
{
    useConfig(QStringLiteral("<settings><remerber> TRUE </remerber></settings>"));
    runtime.w.users[QStringLiteral("guest")] = QString();
    jx::frmLogin form;
    form.LoadForm();
    EXPECT_FALSE(form.chkRemberme()->isHidden());
    form.chkRemberme()->setChecked(true);
    signIn(form, QStringLiteral("guest"), QString());
    EXPECT_TRUE(jx::Globals().currentUser->IsLoggedIn());
    EXPECT_EQ(stored(QStringLiteral("remerber")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("remerberString")), QString());
}

TEST_F(Login, RememberedPasswordRoundTripsThroughCipher)
{
    useConfig(QStringLiteral("<settings><remerber>1</remerber></settings>"));
    {
        jx::frmLogin form;
        form.LoadForm();
        form.chkRemberme()->setChecked(true);
        signIn(form, QStringLiteral("admin"), QStringLiteral("admin123"));
    }
    EXPECT_EQ(stored(QStringLiteral("remerberString")), QStringLiteral("enc:kepo:admin123"));
    jx::frmLogin again;
    again.LoadForm();
    EXPECT_TRUE(again.chkRemberme()->isChecked());
    EXPECT_EQ(again.Password()->text(), QStringLiteral("admin123"));
}

TEST_F(Login, RememberBoxHiddenUnlessConfigured)
{
    jx::frmLogin form;
    form.LoadForm();
    EXPECT_TRUE(form.chkRemberme()->isHidden());
}

TEST_F(Login, EnterInPasswordBoxSignsIn)
{
    jx::frmLogin form;
    form.LoadForm();
    form.CobUser()->setEditText(QStringLiteral("admin"));
    form.Password()->setText(QStringLiteral("admin123"));
    QTest::keyClick(form.Password(), Qt::Key_Return);
    EXPECT_TRUE(jx::Globals().currentUser->IsLoggedIn());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(Login, PasswordBoxSwallowsCutCopyPaste)
{
    jx::frmLogin form;
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
    jx::frmLogin form;
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

TEST_F(Login, CancelClearsUserNameAndStoresNothing)
{
    jx::frmLogin form;
    form.LoadForm();
    jx::Globals().currentUser->SetUserName(QStringLiteral("admin"));
    form.CancelRoutine();
    EXPECT_EQ(jx::Globals().currentUser->UserName(), QString());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(jx::SettingsStore::fileFor(kApp)));
}

} // namespace
