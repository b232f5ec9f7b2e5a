#include "toolbar/drawing/clsToolTip.h"

#include <QWidget>

#include <gtest/gtest.h>

using qvtoolbar::clsToolTip;

TEST(ClsToolTip, DefaultsAndTextBeforeCreate)
{
    QWidget owner;
    owner.resize(100, 30);
    clsToolTip tip;
    EXPECT_EQ(tip.Style(), 0);
    EXPECT_EQ(tip.VisibleTime(), 5000);
    EXPECT_EQ(tip.DelayTime(), 500);
    EXPECT_FALSE(tip.IsCreated());
    tip.Destroy(); // without a window: nothing
    tip.SetTipText(QStringLiteral("保存"));
    EXPECT_FALSE(tip.Create(&owner));
    ASSERT_TRUE(tip.IsCreated());
    EXPECT_EQ(tip.ShownText(), QStringLiteral("保存"));
    EXPECT_TRUE(tip.Window()->windowFlags() & Qt::ToolTip);
    tip.SetTipText(QStringLiteral("new"));
    EXPECT_EQ(tip.ShownText(), QStringLiteral("new"));
    tip.Destroy();
    EXPECT_FALSE(tip.IsCreated());
    EXPECT_EQ(tip.ShownText(), QString());
}

TEST(ClsToolTip, TitleNeedsAnIcon)
{
    QWidget owner;
    clsToolTip tip;
    tip.SetStyle(1);
    tip.Create(&owner);
    tip.SetTitle(QStringLiteral("Title"));
    EXPECT_EQ(tip.Title(), QStringLiteral("Title"));
    EXPECT_EQ(tip.ShownTitle(), QString());
    tip.SetIconType(1);
    EXPECT_EQ(tip.ShownTitle(), QStringLiteral("Title"));
}

TEST(ClsToolTip, ShowsAndRecreates)
{
    QWidget owner;
    owner.resize(100, 30);
    clsToolTip tip;
    tip.SetTipText(QStringLiteral("hello"));
    tip.SetStyle(1);
    tip.Create(&owner);
    tip.SetForeColor(0x0000FF);
    tip.SetBackColor(int32_t(0x80000018));
    tip.ShowAt(QPoint(10, 10));
    EXPECT_TRUE(tip.Window()->isVisible());
    EXPECT_GT(tip.Window()->width(), 12);
    tip.Create(&owner); // replaces the window
    EXPECT_FALSE(tip.Window()->isVisible());
    EXPECT_EQ(tip.ShownText(), QStringLiteral("hello"));
}

TEST(ClsToolTip, RectangularAndBalloonShapesAndColours)
{
    QWidget owner;
    owner.resize(100, 30);
    for (int style : {0, 1}) {
        clsToolTip tip;
        tip.SetStyle(style);
        tip.SetTipText(QStringLiteral("a fairly long tip text"));
        tip.Create(&owner);
        tip.SetBackColor(0x00FFFF); // yellow in OLE order
        tip.SetForeColor(0);
        tip.ShowAt(QPoint(0, 0));
        const QImage img = tip.Window()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(img.isNull());
        const QColor inside(img.pixel(img.width() - 4, img.height() - 4));
        EXPECT_EQ(inside.rgb() & 0xFFFFFF, QColor(255, 255, 0).rgb() & 0xFFFFFF) << style;
        const QColor corner = QColor::fromRgba(img.pixel(0, 0));
        if (style == 1)
            EXPECT_EQ(corner.alpha(), 0); // balloon: rounded, tail elsewhere
        else
            EXPECT_EQ(corner.alpha(), 255);
    }
}
