#include "TestInstallation.h"

#include "console/dialogs/frmLogin.h"
#include "console/dialogs/frmPass.h"
#include "console/startup/ConsoleSession.h"
#include "console/workspace/frmMain.h"
#include "controls/Button.h"
#include "platform/AnsiCodec.h"
#include "platform/MessageBox.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Every way a password could sit in a file as plain text.
QList<QByteArray> spellings(const QString &password)
{
    QByteArray utf16(reinterpret_cast<const char *>(password.utf16()), password.size() * 2);
    return {password.toUtf8(), utf16, jx::toAnsi(password)};
}

} // namespace

// A whole session: sign in with the remember box ticked, change the password,
// sign in again with the new one, lock and unlock the screen. Afterwards
// neither password is anywhere in the database, settings, registry, log or
// temporary files.
TEST(NoPlainPassword, NothingLeftAfterARememberedSignInAndAChange)
{
    const QString first = QStringLiteral("Pw原始-7723x"), second = QStringLiteral("Pw更改-9911y");
    jxtest::TestInstallation installation;
    installation.execute(QStringLiteral("update jx_user set pwhash=? where username='admin'"), {CurrentUser::hashPassword(first)});
    installation.writeConfig(QStringLiteral("<settings><remerber>1</remerber></settings>"));
    com::RegistryStore::setFilePath(installation.path(QStringLiteral("registry/registry.json")));
    const QByteArray oldTemp = qgetenv("TMPDIR");
    QDir().mkpath(installation.path(QStringLiteral("tmp")));
    qputenv("TMPDIR", QFile::encodeName(installation.path(QStringLiteral("tmp"))));
    jx::ScopedMessageBoxRecorder boxes;
    {
        jx::ConsoleSession session;
        const auto opened = session.OpenInstallation(installation.configFile());
        ASSERT_TRUE(opened) << opened.error().toStdString();
        {
            jx::frmLogin login(session);
            login.LoadForm();
            login.chkRemberme()->setChecked(true);
            login.CobUser()->setEditText(QStringLiteral("admin"));
            login.Password()->setText(first);
            login.OkRoutine();
            ASSERT_TRUE(session.CurrentUser()->IsLoggedIn());
        }
        {
            jx::frmPass change(*session.AppContext(), *session.CurrentUser());
            change.LoadForm();
            change.Oldpassword()->setText(first);
            change.newpassword()->setText(second);
            change.newpasswordagain()->setText(second);
            change.OkRoutine();
            ASSERT_EQ(change.result(), QDialog::Accepted);
        }
        {
            jx::frmLogin login(session);
            login.LoadForm();
            EXPECT_EQ(login.Password()->text(), first); // remembered, enciphered
            login.Password()->setText(second);
            login.OkRoutine();
            ASSERT_TRUE(session.CurrentUser()->IsLoggedIn());
        }
        {
            // The operator steps away: the screen is locked and unlocked with the new password.
            auto *main = new jx::frmMain(session);
            session.mainWindow = main;
            main->LoadForm();
            main->show();
            main->LockScreen();
            ASSERT_TRUE(main->isLocked());
            main->txtPassword()->setText(second);
            main->ImgBtn(3)->click();
            ASSERT_FALSE(main->isLocked());
            main->close();
            QApplication::processEvents();
        }
        session.Shutdown();
    }
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
    com::RegistryStore::setFilePath(QString());

    int files = 0;
    QDirIterator it(installation.folder(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        const QByteArray bytes = f.readAll();
        ++files;
        for (const QString &password : {first, second})
            for (const QByteArray &plain : spellings(password))
                EXPECT_FALSE(bytes.contains(plain)) << "a plain password in " << f.fileName().toStdString();
    }
    EXPECT_GE(files, 3); // at least the database, the settings and the log were looked at
    EXPECT_TRUE(QFile::exists(jx::SettingsStore::fileFor(QStringLiteral("简衡测试"))));
}
