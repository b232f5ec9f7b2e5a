#include "controls/HelpViewer.h"
#include "controls/PictureLoader.h"
#include "controls/WindowSupport.h"

#include "GifWriter.h"

#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

using namespace qvcontrols;

namespace {

QImage sample()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    return image;
}

TEST(PictureLoader, LoadsEveryFormatByContentAndGivesEmptyPicturesForBadFiles)
{
    QTemporaryDir dir;
    const QImage image = sample();
    ASSERT_TRUE(writeGif(image, dir.filePath(QStringLiteral("logo.gif"))));
    for (const char *format : {"png", "bmp", "jpg", "ico"})
        ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("pic.") + QLatin1String(format)), format)) << format;
    // A picture stored under another extension still loads.
    ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("pic.png")), dir.filePath(QStringLiteral("renamed.ico"))));
    QFile broken(dir.filePath(QStringLiteral("broken.gif")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("GIF89a\x08\x00garbage");
    broken.close();

    for (const char *name : {"logo.gif", "pic.png", "pic.bmp", "pic.jpg", "pic.ico", "renamed.ico"}) {
        SCOPED_TRACE(name);
        const QPixmap pic = PictureLoader::LoadPicture(dir.filePath(QString::fromLatin1(name)));
        ASSERT_FALSE(pic.isNull());
        EXPECT_EQ(pic.size(), QSize(8, 6));
        const QColor c = pic.toImage().pixelColor(4, 3);
        EXPECT_NEAR(c.red(), 200, 12);
        EXPECT_NEAR(c.green(), 30, 12);
    }
    // Written Windows-style, as the console builds its paths.
    EXPECT_FALSE(PictureLoader::LoadPicture(dir.path() + QStringLiteral("\\LOGO.GIF")).isNull());
    EXPECT_TRUE(PictureLoader::LoadPicture(dir.filePath(QStringLiteral("broken.gif"))).isNull());
    EXPECT_TRUE(PictureLoader::LoadPicture(dir.filePath(QStringLiteral("missing.png"))).isNull());
    EXPECT_TRUE(PictureLoader::LoadPicture(dir.path()).isNull());
    EXPECT_TRUE(PictureLoader::LoadPicture(QString()).isNull());
}

// Paints a known pattern: white, with a blue square at (20, 10).
class Pattern : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.fillRect(QRect(20, 10, 10, 10), Qt::blue);
    }
};

TEST(CaptureWindow, CopiesTheRequestedRectangleOfTheWindowsCurrentImage)
{
    Pattern window;
    window.resize(120, 80);
    window.show();
    const QImage shot = CaptureWindow(&window, true, 15, 5, 40, 30).toImage();
    ASSERT_EQ(shot.size(), QSize(40, 30));
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(Qt::blue));   // (20, 10) of the window
    EXPECT_EQ(shot.pixelColor(15, 15), QColor(Qt::white)); // just past the square
    EXPECT_TRUE(CaptureWindow(&window, true, 0, 0, 0, 10).isNull());
    EXPECT_TRUE(CaptureWindow(nullptr, true, 0, 0, 10, 10).isNull());
    EXPECT_FALSE(CaptureWindow(&window, false, 0, 0, 120, 80).isNull());
}

TEST(ShowHelpContents, MessagesForNoHelpAndMissingFileThenTheManualAtItsContents)
{
    jx::ScopedMessageBoxRecorder boxes;
    EXPECT_EQ(ShowHelpContents(QString()), nullptr);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("无法显示帮助目录，该工程没有相关联的帮助。"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("提示:"));
    EXPECT_EQ(boxes.last().style, jx::Information);

    EXPECT_EQ(ShowHelpContents(QStringLiteral("/nowhere/help/jxmain.chm")), nullptr);
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.last().text, QStringLiteral("无法显示帮助目录，没有找到该工程相关联的帮助文件。"));

    // The manual of the demo installation, named as its configuration names it.
    HelpViewer *viewer = ShowHelpContents(programPath("JX_DEMO_DIR") + QStringLiteral("\\HELP\\index.html"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(viewer->ContentsCaptions(),
              (QStringList{QStringLiteral("目录"), QStringLiteral("登录与锁定屏幕"), QStringLiteral("主界面与导航"),
                           QStringLiteral("菜单功能一览，打开和关闭功能"), QStringLiteral("登记表单：新增、修改、匹配、历史"),
                           QStringLiteral("查询列表与筛选"), QStringLiteral("出价与还价，记录往来"), QStringLiteral("房源照片与文件"),
                           QStringLiteral("报表：统计期间、打印与导出 PDF"),
                           QStringLiteral("经营概况"), QStringLiteral("今日提醒"), QStringLiteral("带看与带看日程"), QStringLiteral("数据备份"), QStringLiteral("插件"),
                           QStringLiteral("房贷计算器与税费计算器"), QStringLiteral("键盘操作与快捷键一览")}));
    EXPECT_EQ(viewer->CurrentPage().fileName(), QStringLiteral("index.html"));
    EXPECT_FALSE(viewer->CanGoBack());
    viewer->ShowEntry(2);
    EXPECT_EQ(viewer->CurrentPage().fileName(), QStringLiteral("navigation.html"));
    EXPECT_TRUE(viewer->windowTitle().contains(QStringLiteral("主界面与导航")));
    viewer->Back();
    EXPECT_EQ(viewer->CurrentPage().fileName(), QStringLiteral("index.html"));
    ASSERT_TRUE(viewer->CanGoForward());
    viewer->Forward();
    EXPECT_EQ(viewer->CurrentPage().fileName(), QStringLiteral("navigation.html"));
    viewer->close(); // deletes itself

    // A folder opens at its index page too.
    HelpViewer *folder = ShowHelpContents(programPath("JX_DEMO_DIR") + QStringLiteral("/help"));
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->CurrentPage().fileName(), QStringLiteral("index.html"));
    folder->close();
}

// Contents pages are written by hand: the list must follow the links however
// their markup is written, and only to the manual's own pages.
TEST(HelpViewer, ContentsListFollowsEveryLocalPageLinkOnceInOrder)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &html) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html);
    };
    write(QStringLiteral("index.html"),
          "<html><body><a href=\"#top\">回到顶部</a>"
          "<p><a href='single.html'>单引号</a> <a href=bare.htm>无引号</a></p>"
          "<p><a href=\"styled.html\"><b>加粗</b> 的\n  标题</a></p>"
          "<p><a href=\"single.html#part\">重复</a> <a href=\"https://example.com/x.html\">外部</a>"
          " <a href=\"plan.pdf\">文档</a> <a href=\"sub/deep.html#s\">子目录</a></p></body></html>");
    for (const char *page : {"single.html", "bare.htm", "styled.html"})
        write(QString::fromLatin1(page), "<html><head><title>页</title></head><body>页</body></html>");

    HelpViewer viewer;
    ASSERT_TRUE(viewer.OpenContents(dir.path()));
    EXPECT_EQ(viewer.ContentsCaptions(), (QStringList{QStringLiteral("目录"), QStringLiteral("单引号"), QStringLiteral("无引号"),
                                                       QStringLiteral("加粗 的 标题"), QStringLiteral("子目录")}));
    viewer.ShowEntry(3);
    EXPECT_EQ(viewer.CurrentPage().fileName(), QStringLiteral("styled.html"));
    viewer.ShowEntry(4);
    EXPECT_EQ(viewer.CurrentPage().path(), QDir(dir.path()).filePath(QStringLiteral("sub/deep.html")));
}

} // namespace
