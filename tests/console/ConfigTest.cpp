#include "console/config/bCommon.h"
#include "console/config/clsConfig.h"
#include "platform/MessageBox.h"
#include "platform/com/RuntimeError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

#include <gtest/gtest.h>

namespace {

class ConfigFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dir.setAutoRemove(!HasFailure());
        jx::SetAppPath(dir.path());
    }
    void TearDown() override
    {
        dir.setAutoRemove(!HasFailure());
        jx::SetAppPath(QString());
    }
    QString write(const QString &systemBody, const QString &name = QStringLiteral("JxMain1.exe.Config"))
    {
        QFile f(dir.path() + QLatin1Char('/') + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><configuration><system>") + systemBody
                 + QStringLiteral("</system></configuration>")).toUtf8());
        return f.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(ConfigFile, CaptionDefaultBeforeInit)
{
    jx::clsConfig config;
    EXPECT_EQ(config.Caption(), QStringLiteral("简衡系统"));
    EXPECT_EQ(config.XML(), nullptr);
}

TEST_F(ConfigFile, TreeWidthFloorIsThirty)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>x</caption>"))));
    EXPECT_EQ(config.TreeWidth(), 30);
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><treeWidth default=\"12\"/></settings>"))));
    EXPECT_EQ(config.TreeWidth(), 30);
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><treeWidth default=\"250\"/></settings>"))));
    EXPECT_EQ(config.TreeWidth(), 250);
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><treeWidth default=\"250.5\"/></settings>"))));
    EXPECT_EQ(config.TreeWidth(), 250); // halves go to even
}

TEST_F(ConfigFile, TreeWidthAbove16BitsRaisesOverflowOnRead)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><treeWidth default=\"40000\"/></settings>"))));
    try {
        (void)config.TreeWidth();
        FAIL() << "no overflow raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), com::errors::Overflow);
    }
}

TEST_F(ConfigFile, SplashDelayOutsideRangeIsRefusedWhenRead)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>first</caption><settings><splashdelay>1500</splashdelay></settings>"))));
    EXPECT_EQ(config.SplashDelay(), 1500);
    EXPECT_FALSE(config.Init(write(QStringLiteral("<caption>second</caption><settings><splashdelay>40000</splashdelay></settings>"))));
    EXPECT_FALSE(config.Init(write(QStringLiteral("<caption>third</caption><settings><splashdelay>-1</splashdelay></settings>"))));
    // Nothing half-read: the earlier values stand.
    EXPECT_EQ(config.Caption(), QStringLiteral("first"));
    EXPECT_EQ(config.SplashDelay(), 1500);
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><splashdelay>32767</splashdelay></settings>"))));
    EXPECT_EQ(config.SplashDelay(), 32767);
}

TEST_F(ConfigFile, AutoResizeParsing)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QString())));
    EXPECT_TRUE(config.AutoResize());
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><autoresize>0</autoresize></settings>"))));
    EXPECT_FALSE(config.AutoResize());
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><autoresize>abc</autoresize></settings>"))));
    EXPECT_FALSE(config.AutoResize());
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><autoresize>2</autoresize></settings>"))));
    EXPECT_TRUE(config.AutoResize());
}

TEST_F(ConfigFile, AutoRegisterParsingAndLet)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><autoregister>  TRUE </autoregister></settings>"))));
    EXPECT_TRUE(config.AutoRegister());
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><autoregister>yes</autoregister></settings>"))));
    EXPECT_FALSE(config.AutoRegister());
    ASSERT_TRUE(config.Init(write(QStringLiteral("<settings><autoregister>1</autoregister></settings>"))));
    EXPECT_TRUE(config.AutoRegister());
    config.setAutoRegister(false);
    EXPECT_FALSE(config.AutoRegister());
    config.setAutoRegister(true);
    EXPECT_TRUE(config.AutoRegister());
}

TEST_F(ConfigFile, HelpAndMenuExpansion)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<help>%app.path%\\Help\\Main.CHM</help>"))));
    EXPECT_EQ(config.HelpFileName(), dir.path() + QStringLiteral("\\help\\main.chm"));
    EXPECT_EQ(config.MenuFileName(), QString());
    ASSERT_TRUE(config.Init(write(QStringLiteral("<help>help\\x.chm</help><menu>Menu\\M.xml</menu>"))));
    EXPECT_EQ(config.HelpFileName(), dir.path() + QStringLiteral("\\help\\x.chm"));
    EXPECT_EQ(config.MenuFileName(), dir.path() + QStringLiteral("\\menu\\m.xml"));
    ASSERT_TRUE(config.Init(write(QString())));
    EXPECT_EQ(config.HelpFileName(), dir.path() + QStringLiteral("\\"));
}

TEST_F(ConfigFile, TypedValuesAndDefaults)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral(
        "<caption>简衡地产</caption><menutoolwidth>120.5</menutoolwidth><update> up.exe </update>"
        "<settings><background><login>l.jpg</login><splash>s.jpg</splash><main>m.jpg</main></background></settings>"
        "<rootcaption>根</rootcaption><subject>地产</subject><menumode>2</menumode><navigate>3abc</navigate>"
        "<unformstatus>1</unformstatus>"))));
    EXPECT_EQ(config.Caption(), QStringLiteral("简衡地产"));
    EXPECT_DOUBLE_EQ(config.MenuToolWidth(), 120.0);
    EXPECT_EQ(config.UpdateFileName(), QStringLiteral("up.exe"));
    EXPECT_EQ(config.Background_Login(), QStringLiteral("l.jpg"));
    EXPECT_EQ(config.Background_splash(), QStringLiteral("s.jpg"));
    EXPECT_EQ(config.Background_main(), QStringLiteral("m.jpg"));
    EXPECT_EQ(config.RootCaption(), QStringLiteral("根"));
    EXPECT_EQ(config.Subject(), QStringLiteral("地产"));
    EXPECT_EQ(config.MenuMode(), 2);
    EXPECT_EQ(config.Navigate(), 3);
    EXPECT_TRUE(config.UnFormStatus());
    EXPECT_EQ(config.SplashDelay(), 0);
    ASSERT_NE(config.XML(), nullptr);
    EXPECT_EQ(config.XML()->GetValue(QStringLiteral("/configuration/system/caption")).toString(), QStringLiteral("简衡地产"));
}

TEST_F(ConfigFile, InitTwiceReplacesDocumentAndValues)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>one</caption><subject>s1</subject><menumode>4</menumode>"), QStringLiteral("a.config"))));
    const XmlDocument *first = config.XML();
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>two</caption>"), QStringLiteral("b.config"))));
    EXPECT_EQ(config.Caption(), QStringLiteral("two"));
    EXPECT_EQ(config.Subject(), QString());
    EXPECT_EQ(config.MenuMode(), 0);
    EXPECT_TRUE(config.ConfigFileName().endsWith(QStringLiteral("b.config")));
    EXPECT_EQ(config.XML()->GetValue(QStringLiteral("/configuration/system/caption")).toString(), QStringLiteral("two"));
    (void)first;
}

TEST_F(ConfigFile, MissingOrMalformedFileFailsAndKeepsDefaults)
{
    jx::clsConfig config;
    EXPECT_FALSE(config.Init(QStringLiteral("  ") + dir.path() + QStringLiteral("/none.config ")));
    EXPECT_EQ(config.ConfigFileName(), dir.path() + QStringLiteral("/none.config"));
    EXPECT_EQ(config.Caption(), QStringLiteral("简衡系统"));
    QFile bad(dir.path() + QStringLiteral("/bad.config"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<configuration><system><caption>x</system>");
    bad.close();
    EXPECT_FALSE(config.Init(bad.fileName()));
    EXPECT_EQ(config.Caption(), QStringLiteral("简衡系统"));
}

TEST_F(ConfigFile, ClearForgetsDocument)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>c</caption>"))));
    config.Clear();
    EXPECT_EQ(config.XML(), nullptr);
    EXPECT_EQ(config.Caption(), QStringLiteral("c"));
}

TEST_F(ConfigFile, SetLanguagueOverridesTextsAsTheyStand)
{
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>c</caption><subject>s</subject><help>h.chm</help><rootcaption>r</rootcaption>"))));
    QFile lang(dir.path() + QStringLiteral("/en.xml"));
    ASSERT_TRUE(lang.open(QIODevice::WriteOnly));
    lang.write("<root><language><system><caption> English </caption><help>Help\\E.chm</help>"
               "<settings><background><login>L.png</login></background></settings></system></language></root>");
    lang.close();
    EXPECT_TRUE(config.SetLanguague(lang.fileName(), QStringLiteral("en")));
    EXPECT_EQ(config.Caption(), QStringLiteral(" English "));
    EXPECT_EQ(config.HelpFileName(), QStringLiteral("Help\\E.chm"));
    EXPECT_EQ(config.Background_Login(), QStringLiteral("L.png"));
    EXPECT_EQ(config.Subject(), QString()); // missing node overwrites with ""
    EXPECT_EQ(config.RootCaption(), QString());
}

TEST_F(ConfigFile, SetLanguagueMissingOrBrokenFileChangesNothing)
{
    jx::ScopedMessageBoxRecorder boxes;
    jx::clsConfig config;
    ASSERT_TRUE(config.Init(write(QStringLiteral("<caption>c</caption>"))));
    EXPECT_FALSE(config.SetLanguague(dir.path() + QStringLiteral("/missing.xml"), QString()));
    QFile lang(dir.path() + QStringLiteral("/broken.xml"));
    ASSERT_TRUE(lang.open(QIODevice::WriteOnly));
    lang.write("<language><system>");
    lang.close();
    EXPECT_FALSE(config.SetLanguague(lang.fileName(), QString()));
    EXPECT_EQ(config.Caption(), QStringLiteral("c"));
    EXPECT_EQ(boxes.count(), 0);
}

} // namespace

// Hostile configurations: a caption nested a hundred thousand elements deep
// (read on a thread with a small stack, so that any recursion per level
// shows) and one of megabytes, which must come back bounded.
TEST_F(ConfigFile, DeeplyNestedAndHugeCaptionsAreReadSafelyAndBounded)
{
    constexpr int depth = 100000;
    QString deep;
    deep.reserve(depth * 8 + 16);
    deep += QStringLiteral("<caption>");
    for (int i = 0; i < depth; ++i)
        deep += QStringLiteral("<b>");
    deep += QStringLiteral("deep");
    for (int i = 0; i < depth; ++i)
        deep += QStringLiteral("</b>");
    deep += QStringLiteral("tail</caption><rootcaption>r</rootcaption>");
    const QString deepFile = write(deep, QStringLiteral("deep.Config"));
    const QString huge = write(QStringLiteral("<caption>") + QString(4 * 1024 * 1024, u'长')
                                   + QStringLiteral("</caption><help>") + QString(2 * 1024 * 1024, u'h')
                                   + QStringLiteral("</help>"),
                               QStringLiteral("huge.Config"));

    bool deepRead = false, hugeRead = false;
    QString deepCaption, rootCaption, hugeCaption;
    qsizetype helpLength = 0;
    std::unique_ptr<QThread> reader(QThread::create([&] {
        jx::clsConfig a;
        deepRead = a.Init(deepFile);
        deepCaption = a.Caption();
        rootCaption = a.RootCaption();
        jx::clsConfig b;
        hugeRead = b.Init(huge);
        hugeCaption = b.Caption();
        helpLength = b.HelpFileName().size();
    }));
    reader->setStackSize(512 * 1024);
    reader->start();
    ASSERT_TRUE(reader->wait(120000));
    ASSERT_TRUE(deepRead);
    EXPECT_EQ(deepCaption, QStringLiteral("deeptail"));
    EXPECT_EQ(rootCaption, QStringLiteral("r"));
    ASSERT_TRUE(hugeRead);
    EXPECT_EQ(hugeCaption, QString(256, u'长'));
    EXPECT_GT(helpLength, 0);
    EXPECT_LE(helpLength, 4096 + dir.path().size() + 16);
}
