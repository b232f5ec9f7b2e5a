#include "ToolbarTestUtil.h"

#include "platform/com/RuntimeError.h"
#include "toolbar/control/NavToolbar.h"

#include <gtest/gtest.h>

using namespace qvtoolbar;

namespace {
// A run-mode bar of w x h pixels, initialised as a newly placed control.
std::unique_ptr<NavToolbar> makeBar(int w = 400, int h = 29)
{
    auto bar = std::make_unique<NavToolbar>();
    bar->InitProperties();
    bar->SetTwipsSize(w * 15, h * 15);
    return bar;
}
} // namespace

TEST(ButtonSize, TableOfCases)
{
    tbtest::PinnedMetrics pin;
    clsToolbarItem sep;
    sep.SetCaption(QStringLiteral("ignored"));
    sep.SetPicture(tbtest::solidBitmap(16, 16, 0));
    sep.SetbtnType(Separator);
    sep.SetStyle(DropdownButton);
    EXPECT_EQ(sep.iWidth(), 6);
    EXPECT_EQ(sep.iHeight(), 29);

    clsToolbarItem empty;
    empty.RecalcSize();
    EXPECT_EQ(empty.iWidth(), 24);
    EXPECT_EQ(empty.iHeight(), 24);
    empty.SetStyle(DropdownButton);
    EXPECT_EQ(empty.iWidth(), 39);
    EXPECT_EQ(empty.iHeight(), 24);

    clsToolbarItem textOnly;
    textOnly.SetCaption(QStringLiteral("OK")); // TW 19, TH 13
    EXPECT_EQ(textOnly.iWidth(), 27);
    EXPECT_EQ(textOnly.iHeight(), 21);

    clsToolbarItem iconOnly;
    iconOnly.SetPicture(tbtest::solidBitmap(16, 16, 0));
    EXPECT_EQ(iconOnly.iWidth(), 24);
    EXPECT_EQ(iconOnly.iHeight(), 24);

    clsToolbarItem ok;
    ok.SetCaption(QStringLiteral("OK"));
    ok.SetPicture(tbtest::solidBitmap(16, 16, 0));
    EXPECT_EQ(ok.TextWidthPx(), 19);
    EXPECT_EQ(ok.iWidth(), 47);
    EXPECT_EQ(ok.iHeight(), 24);
    ok.SetAlignment(IconRightTextLeft);
    EXPECT_EQ(ok.iWidth(), 47);

    // Vertical alignments: LTW is the larger of TW and the icon.
    ok.SetAlignment(IconTopTextBottom);
    EXPECT_EQ(ok.LayoutTextWidth(), 19);
    EXPECT_EQ(ok.iWidth(), 27);
    EXPECT_EQ(ok.iHeight(), 13 + 16 + 13);
    ok.SetIconSize(32);
    EXPECT_EQ(ok.LayoutTextWidth(), 32);
    EXPECT_EQ(ok.iWidth(), 40);
    ok.SetAlignment(static_cast<AlignCont>(7));
    EXPECT_EQ(ok.iWidth(), 0);
    EXPECT_EQ(ok.iHeight(), 0);
}

TEST(Placement, ButtonsFollowEachOtherFromTheGrip)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar();
    bar->AddButton(Button, QStringLiteral("OK"), QString(), tbtest::solidBitmap(16, 16, 0));
    bar->AddButton(Separator);
    bar->AddButton();
    EXPECT_EQ(bar->Buttons().Item(3)->iLeft(), 0); // not laid out by AddButton
    int16_t start = 0;
    bool size = false;
    bar->Calculate_Size(start, size);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(bar->Buttons().Item(1)->iLeft(), 9);
    EXPECT_EQ(bar->Buttons().Item(2)->iLeft(), 56);
    EXPECT_EQ(bar->Buttons().Item(3)->iLeft(), 62);
    const auto b3 = bar->Buttons().Item(3);
    EXPECT_EQ(b3->BoundsLeft(), 62);
    EXPECT_EQ(b3->BoundsTop(), 0);
    EXPECT_EQ(b3->BoundsRight(), 86);
    EXPECT_EQ(b3->BoundsBottom(), 29);
}

TEST(Placement, HiddenButtonsKeepTheirSpaceAndStartIsRespected)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar();
    bar->AddButton(Button, QStringLiteral("OK"), QString(), tbtest::solidBitmap(16, 16, 0));
    bar->AddButton();
    bar->AddButton();
    bar->Buttons().Item(1)->SetVisible(false);
    bar->Calculate_Size(1);
    EXPECT_EQ(bar->Buttons().Item(2)->iLeft(), 9 + 47);

    // From 3 on: 1 and 2 stay where they are even if their sizes change.
    bar->Buttons().Item(1)->SetiLeft(100);
    bar->Buttons().Item(2)->SetiWidth(50);
    int16_t start = 3;
    bool size = false;
    bar->Calculate_Size(start, size);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(bar->Buttons().Item(1)->iLeft(), 100);
    EXPECT_EQ(bar->Buttons().Item(2)->iLeft(), 56);
    EXPECT_EQ(bar->Buttons().Item(3)->iLeft(), 106);
}

TEST(LayoutContent, FourAlignmentsAndTheOtherCases)
{
    tbtest::PinnedMetrics pin;
    clsToolbarItem b;
    b.SetCaption(QStringLiteral("OK")); // TW 19, TH 13
    b.SetPicture(tbtest::solidBitmap(16, 16, 0));
    b.SetBounds(10, 0, 57, 29);
    auto c = NavToolbar::LayoutContent(b);
    ASSERT_TRUE(c.hasIcon && c.hasCaption);
    EXPECT_EQ(c.iconX, 14);
    EXPECT_EQ(c.iconY, 6); // N(13 / 2) = 6, ties to even
    EXPECT_EQ(c.capLeft, 34);
    EXPECT_EQ(c.capTop, 4);
    EXPECT_EQ(c.capRight, 57);
    EXPECT_EQ(c.capBottom, 25);

    b.SetAlignment(IconRightTextLeft);
    c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconX, 10 + 19 + 8);
    EXPECT_EQ(c.capLeft, 14);
    EXPECT_EQ(c.capRight, 14 + 19);

    b.SetBounds(10, 0, 37, 50);
    b.SetAlignment(IconTopTextBottom);
    c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconX, 10 + 4 + 2); // N((19 - 16) / 2) = N(1.5) = 2
    EXPECT_EQ(c.iconY, 8);          // N((50 - 16 - 13 - 4) / 2) = N(8.5) = 8
    EXPECT_EQ(c.capLeft, 14);
    EXPECT_EQ(c.capTop, 24);
    EXPECT_EQ(c.capRight, 33);
    EXPECT_EQ(c.capBottom, 46);

    b.SetAlignment(IconBottomTextTop);
    c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconX, 16);
    EXPECT_EQ(c.iconY, 26);     // N(8.5 + 13 + 4) = N(25.5)
    EXPECT_EQ(c.capTop, 8);
    EXPECT_EQ(c.capBottom, 22); // N(8.5 + 13) = N(21.5)

    clsToolbarItem iconOnly;
    iconOnly.SetPicture(tbtest::solidBitmap(16, 16, 0));
    iconOnly.SetBounds(9, 0, 33, 29);
    c = NavToolbar::LayoutContent(iconOnly);
    EXPECT_TRUE(c.hasIcon);
    EXPECT_FALSE(c.hasCaption);
    EXPECT_EQ(c.iconX, 13);

    clsToolbarItem textOnly;
    textOnly.SetCaption(QStringLiteral("OK"));
    textOnly.SetBounds(9, 0, 36, 29);
    c = NavToolbar::LayoutContent(textOnly);
    EXPECT_FALSE(c.hasIcon);
    EXPECT_EQ(c.capLeft, 13);
    EXPECT_EQ(c.capRight, 13 + 19);
    EXPECT_EQ(c.capBottom, 25);
}

TEST(ControlSize, MinimumsAndAutomaticHeight)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar(10, 10);
    EXPECT_EQ(bar->TwipsWidth(), 405);
    EXPECT_EQ(bar->TwipsHeight(), 435);
    bar->SetTwipsSize(200 * 15, 60 * 15);
    EXPECT_EQ(bar->height(), 60);
    bar->SetTwipsSize(200, 600);
    EXPECT_EQ(bar->TwipsWidth(), 405);
    EXPECT_EQ(bar->width(), 27);

    bar->SetTwipsSize(3000, 900);
    bar->AutoResize(1);
    EXPECT_EQ(bar->height(), 29);
    bar->AddButton(Button, QStringLiteral("x"), QString(), tbtest::solidBitmap(4, 4, 0), 40);
    bar->AutoResize(1);
    EXPECT_EQ(bar->height(), 48);
    // Laid out by the resize.
    EXPECT_EQ(bar->Buttons().Item(1)->iLeft(), 9);
    EXPECT_EQ(bar->Buttons().Item(1)->BoundsBottom(), 48);
}

TEST(ControlSize, NothingHappensBeforeInitialisation)
{
    NavToolbar bar;
    bar.resize(5, 5);
    bar.SetTwipsSize(75, 75);
    EXPECT_EQ(bar.width(), 5);
    EXPECT_TRUE(bar.Surface().isNull());
}

TEST(MoveButton, SwapsContentButNotTagsOrPositions)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar();
    bar->AddButton(Button, QStringLiteral("One"), QStringLiteral("k1"));
    bar->AddButton(Button, QStringLiteral("Second"), QStringLiteral("k2"));
    bar->Buttons().Item(1)->SetTag(QVariant(1));
    bar->Buttons().Item(2)->SetTag(QVariant(2));
    MoveConst dir = ToLeft;
    EXPECT_EQ(bar->MoveButton(1, dir), 0);
    dir = ToRight;
    EXPECT_EQ(bar->MoveButton(2, dir), 0);
    dir = static_cast<MoveConst>(9);
    EXPECT_EQ(bar->MoveButton(1, dir), 0);
    EXPECT_EQ(bar->Buttons().Item(1)->Caption(), QStringLiteral("One"));

    dir = ToRight;
    EXPECT_EQ(bar->MoveButton(1, dir), 2);
    EXPECT_EQ(bar->Buttons().Item(1)->Caption(), QStringLiteral("Second"));
    EXPECT_EQ(bar->Buttons().Item(2)->Caption(), QStringLiteral("One"));
    EXPECT_EQ(bar->Buttons().Item(1)->Key(), QStringLiteral("k2"));
    EXPECT_EQ(bar->Buttons().Item(1)->Tag().toInt(), 1);
    EXPECT_EQ(bar->Buttons().Item(2)->Tag().toInt(), 2);
    bar->Calculate_Size(1);
    EXPECT_EQ(bar->Buttons().Item(2)->iLeft(), 9 + (5 * 6 + 5 + 4 + 8));
}

TEST(AddButton, AppliesEveryArgumentAndRefusesDuplicates)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar();
    auto font = std::make_shared<StdFont>();
    EXPECT_EQ(bar->AddButton(Button, QStringLiteral("A"), QStringLiteral("a"), nullptr, 20, IconTopTextBottom,
                             QStringLiteral("tip"), 0x112233, font, CheckButton, STA_OVER, false, 0x00FF00),
              1);
    auto b = bar->Buttons().Item(1);
    EXPECT_EQ(b->Font(), font);
    EXPECT_EQ(b->IconSize(), 20);
    EXPECT_EQ(b->Alignment(), IconTopTextBottom);
    EXPECT_EQ(b->TooltipText(), QStringLiteral("tip"));
    EXPECT_EQ(b->Style(), CheckButton);
    EXPECT_EQ(b->ForeColor(), 0x112233);
    EXPECT_FALSE(b->UseMaskColor());
    EXPECT_EQ(b->maskColor(), 0x00FF00);
    EXPECT_TRUE(b->Enabled());

    EXPECT_EQ(bar->AddButton(), 2);
    auto d = bar->Buttons().Item(2);
    EXPECT_EQ(d->ForeColor(), int32_t(0x80000008));
    EXPECT_TRUE(d->UseMaskColor());
    EXPECT_EQ(d->maskColor(), 0xFF00FF);
    EXPECT_THROW(bar->AddButton(Button, QString(), QStringLiteral("A")), com::RuntimeError);
    EXPECT_EQ(bar->Buttons().Count(), 2);
}

TEST(MoveButton, KeysTravelWithTheMovedButtons)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar();
    bar->AddButton(Button, QStringLiteral("One"), QStringLiteral("k1"));
    bar->AddButton(Button, QStringLiteral("Two"), QStringLiteral("k2"));
    bar->AddButton(Button, QStringLiteral("Three"));
    MoveConst dir = ToRight;
    ASSERT_EQ(bar->MoveButton(1, dir), 2);
    ASSERT_TRUE(bar->Buttons().Item(QStringLiteral("k1")));
    EXPECT_EQ(bar->Buttons().Item(QStringLiteral("k1"))->Caption(), QStringLiteral("One"));
    EXPECT_EQ(bar->Buttons().Item(QStringLiteral("k2"))->Caption(), QStringLiteral("Two"));
    // A keyless button moving onto a keyed place leaves that key with its owner.
    ASSERT_EQ(bar->MoveButton(3, dir = ToLeft), 2);
    EXPECT_EQ(bar->Buttons().Item(3)->Caption(), QStringLiteral("One"));
    EXPECT_EQ(bar->Buttons().Item(QStringLiteral("k1"))->Caption(), QStringLiteral("One"));
    EXPECT_THROW(bar->AddButton(Button, QString(), QStringLiteral("K1")), com::RuntimeError);
    bar->Buttons().Remove(QVariant(QStringLiteral("k1")));
    EXPECT_EQ(bar->Buttons().Count(), 2);
    EXPECT_EQ(bar->Buttons().Item(2)->Caption(), QStringLiteral("Three"));
}

TEST(LayoutContent, TheWholeExpressionIsRoundedToEven)
{
    tbtest::PinnedMetrics pin;
    clsToolbarItem b;
    b.SetCaption(QStringLiteral("OK")); // TW 19, TH 13
    b.SetPicture(tbtest::solidBitmap(16, 16, 0));
    // The first button: L = 9, so x = N(1.5 + 13) = N(14.5) = 14, not 2 + 13.
    b.SetAlignment(IconTopTextBottom);
    b.SetBounds(9, 1, 36, 50);
    auto c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconX, 14);
    EXPECT_EQ(c.iconY, 10); // N(8.5 + 1) = N(9.5) = 10, not 8 + 1
    b.SetAlignment(IconBottomTextTop);
    c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconX, 14);
    EXPECT_EQ(c.iconY, 26); // N(8.5 + 1 + 13 + 4) = N(26.5) = 26
    EXPECT_EQ(c.capTop, 10);
    EXPECT_EQ(c.capBottom, 22); // N(8.5 + 1 + 13) = N(22.5) = 22
    b.SetAlignment(IconLeftTextRight);
    b.SetBounds(9, 1, 47, 30);
    c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconY, 8); // N(7 + 1)
    b.SetBounds(9, 1, 47, 29);
    c = NavToolbar::LayoutContent(b);
    EXPECT_EQ(c.iconY, 8); // N(6.5 + 1) = N(7.5) = 8, not 6 + 1
}
