#include "console/config/bCommon.h"
#include "console/dialogs/frmSplash.h"
#include "console/startup/ConsoleSession.h"
#include "platform/ProgramInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(SplashCaption, SizeByLength)
{
    EXPECT_DOUBLE_EQ(jx::frmSplash::CaptionSizeFor(8).fontSize, 21.75);
    EXPECT_EQ(jx::frmSplash::CaptionSizeFor(8).height, 29);
    EXPECT_DOUBLE_EQ(jx::frmSplash::CaptionSizeFor(9).fontSize, 16.75);
    EXPECT_DOUBLE_EQ(jx::frmSplash::CaptionSizeFor(12).fontSize, 16.75);
    EXPECT_DOUBLE_EQ(jx::frmSplash::CaptionSizeFor(13).fontSize, 14.75);
    EXPECT_DOUBLE_EQ(jx::frmSplash::CaptionSizeFor(16).fontSize, 14.75);
    EXPECT_EQ(jx::frmSplash::CaptionSizeFor(16).height, 20);
    EXPECT_DOUBLE_EQ(jx::frmSplash::CaptionSizeFor(17).fontSize, 12.75);
    EXPECT_EQ(jx::frmSplash::CaptionSizeFor(17).height, 18);
}

TEST(SplashOpacity, PercentRules)
{
    EXPECT_FALSE(jx::frmSplash::OpacityPercent(QVariant()).has_value());
    EXPECT_EQ(jx::frmSplash::OpacityPercent(QStringLiteral("150")), 100);
    EXPECT_EQ(jx::frmSplash::OpacityPercent(QStringLiteral("255")), 100);
    EXPECT_EQ(jx::frmSplash::OpacityPercent(QStringLiteral("50")), 50);
    EXPECT_EQ(jx::frmSplash::OpacityPercent(QStringLiteral("0")), 0);
    EXPECT_FALSE(jx::frmSplash::OpacityPercent(QStringLiteral("300")).has_value());
    EXPECT_FALSE(jx::frmSplash::OpacityPercent(QStringLiteral("-1")).has_value());
}

TEST(SplashOpacity, WindowOpacityFromPercent)
{
    QWidget w;
    EXPECT_TRUE(jx::SetWindowOpacity(&w, 150));
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 1.0);
    EXPECT_TRUE(jx::SetWindowOpacity(&w, 50));
    EXPECT_NEAR(w.windowOpacity(), 127.0 / 255.0, 0.01);
    EXPECT_FALSE(jx::SetWindowOpacity(nullptr, 50));
}

class SplashForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        jx::ProgramInfo::setProgramFolder(dir.path());
    }
    void TearDown() override
    {
        dir.setAutoRemove(!HasFailure());
        session.Shutdown();
        jx::ProgramInfo::setProgramFolder(QString());
    }
    void useConfig(const QString &body)
    {
        QFile f(dir.path() + QStringLiteral("/s.config"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("<configuration><system>") + body + QStringLiteral("</system></configuration>")).toUtf8());
        f.close();
        ASSERT_TRUE(session.OpenConfiguration(f.fileName()));
    }
    QTemporaryDir dir;
    // Only the configuration: the texts fall back to their defaults.
    jx::ConsoleSession session;
};

TEST_F(SplashForm, MissingBackgroundKeepsImageHiddenAndCaptionShown)
{
    useConfig(QStringLiteral("<caption>十七个字符的非常长的产品名称真的很长啊</caption><settings><background><splash>none.jpg</splash></background><splashalpha>300</splashalpha></settings>"));
    auto *splash = new jx::frmSplash(session);
    splash->LoadForm();
    EXPECT_TRUE(splash->Img()->isHidden());
    ASSERT_EQ(splash->lblProductName_B().size(), 1);
    QLabel *caption = splash->lblProductName_B().first();
    EXPECT_EQ(caption->text(), session.Config()->Caption());
    EXPECT_DOUBLE_EQ(caption->font().pointSizeF(), 12.75);
    EXPECT_EQ(caption->height(), 18);
    EXPECT_EQ(splash->AppliedOpacity(), 100);
    EXPECT_DOUBLE_EQ(splash->windowOpacity(), 1.0);
    EXPECT_TRUE(splash->lblVersion()->text().startsWith(QStringLiteral("版本 ")));
    EXPECT_TRUE(splash->lblRight()->text().startsWith(QStringLiteral("版权所有:")));
    delete splash;
}

TEST_F(SplashForm, BackgroundFoundAndOpacityApplied)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(dir.path() + QStringLiteral("/Splash.png")));
    useConfig(QStringLiteral("<caption>短名</caption><settings><background><splash>splash.png</splash></background><splashalpha>50</splashalpha></settings>"));
    auto *splash = new jx::frmSplash(session);
    splash->LoadForm();
    EXPECT_FALSE(splash->Img()->isHidden());
    EXPECT_EQ(splash->AppliedOpacity(), 50);
    EXPECT_LT(splash->windowOpacity(), 0.6);
    EXPECT_DOUBLE_EQ(splash->lblProductName_B().first()->font().pointSizeF(), 21.75);
    delete splash;
}

TEST_F(SplashForm, TimerClosesTheWindow)
{
    useConfig(QString());
    QPointer<jx::frmSplash> splash = new jx::frmSplash(session);
    splash->LoadForm();
    splash->show();
    splash->Timer1().setInterval(1);
    splash->Timer1().start();
    for (int i = 0; i < 200 && splash; ++i)
        QTest::qWait(5);
    EXPECT_TRUE(splash.isNull());
}

// A box raised while the splash is up (a start-up plug-in's warning about the
// backup folder) would open under the always-on-top splash: the splash steps
// aside until the box is answered and then comes back; the answer is the box's.
TEST_F(SplashForm, StepsAsideWhileAMessageBoxIsUp)
{
    useConfig(QString());
    QPointer<jx::frmSplash> splash;
    QList<bool> splashSeen;
    const jx::MessageBoxHandler before = jx::setMessageBoxHandler([&](const QString &, int, const QString &) {
        splashSeen.append(splash && splash->isVisible());
        return int(jx::No);
    });
    splash = new jx::frmSplash(session);
    splash->LoadForm();
    splash->show();
    EXPECT_EQ(jx::msgBox(QStringLiteral("备份文件夹已满"), jx::YesNo), jx::No);
    EXPECT_EQ(splashSeen, QList<bool>{false});
    EXPECT_TRUE(splash->isVisible());

    // Gone: boxes reach the handler that was there before it, untouched.
    delete splash;
    EXPECT_EQ(jx::msgBox(QStringLiteral("提示")), jx::No);
    EXPECT_EQ(splashSeen.size(), 2);
    jx::setMessageBoxHandler(before);

    // Without a handler the real box is shown, with the splash out of its way.
    const jx::MessageBoxHandler none = jx::setMessageBoxHandler(jx::MessageBoxHandler());
    splash = new jx::frmSplash(session);
    splash->show();
    bool boxFound = false;
    bool splashVisibleUnderBox = true;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxFound = true;
            splashVisibleUnderBox = splash && splash->isVisible();
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start(10);
    EXPECT_EQ(jx::msgBox(QStringLiteral("备份文件夹只读")), jx::OK);
    poll.stop();
    EXPECT_TRUE(boxFound);
    EXPECT_FALSE(splashVisibleUnderBox);
    EXPECT_TRUE(splash->isVisible());
    delete splash;
    jx::setMessageBoxHandler(none);
}

} // namespace
