#include "console/config/bCommon.h"
#include "console/dialogs/frmSplash.h"
#include "console/startup/ConsoleSession.h"
#include "platform/ProgramInfo.h"

#include <QFile>
#include <QImage>
#include <QLabel>
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

} // namespace
