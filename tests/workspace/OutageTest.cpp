#include "console/startup/ConsoleSession.h"
#include "console/workspace/frmMain.h"

#include "FakeLogWriter.h"
#include "PrivatePgServer.h"
#include "TestInstallation.h"

#include "controls/Button2.h"
#include "controls/NavPanel.h"
#include "controls/ShadowLabel.h"
#include "console/log/Logger.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool logged(const jxtest::FakeLogWriter &log, int kind, const QString &part)
{
    for (const auto &e : log.entries)
        if (e.kind == kind && e.message.contains(part))
            return true;
    return false;
}

// The console signed in on a PostgreSQL server that stops while the operator
// works and then comes back: each action meanwhile says the connection is
// gone (never that an entry does not exist), the window stays usable, and the
// same session works again once the server is back.
TEST(ConsoleOutage, SignedInConsoleRidesOutTheServerStoppingAndComingBack)
{
    PrivatePgServer server;
    QString why;
    if (!server.start(why))
        GTEST_SKIP() << why.toStdString();
    {
        Database db;
        ASSERT_TRUE(db.OpenDirect(QStringLiteral("postgres"), server.connection())) << db.LastError().Description().toStdString();
        ASSERT_TRUE(db.ExecuteScript(jxtest::TestInstallation::readDemo("schema.sql"))) << db.LastError().Description().toStdString();
        ASSERT_TRUE(db.ExecuteScript(jxtest::TestInstallation::readDemo("seed.sql"))) << db.LastError().Description().toStdString();
        ASSERT_TRUE(db.ExecuteParams(QStringLiteral("update jx_user set pwhash=? where username='admin'"),
                                     {CurrentUser::hashPassword(QStringLiteral("admin123"))}));
    }
    jxtest::TestInstallation installation;
    installation.writeConfig(QString(), QStringLiteral("<database driver=\"postgres\" host=\"127.0.0.1\" port=\"%1\" "
                                                       "user=\"jxtest\" database=\"postgres\"/>")
                                            .arg(server.port()));
    jxtest::FakeLogWriter log;
    jx::ScopedMessageBoxRecorder boxes;
    jx::ConsoleSession session(&log);
    const auto opened = session.OpenInstallation(installation.configFile());
    ASSERT_TRUE(opened) << opened.error().toStdString();
    session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    ASSERT_TRUE(session.CurrentUser()->Login(QStringLiteral("admin123")));
    auto *main = new jx::frmMain(session);
    session.mainWindow = main;
    main->setScreenWidthTwips(12000);
    main->LoadForm();
    main->show();
    QApplication::processEvents();
    ASSERT_GT(main->ButCount(), 1);
    ASSERT_GE(main->NavPanel()->Count(), 2);
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();

    ASSERT_TRUE(server.stop());
    boxes.clear();
    log.entries.clear();
    QTest::mouseClick(main->But(1), Qt::LeftButton);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_FALSE(boxes.last().text.contains(QStringLiteral("不存在"))) << boxes.last().text.toStdString();
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("断开"))) << boxes.last().text.toStdString();
    EXPECT_TRUE(logged(log, jx::LogError, QStringLiteral("断开")));
    // A diagram node, the same.
    main->PilotNodeClick(QStringLiteral("0101"));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("断开"))) << boxes.last().text.toStdString();
    // Another group: its buttons cannot be read, which is logged.
    log.entries.clear();
    main->NavPanel()->setSelectedItem(main->NavPanel()->Item(2));
    EXPECT_TRUE(logged(log, jx::LogError, QStringLiteral("断开")));
    EXPECT_EQ(main->ButCount(), 1); // only the design-time button
    EXPECT_TRUE(main->isVisible());

    ASSERT_TRUE(server.resume());
    boxes.clear();
    main->NavPanel()->setSelectedItem(main->NavPanel()->Item(1));
    ASSERT_GT(main->ButCount(), 1);
    QTest::mouseClick(main->But(1), Qt::LeftButton);
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    EXPECT_TRUE(main->lbl(1)->Caption().endsWith(main->But(1)->Caption().trimmed())) << main->lbl(1)->Caption().toStdString();
    main->close();
    QApplication::processEvents();
}

} // namespace
