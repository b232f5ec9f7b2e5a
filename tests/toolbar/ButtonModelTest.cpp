#include "ToolbarTestUtil.h"

#include "platform/com/RuntimeError.h"
#include "toolbar/control/clsItems.h"
#include "toolbar/control/clsToolbarItem.h"
#include "toolbar/drawing/clsMemDC.h"

#include <gtest/gtest.h>

using namespace qvtoolbar;

TEST(ToolbarEnums, ValuesAreTheStoredOnes)
{
    EXPECT_EQ(IconBottomTextTop, 3);
    EXPECT_EQ(Separator, 1);
    EXPECT_EQ(DropdownButton, 2);
    EXPECT_EQ(BtnStyleName(DropdownButton), QStringLiteral("Dropdown button"));
    EXPECT_EQ(STA_DISABLED, 5);
    EXPECT_EQ(ToRight, 1);
    EXPECT_EQ(HCilinderGradient, 3);
    EXPECT_EQ(Autodetect, 5);
    ThemeConst t = Blue;
    EXPECT_TRUE(ThemeFromName(QStringLiteral("norton2004"), &t));
    EXPECT_EQ(t, Norton2004);
    EXPECT_FALSE(ThemeFromName(QStringLiteral("Pink"), &t));
}

TEST(ClsToolbarItem, DefaultsOfANewItem)
{
    clsToolbarItem item;
    EXPECT_EQ(item.btnType(), Button);
    EXPECT_EQ(item.State(), STA_NORMAL);
    EXPECT_EQ(item.Style(), NormalButton);
    EXPECT_EQ(item.Alignment(), IconLeftTextRight);
    EXPECT_FALSE(item.Enabled());
    EXPECT_TRUE(item.Visible());
    EXPECT_EQ(item.IconSize(), 16);
    EXPECT_EQ(item.ForeColor(), 0);
    ASSERT_TRUE(item.Font());
    EXPECT_EQ(item.Font()->Name, QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(item.Font()->Size, 8.25);
    EXPECT_EQ(item.Image(), nullptr);
    EXPECT_FALSE(item.Tag().isValid());
    EXPECT_EQ(item.iWidth(), 0);
}

TEST(ClsToolbarItem, FontChangeDoesNotRemeasureCaption)
{
    tbtest::PinnedMetrics pin;
    clsToolbarItem item;
    item.SetCaption(QStringLiteral("OK"));
    EXPECT_EQ(item.TextWidthPx(), 19);
    EXPECT_EQ(item.TextHeightPx(), 13);
    qvtoolbar::clsToolbarItem::SetTextMeasurer([](const QString &, const StdFont &) { return QSize(100, 40); });
    auto big = std::make_shared<StdFont>();
    big->Size = 30;
    item.SetFont(big);
    EXPECT_EQ(item.TextWidthPx(), 19);
    EXPECT_EQ(item.iWidth(), 27);
    item.SetCaption(QStringLiteral("OK"));
    EXPECT_EQ(item.TextWidthPx(), 104);
    EXPECT_EQ(item.iHeight(), 48);
}

TEST(ClsToolbarItem, IconSizeResizesOnlyWithAPicture)
{
    clsToolbarItem item;
    item.SetIconSize(32);
    EXPECT_EQ(item.iWidth(), 0);
    item.SetPicture(tbtest::solidBitmap(10, 10, qRgb(1, 2, 3)));
    EXPECT_EQ(item.iWidth(), 40);
    item.SetIconSize(20);
    EXPECT_EQ(item.iWidth(), 28);
    EXPECT_EQ(item.iHeight(), 28);
}

TEST(ClsToolbarItem, OversizedCaptionFailsAndKeepsTheOldOne)
{
    clsToolbarItem::SetTextMeasurer([](const QString &t, const StdFont &) { return QSize(t.size() > 3 ? 40000 : 10, 13); });
    clsToolbarItem item;
    item.SetCaption(QStringLiteral("ab"));
    const int16_t w = item.iWidth();
    try {
        item.SetCaption(QStringLiteral("very long"));
        ADD_FAILURE() << "no overflow error";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), com::errors::Overflow);
    }
    clsToolbarItem::SetTextMeasurer(nullptr);
    EXPECT_EQ(item.Caption(), QStringLiteral("ab"));
    EXPECT_EQ(item.iWidth(), w);
}

TEST(ClsToolbarItem, ImageOfABitmapIsASquareOnTheMaskColour)
{
    clsToolbarItem item;
    item.SetmaskColor(0xFF00FF);
    item.SetPicture(tbtest::solidBitmap(40, 10, qRgb(0, 200, 0)));
    item.SetIconSize(24);
    PictureRef img = item.Image();
    ASSERT_TRUE(img);
    EXPECT_EQ(img->type(), StdPicture::Bitmap);
    EXPECT_EQ(img->image().size(), QSize(24, 24));
    EXPECT_EQ(QColor(img->image().pixel(12, 12)), QColor(0, 200, 0));

    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    auto iconPic = std::make_shared<StdPicture>(StdPicture::Icon, icon);
    item.SetPicture(iconPic);
    EXPECT_EQ(item.Image(), iconPic);
}

TEST(ClsToolbarItem, TagIsAHostValue)
{
    clsToolbarItem item;
    item.SetTag(QVariant(42));
    EXPECT_EQ(item.Tag().toInt(), 42);
}

TEST(ClsItems, AddItemExSetsEnabledAndAppends)
{
    clsItems items;
    ItemRef a = items.AddItemEx(QStringLiteral("A"), QStringLiteral("ka"), nullptr, false);
    ItemRef b = items.AddItemEx(QString(), QString(), nullptr);
    ItemRef c = items.AddItemEx(QString(), QString(), nullptr);
    EXPECT_EQ(items.Count(), 3);
    EXPECT_TRUE(a->Enabled());
    EXPECT_FALSE(a->Visible());
    EXPECT_EQ(items.Item(QStringLiteral("KA")), a);
    EXPECT_EQ(items.Item(2), b);
    EXPECT_EQ(items.Item(3), c);
    EXPECT_EQ(items.Item(QString()), nullptr);
    EXPECT_EQ(items.Item(0), nullptr);
    EXPECT_EQ(items.Item(4), nullptr);
    EXPECT_EQ(items.Item(QVariant()), nullptr);
    EXPECT_TRUE(items.Exists(QVariant(1)));
    EXPECT_FALSE(items.Exists(QVariant(QString())));
}

TEST(ClsItems, DuplicateKeyIsRefused)
{
    clsItems items;
    items.AddItemEx(QStringLiteral("A"), QStringLiteral("Open"), nullptr);
    try {
        items.AddItemEx(QStringLiteral("B"), QStringLiteral("oPEN"), nullptr);
        ADD_FAILURE() << "duplicate accepted";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), -2147211503);
        EXPECT_EQ(uint32_t(e.number()), 0x80042711u);
        EXPECT_EQ(e.source(), QStringLiteral("Huepick.clsButtonItem - Add"));
        EXPECT_EQ(e.description(), QStringLiteral("Key: oPEN Already Exists"));
    }
    EXPECT_EQ(items.Count(), 1);
}

TEST(ClsItems, AddFailureOtherThanDuplicateCarriesItsDescription)
{
    clsToolbarItem::SetTextMeasurer([](const QString &, const StdFont &) { return QSize(40000, 13); });
    clsItems items;
    try {
        items.AddItemEx(QStringLiteral("huge"), QStringLiteral("k"), nullptr);
        ADD_FAILURE() << "no error";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), clsItems::kErrorNumber);
        EXPECT_EQ(e.source(), QStringLiteral("Huepick.clsButtonItem - Add"));
        EXPECT_EQ(e.description(), QStringLiteral("溢出"));
    }
    clsToolbarItem::SetTextMeasurer(nullptr);
    EXPECT_EQ(items.Count(), 0);
}

TEST(ClsItems, RemoveByPositionAndKey)
{
    clsItems items;
    items.AddItemEx(QStringLiteral("A"), QStringLiteral("a"), nullptr);
    ItemRef b = items.AddItemEx(QStringLiteral("B"), QStringLiteral("b"), nullptr);
    items.AddItemEx(QStringLiteral("C"), QStringLiteral("c"), nullptr);
    EXPECT_TRUE(items.Remove(QVariant(QStringLiteral("A"))));
    EXPECT_EQ(items.Item(1), b);
    EXPECT_TRUE(items.Remove(QVariant(2)));
    EXPECT_EQ(items.Count(), 1);
    for (const QVariant &bad : {QVariant(5), QVariant(QStringLiteral("zz"))}) {
        try {
            items.Remove(bad);
            ADD_FAILURE() << "removed a missing item";
        } catch (const com::RuntimeError &e) {
            EXPECT_EQ(e.number(), clsItems::kErrorNumber);
            EXPECT_EQ(e.source(), QStringLiteral(" Remove"));
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
    EXPECT_EQ(items.Count(), 1);
    // A key freed by Remove can be used again.
    EXPECT_NO_THROW(items.AddItemEx(QString(), QStringLiteral("a"), nullptr));
}

TEST(ClsItems, CopyItemCopiesInOrderAndSharesTheFont)
{
    tbtest::PinnedMetrics pin;
    clsToolbarItem a;
    a.SetCaption(QStringLiteral("Hello"));
    a.SetStyle(DropdownButton);
    a.SetiWidth(77);
    a.SetiHeight(33);
    a.SetiLeft(5);
    a.SetKey(QStringLiteral("ka"));
    a.SetmaskColor(0x123456);
    a.SetValue(true);
    a.SetVisible(false);
    a.SetEnabled(true);
    a.SetTooltipText(QStringLiteral("tip"));
    a.SetTag(QVariant(1));
    a.SetBounds(1, 2, 3, 4);
    clsToolbarItem b;
    b.SetTag(QVariant(QStringLiteral("mine")));
    EXPECT_FALSE(clsItems::CopyItem(&b, &a));
    EXPECT_EQ(b.Caption(), QStringLiteral("Hello"));
    EXPECT_EQ(b.Style(), DropdownButton);
    // Style is copied after the sizes and resizes again: caption 5 * 5 + 5
    // + 4, plus 8, plus 15 for the arrow.
    EXPECT_EQ(b.iWidth(), 57);
    EXPECT_EQ(b.iHeight(), 21);
    EXPECT_EQ(b.iLeft(), 5);
    EXPECT_EQ(b.Key(), QStringLiteral("ka"));
    EXPECT_EQ(b.maskColor(), 0x123456);
    EXPECT_TRUE(b.Value());
    EXPECT_FALSE(b.Visible());
    EXPECT_TRUE(b.Enabled());
    EXPECT_EQ(b.TooltipText(), QStringLiteral("tip"));
    EXPECT_EQ(b.Font(), a.Font());
    EXPECT_EQ(b.Tag().toString(), QStringLiteral("mine"));
    EXPECT_EQ(b.BoundsRight(), 0);
    EXPECT_FALSE(clsItems::CopyItem(nullptr, &a));

    // Style is always copied after the sizes, so hand-set sizes never
    // survive a copy: the copy is sized by its content.
    a.SetStyle(NormalButton);
    a.SetiWidth(77);
    a.SetiHeight(33);
    clsToolbarItem c;
    clsItems::CopyItem(&c, &a);
    EXPECT_EQ(c.iWidth(), 42);
    EXPECT_EQ(c.iHeight(), 21);
}

TEST(ClsItems, MaxItemHeightInTwips)
{
    clsItems items;
    EXPECT_EQ(items.MaxItemHeight(), 435);
    ItemRef sep = items.AddItemEx(QString(), QString(), nullptr);
    sep->SetbtnType(Separator);
    EXPECT_EQ(items.MaxItemHeight(), 435);
    ItemRef big = items.AddItemEx(QString(), QString(), tbtest::solidBitmap(4, 4, 0));
    big->SetIconSize(32);
    big->SetVisible(false);
    EXPECT_EQ(items.MaxItemHeight(), 40 * 15);
}

TEST(ClsMemDC, MeasuresAndRendersOnlyWhenCreated)
{
    clsMemDC dc;
    EXPECT_FALSE(dc.IsCreated());
    EXPECT_EQ(dc.TextWidth(QStringLiteral("abc")), 0);
    EXPECT_EQ(dc.Image(), nullptr);
    ASSERT_TRUE(dc.Init(0, 0));
    dc.SetFont(StdFont());
    EXPECT_GT(dc.TextWidth(QStringLiteral("abcdef")), dc.TextWidth(QStringLiteral("abc")));
    EXPECT_GT(dc.TextHeight(QStringLiteral("abc")), 0);
    EXPECT_NEAR(clsMemDC::HM2Pix(2540.0), 96.0, 1e-9);
    EXPECT_EQ(clsMemDC::TranslateColor(-1), -1);
    EXPECT_EQ(clsMemDC::TranslateColor(int32_t(0x80000008)), 0);
    EXPECT_EQ(clsMemDC::TranslateColor(int32_t(0x80000005)), 0xFFFFFF);
    EXPECT_EQ(clsMemDC::TranslateColor(0x7F123456), 0x123456);
    dc.Destroy();
    EXPECT_FALSE(dc.IsCreated());
}
