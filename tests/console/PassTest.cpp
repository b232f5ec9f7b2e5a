#include "TestInstallation.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "console/dialogs/frmLogin.h"
#include "console/dialogs/frmPass.h"
#include "console/startup/ConsoleSession.h"
#include "console/log/Logger.h"
#include "platform/ILogWriter.h"
#include "platform/MessageBox.h"
#include "platform/com/ComPtr.h"

#include <QComboBox>
#include <QDirIterator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

namespace {

QString demoScript(const char *name)
{
    QFile f(programPath("JX_DEMO_DIR") + QStringLiteral("/") + QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class Entries final : public jx::ILogWriter
{
public:
    void LoadConfig(const QString &) override {}
    void Init() override {}
    void Write(const QString &, int32_t kind, const QString &message) override { lines << QString::number(kind) + QLatin1Char(' ') + message; }
    QString Encode(const QString &text) override { return text; }
    QStringList lines;
};

// The clerk signed in on a demo database, with "clerk123" as password.
class PasswordChange : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("jx.db"));
        QFile(file).open(QIODevice::WriteOnly);
        ASSERT_TRUE(db->OpenDirect(QStringLiteral("sqlite"), file));
        ASSERT_TRUE(db->ExecuteScript(demoScript("schema.sql")) && db->ExecuteScript(demoScript("seed.sql")));
        ASSERT_TRUE(db->ExecuteParams(QStringLiteral("update jx_user set pwhash=? where username='clerk'"),
                                      {CurrentUser::hashPassword(QStringLiteral("clerk123"))}));
        ASSERT_TRUE(context->Attach(db.get(), 0));
        user->Attach(context.get());
        user->SetUserName(QStringLiteral("clerk"));
        ASSERT_TRUE(user->Login(QStringLiteral("clerk123")));
        jx::Logger::SetWriter(&log);
        jx::Logger::SetSubjectSource([] { return QStringLiteral("测试"); });
        jx::Logger::SetUserNameSource([this] { return user->UserName(); });
    }
    void TearDown() override { jx::Logger::SetWriter(nullptr); }

    QTemporaryDir dir;
    com::ComPtr<Database> db = com::ComPtr<Database>::adopt(new Database());
    com::ComPtr<AppContext> context = com::ComPtr<AppContext>::adopt(new AppContext());
    com::ComPtr<CurrentUser> user = com::ComPtr<CurrentUser>::adopt(new CurrentUser());
    Entries log;
    jx::ScopedMessageBoxRecorder boxes;
};

TEST_F(PasswordChange, OldPasswordUnlocksTheNewBoxesOnlyWhenWholeAndTheChangeIsStored)
{
    jx::frmPass form(*context, *user);
    form.LoadForm();
    EXPECT_EQ(form.USER()->text(), QStringLiteral("clerk"));
    EXPECT_FALSE(form.USER()->isEnabled());
    EXPECT_FALSE(form.newpassword()->isEnabled());

    // Typed letter by letter: only the whole text unlocks.
    QTest::keyClicks(form.Oldpassword(), QStringLiteral("clerk12"));
    EXPECT_FALSE(form.newpassword()->isEnabled());
    QTest::keyClicks(form.Oldpassword(), QStringLiteral("3"));
    EXPECT_TRUE(form.newpassword()->isEnabled());
    EXPECT_TRUE(form.newpasswordagain()->isEnabled());

    // Differing only in letter case is refused.
    form.newpassword()->setText(QStringLiteral("Secret9"));
    form.newpasswordagain()->setText(QStringLiteral("secret9"));
    form.OkRoutine();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("密码两次输入不一致，请重输！"));
    EXPECT_EQ(user->Password(QString()), QStringLiteral("clerk123"));

    form.newpasswordagain()->setText(QStringLiteral("Secret9"));
    form.OkRoutine();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(log.lines.contains(QStringLiteral("2 祝贺你，修改密码成功！")));
    EXPECT_EQ(log.lines.filter(QStringLiteral("修改当用户密码")).size(), 1);
    EXPECT_EQ(log.lines.filter(QStringLiteral("<message>退出[]</message>")).size(), 1);
    EXPECT_EQ(user->Password(QString()), QStringLiteral("Secret9"));

    // The new password is what the database now accepts; the old one no longer.
    com::ComPtr<CurrentUser> again = com::ComPtr<CurrentUser>::adopt(new CurrentUser(context.get()));
    again->SetUserName(QStringLiteral("clerk"));
    EXPECT_FALSE(again->Login(QStringLiteral("clerk123")));
    EXPECT_TRUE(again->Login(QStringLiteral("Secret9")));
}

TEST_F(PasswordChange, WrongOldPasswordAndEmptyNewPasswordsAsk)
{
    jx::frmPass form(*context, *user);
    form.Py_Init(4711, QStringLiteral("密码"));
    form.LoadForm();
    form.Oldpassword()->setText(QStringLiteral("wrong"));
    form.OkRoutine();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("请先输入原先的旧密码后继续.."));
    EXPECT_EQ(boxes.last().title, QStringLiteral("提示："));

    // Both new boxes empty: "No" keeps the password, "Yes" empties it.
    form.Oldpassword()->setText(QStringLiteral("clerk123"));
    boxes.setAnswer(jx::No);
    form.OkRoutine();
    EXPECT_EQ(boxes.last().text, QStringLiteral("新密码为空，是否继续？"));
    EXPECT_EQ(boxes.last().style, jx::Exclamation | jx::YesNo);
    EXPECT_EQ(user->Password(QString()), QStringLiteral("clerk123"));
    boxes.setAnswer(jx::Yes);
    form.OkRoutine();
    EXPECT_EQ(user->Password(QString()), QString()) << log.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(log.lines.filter(QStringLiteral("<progid>4711</progid>")).size(), 2); // the change and the leaving record

    // Without a password the old box is locked and the new ones open at once;
    // a window the main window merely shows loads itself.
    jx::frmPass next(*context, *user);
    next.show();
    EXPECT_EQ(next.USER()->text(), QStringLiteral("clerk"));
    EXPECT_FALSE(next.Oldpassword()->isEnabled());
    EXPECT_TRUE(next.newpassword()->isEnabled());
}

// Signed in through the login window on a real installation with its own log
// files, the clerk changes the password; afterwards neither the old nor the new
// password is anywhere in the installation's files as text.
TEST(PasswordChangeOnDisk, NoPlainPasswordInDatabaseSettingsOrLog)
{
    jxtest::TestInstallation installation;
    installation.writeConfig();
    // The demo prints its passwords as the login hint; that text is not what is searched for.
    installation.execute(QStringLiteral("delete from jx_text where keyname='/login/hint'"));
    jx::ScopedMessageBoxRecorder boxes;
    const QString newPassword = QStringLiteral("Nw7-Geheim");
    {
        jx::ConsoleSession session; // the product's own log writer
        const auto opened = session.OpenInstallation(installation.configFile());
        ASSERT_TRUE(opened) << opened.error().toStdString();
        {
            jx::frmLogin login(session);
            login.LoadForm();
            login.CobUser()->setEditText(QStringLiteral("clerk"));
            login.Password()->setText(QStringLiteral("clerk123"));
            login.OkRoutine();
            ASSERT_EQ(login.result(), QDialog::Accepted);
        }
        jx::frmPass form(*session.AppContext(), *session.CurrentUser());
        form.LoadForm();
        form.Oldpassword()->setText(QStringLiteral("clerk123"));
        form.newpassword()->setText(newPassword);
        form.newpasswordagain()->setText(newPassword);
        form.OkRoutine();
        ASSERT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(session.CurrentUser()->Password(QString()), newPassword);
        session.Shutdown();
    }
    QStringList searched;
    for (QDirIterator it(installation.folder(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        const QByteArray bytes = f.readAll();
        searched << QDir(installation.folder()).relativeFilePath(file);
        for (const QString &secret : {QStringLiteral("clerk123"), newPassword}) {
            const QByteArray utf16(reinterpret_cast<const char *>(secret.utf16()), secret.size() * 2);
            EXPECT_FALSE(bytes.contains(secret.toUtf8()) || bytes.contains(utf16)) << secret.toStdString() << " in " << file.toStdString();
        }
    }
    // The search covered what the session wrote: the database, the settings and a log file.
    EXPECT_TRUE(searched.contains(QStringLiteral("jx.db")));
    EXPECT_FALSE(searched.filter(QStringLiteral(".ini")).isEmpty()) << searched.join(u' ').toStdString();
    EXPECT_FALSE(searched.filter(QRegularExpression(QStringLiteral("^log/"))).isEmpty()) << searched.join(u' ').toStdString();
}

} // namespace
