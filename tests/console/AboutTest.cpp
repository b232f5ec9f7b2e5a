#include "FakeLogWriter.h"
#include "TestInstallation.h"

#include "controls/dLinkLabel.h"
#include "console/config/bCommon.h"
#include "components/context/AppContext.h"
#include "components/data/Database.h"
#include "console/config/clsConfig.h"
#include "console/dialogs/frmAbout.h"
#include "console/support/SystemInfoTool.h"
#include "console/startup/ConsoleSession.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/com/RegistryStore.h"

#include <QFontMetrics>
#include <QLabel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kApp = QStringLiteral("简衡测试");

// The about window on a real installation opened as the console opens it.
class About : public ::testing::Test
{
protected:
    void SetUp() override
    {
        com::RegistryStore::setFilePath(installation.path(QStringLiteral("registry.json")));
        open(QStringLiteral("<webhome>http://www.example.cn/update</webhome>"));
    }
    void TearDown() override
    {
        session.reset();
        com::RegistryStore::setFilePath(QString());
    }
    void open(const QString &systemBody)
    {
        session.reset();
        installation.writeConfig(systemBody);
        session = std::make_unique<jx::ConsoleSession>(&log);
        const auto opened = session->OpenInstallation(installation.configFile());
        ASSERT_TRUE(opened) << opened.error().toStdString();
    }
    std::unique_ptr<jx::frmAbout> form()
    {
        return std::make_unique<jx::frmAbout>(*session->AppContext(), *session->Config());
    }

    jxtest::TestInstallation installation;
    jxtest::FakeLogWriter log;
    std::unique_ptr<jx::ConsoleSession> session;
    jx::ScopedMessageBoxRecorder boxes;
};

TEST_F(About, DefaultTextsWithoutStoredEditionOrServerLine)
{
    auto about = form();
    // Only the version numbers, and nothing logged about an edition.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^版本:\\d+\\.\\d+\\.\\d+$")).match(about->lblVersion()->text()).hasMatch())
        << about->lblVersion()->text().toStdString();
    EXPECT_TRUE(log.messagesOfKind(1).filter(QStringLiteral("安装版本")).isEmpty());
    EXPECT_EQ(about->dlnkWeb()->Caption(), QStringLiteral("升级网站:http://www.example.cn/update"));
    EXPECT_EQ(about->dlnkWeb()->Link(), QStringLiteral("http://www.example.cn/update"));
    EXPECT_EQ(about->lblTitle(0)->text(), kApp);
    EXPECT_EQ(about->lblTitle(1)->text(), kApp);
    EXPECT_EQ(about->lblProduct()->text(), QStringLiteral("程序制作：简衡软件"));
    // SQLite: the description is the file description alone.
    EXPECT_FALSE(about->lblDescription()->text().contains(QLatin1Char('\n')));
    EXPECT_FALSE(about->lblDescription()->text().isEmpty());
    EXPECT_EQ(about->lblPath()->toolTip(), jx::AppPath());
    EXPECT_EQ(about->dlnkPath()->Link(), jx::AppPath());
    EXPECT_EQ(about->dlnkPath()->Caption(), about->lblPath()->text());
    EXPECT_TRUE(about->dlnkPath()->Caption().startsWith(QStringLiteral("安装目录:")));
    // The built-in logo stays for the product's own producer text.
    EXPECT_FALSE(about->ImgLogo()->isHidden());
    EXPECT_EQ(about->CmdOK()->accessibleName(), QStringLiteral("确定(O)"));
}

TEST_F(About, StoredEditionTextsLogoAndButtons)
{
    ASSERT_TRUE(jx::SettingsStore::saveSetting(kApp, QStringLiteral("main"), QStringLiteral("ISVERSION"), QStringLiteral("专业版")));
    installation.setText(QStringLiteral("/frmabout/version"), QStringLiteral("Version"));
    installation.setText(QStringLiteral("/frmabout/weburl"), QStringLiteral("http://mirror.example.cn"));
    installation.setText(QStringLiteral("/main/copyright"), QStringLiteral("某某软件公司"));
    installation.setText(QStringLiteral("/logo"), QStringLiteral("%app.path%\\nologo.png"));
    installation.setText(QStringLiteral("/frmabout/cmdsysteminfo"), QStringLiteral("系统(&I)"));
    open(QStringLiteral("<webhome>http://www.example.cn</webhome>"));
    auto about = form();
    EXPECT_TRUE(about->lblVersion()->text().startsWith(QStringLiteral("Version:")));
    EXPECT_TRUE(about->lblVersion()->text().endsWith(QStringLiteral(" 安装版本: 专业版"))) << about->lblVersion()->text().toStdString();
    EXPECT_EQ(log.messagesOfKind(1).filter(QStringLiteral("安装版本：专业版")).size(), 1);
    EXPECT_EQ(about->dlnkWeb()->Link(), QStringLiteral("http://mirror.example.cn"));
    // A missing logo file and a producer that is not ours: no logo, titles moved left.
    EXPECT_TRUE(about->ImgLogo()->isHidden());
    EXPECT_EQ(about->lblTitle(0)->x(), about->ImgLogo()->x());
    EXPECT_EQ(about->lblTitle(1)->x(), about->ImgLogo()->x());
    EXPECT_EQ(about->cmdInfo()->text(), QStringLiteral("系统(&I)"));
    EXPECT_EQ(about->cmdInfo()->accessibleName(), QStringLiteral("系统(I)"));
}

TEST_F(About, SystemInformationStartsTheRegisteredToolOrSaysItIsUnavailable)
{
    auto about = form();
    const QString bin = installation.path(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    about->setProgramSearchPath({bin});
    QStringList started;
    about->setLauncher([&](const QString &program) {
        started << program;
        return true;
    });
    about->cmdInfo()->click();
    EXPECT_TRUE(started.isEmpty());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("此时系统信息不可用"));
    EXPECT_EQ(boxes.last().style, jx::OKOnly);

    // A well-known program of this desktop is found and started, and nothing is
    // written to the registry: removed again, it is not started.
    installation.write(QStringLiteral("bin/hardinfo"), "#!/bin/sh\n");
    QFile::setPermissions(installation.path(QStringLiteral("bin/hardinfo")), QFile::ReadOwner | QFile::ExeOwner);
    about->cmdInfo()->click();
    EXPECT_EQ(started, QStringList{installation.path(QStringLiteral("bin/hardinfo"))});
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_FALSE(com::RegistryStore::value(QString::fromLatin1(jx::kSystemInfoKey), QStringLiteral("PATH")).valueOr(std::nullopt).has_value());
    EXPECT_FALSE(QFileInfo::exists(installation.path(QStringLiteral("registry.json"))));
    ASSERT_TRUE(QFile::remove(installation.path(QStringLiteral("bin/hardinfo"))));
    about->cmdInfo()->click();
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(boxes.count(), 2);
    boxes.clear();

    // A program the registry names comes first.
    ASSERT_TRUE(com::RegistryStore::setValue(QString::fromLatin1(jx::kSystemInfoKey), QStringLiteral("PATH"), QStringLiteral("/usr/bin/sysinfo-tool")));
    about->cmdInfo()->click();
    EXPECT_EQ(started.last(), QStringLiteral("/usr/bin/sysinfo-tool"));
    EXPECT_EQ(boxes.count(), 0);

    // A tool that cannot start is reported the same way.
    about->setLauncher([](const QString &) { return false; });
    about->cmdInfo()->click();
    EXPECT_EQ(boxes.count(), 1);
}

// Every character counts one unit: the fitting is followed step by step.
int length(const QString &text) { return int(text.size()); }

TEST(AboutPathFitting, MiddleFoldersShrinkFromTheLastBackwardsBeforeTheFinalName)
{
    const QString path = QStringLiteral("安装目录:\\opt\\agency\\program\\JxMain1");
    // The last folder's last two characters become "..", then one more goes.
    EXPECT_EQ(jx::frmAbout::FitPath(path, length(path) - 1, length).text, QStringLiteral("安装目录:\\opt\\agency\\prog..\\JxMain1"));
    // "program" down to ".." before "agency" is touched.
    auto fitted = jx::frmAbout::FitPath(path, length(QStringLiteral("安装目录:\\opt\\agency\\..\\JxMain1")), length);
    EXPECT_TRUE(fitted.fits);
    EXPECT_EQ(fitted.text, QStringLiteral("安装目录:\\opt\\agency\\..\\JxMain1"));
    fitted = jx::frmAbout::FitPath(path, length(QStringLiteral("安装目录:\\opt\\age..\\..\\JxMain1")), length);
    EXPECT_EQ(fitted.text, QStringLiteral("安装目录:\\opt\\age..\\..\\JxMain1"));
    // Then the final name loses characters from its beginning; the first part never.
    fitted = jx::frmAbout::FitPath(path, length(QStringLiteral("安装目录:\\..\\..\\..\\..ain1")), length);
    EXPECT_TRUE(fitted.fits);
    EXPECT_EQ(fitted.text, QStringLiteral("安装目录:\\..\\..\\..\\..ain1"));
    // This platform's folders are split at "/".
    EXPECT_EQ(jx::frmAbout::FitPath(QStringLiteral("安装目录:/home/agent/jx"), 18, length).text, QStringLiteral("安装目录:/home/ag../jx"));
}

TEST(AboutPathFitting, TextThatCannotFitEndsWithTheShortestText)
{
    const QString path = QStringLiteral("安装目录:") + QStringLiteral("/folder").repeated(40) + QStringLiteral("/JxMain1");
    int pendingRuns = 0;
    const auto fitted = jx::frmAbout::FitPath(path, 5, length, [&] { ++pendingRuns; });
    EXPECT_FALSE(fitted.fits);
    EXPECT_EQ(fitted.text, QStringLiteral("安装目录:") + QStringLiteral("/..").repeated(41));
    // Bounded: at most one step per character of each part.
    EXPECT_LE(fitted.steps, int(path.size()));
    EXPECT_EQ(pendingRuns, fitted.steps);
    // No separator at all: nothing to shorten, ends at once.
    EXPECT_EQ(jx::frmAbout::FitPath(QStringLiteral("安装目录:x"), 1, length).steps, 0);
}

TEST_F(About, LongProgramFolderIsFittedOrElidedToTheLabel)
{
    const QString deep = installation.folder() + QStringLiteral("/a-rather-long-folder-name").repeated(12);
    jx::SetAppPath(deep);
    auto about = form();
    jx::SetAppPath(QString());
    const QFontMetrics metrics(about->font());
    const QString caption = about->lblPath()->text();
    EXPECT_LE(metrics.horizontalAdvance(caption), about->lblPath()->width()) << caption.toStdString();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("安装目录:"))) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QStringLiteral(".."))) << caption.toStdString();
    EXPECT_EQ(about->dlnkPath()->Link(), deep);
}

// On the throw-away PostgreSQL server of the test run: no server line, even
// with the connection in a failed transaction (where a version query's empty
// answer still made a line).
TEST(AboutOnPostgres, NoServerLine)
{
    if (qEnvironmentVariable("JX_TEST_PG").isEmpty())
        GTEST_SKIP() << "no PostgreSQL test server (JX_TEST_PG)";
    auto db = com::ComPtr<Database>::adopt(new Database());
    ASSERT_TRUE(db->OpenDirect(QStringLiteral("postgres"), qEnvironmentVariable("JX_TEST_PG"))) << db->LastError().Description().toStdString();
    const QString schema = QStringLiteral("about_%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(db->Execute(QStringLiteral("CREATE SCHEMA ") + schema) && db->Execute(QStringLiteral("SET search_path TO ") + schema));
    const bool loaded = db->ExecuteScript(jxtest::TestInstallation::readDemo("schema.sql"));
    {
        auto context = com::ComPtr<AppContext>::adopt(new AppContext());
        if (loaded && context->Attach(db.get(), 0)) {
            auto config = com::ComPtr<jx::clsConfig>::adopt(new jx::clsConfig());
            ASSERT_TRUE(db->BeginTrans());
            EXPECT_FALSE(db->Execute(QStringLiteral("select no_such_column from xt_menu")));
            ASSERT_FALSE(db->LastError().Description().isEmpty());
            jx::frmAbout about(*context, *config);
            EXPECT_FALSE(about.lblDescription()->text().contains(QLatin1Char('\n'))) << about.lblDescription()->text().toStdString();
            EXPECT_FALSE(about.lblDescription()->text().contains(QStringLiteral("PostgreSQL")));
            db->RollbackTrans();
        } else {
            ADD_FAILURE() << "cannot load the schema: " << db->LastError().Description().toStdString();
        }
    }
    db->Execute(QStringLiteral("DROP SCHEMA ") + schema + QStringLiteral(" CASCADE"));
}

} // namespace
