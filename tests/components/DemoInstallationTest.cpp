#include "GifWriter.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "components/xml/XmlDocument.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

TEST(GifWriter, WritesPicturesQtReadsBackUnchanged)
{
    QTemporaryDir dir;
    // More pixels than one run of literal codes, with distinct colours.
    QImage img(97, 31, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 8) & 0xff, (y * 8) & 0xff, (x + y) % 2 ? 255 : 0));
    const QString path = dir.filePath("t.gif");
    ASSERT_TRUE(writeGif(img, path));
    QImage back(path, "GIF");
    ASSERT_FALSE(back.isNull());
    ASSERT_EQ(back.size(), img.size());
    const QImage indexed = img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    int differing = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            differing += back.pixel(x, y) != indexed.pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(writeGif(QImage(), dir.filePath("null.gif")));
}

#ifdef JX_HAS_DEMO_BUILD
TEST(DemoInstallation, ConfigurationOpensSeededDatabaseAndUsersSignIn)
{
    const QString config = programPath("JX_DEMO_BUILD_DIR") + QStringLiteral("/JxMain1.exe.Config");
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(config)) << doc.lastError().toStdString();
    EXPECT_EQ(doc.GetValue("/configuration/system/settings/theme").toString(), "blue");
    for (const char *pic : {"logo.gif", "title.gif", "piclogin.gif"})
        EXPECT_FALSE(QImage(programPath("JX_DEMO_BUILD_DIR") + QStringLiteral("/themes/blue/") + QString::fromLatin1(pic)).isNull()) << pic;

    Database db;
    ASSERT_TRUE(db.Open(config, true)) << db.LastError().Description().toStdString();
    AppContext context;
    ASSERT_TRUE(context.Attach(&db, 0));
    ASSERT_TRUE(context.Theme().Load("blue", programPath("JX_DEMO_BUILD_DIR") + QStringLiteral("/themes/blue")));
    EXPECT_FALSE(context.Theme().StyleSheet().isEmpty());
    CurrentUser user(&context);
    user.SetUserName("admin");
    EXPECT_TRUE(user.Login("admin123"));
    EXPECT_TRUE(context.Rights(3001).Allowed(1));
    user.SetUserName("clerk");
    EXPECT_FALSE(user.Login("admin123"));
    ASSERT_TRUE(user.Login("clerk123"));
    EXPECT_FALSE(context.Rights(3001).Allowed(1));
    EXPECT_TRUE(context.Rights(5001).Allowed(1));

    // Every kind of entry, both plug-ins and the plug-in manager are there.
    for (int kind : {100, 101, 102, 103, 105, 220, 230, 50})
        EXPECT_GT(db.Query(QStringLiteral("select count(*) from xt_menu where menucatalog=%1").arg(kind), 1).Value().toInt(), 0) << kind;
    EXPECT_EQ(db.Query("select count(*) from xt_objects where progCommandLine in ('frmGfzc','frmShuifei')", 1).Value().toInt(), 2);
    EXPECT_EQ(db.Query("select menucatalog from xt_menu where progID=100027", 1).Value().toInt(), 50);
}
#endif
