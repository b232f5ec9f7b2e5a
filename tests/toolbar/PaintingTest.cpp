#include "ToolbarTestUtil.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/ToolbarColors.h"
#include "toolbar/drawing/CaptionCache.h"
#include "toolbar/drawing/ToolbarSurface.h"
#include "toolbar/drawing/clsToolTip.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace qvtoolbar;
using tbtest::px;

namespace {
std::unique_ptr<NavToolbar> makeBar(int w = 400, int h = 29)
{
    auto bar = std::make_unique<NavToolbar>();
    bar->InitProperties();
    bar->SetTwipsSize(w * 15, h * 15);
    return bar;
}

QColor rgb(uint32_t hex)
{
    return QColor((hex >> 16) & 0xFF, (hex >> 8) & 0xFF, hex & 0xFF);
}

// Keeps the surface of a failing test for inspection.
void keepEvidence(const QImage &img, const char *name)
{
    if (::testing::Test::HasFailure())
        img.save(QDir::temp().filePath(QStringLiteral("toolbar-test-%1.png").arg(QLatin1String(name))));
}

struct SchemeGuard
{
    explicit SchemeGuard(QString name) { SetSchemeNameProvider([name] { return name; }); }
    ~SchemeGuard() { SetSchemeNameProvider(nullptr); }
};
} // namespace

TEST(Primitives, LinesCoverTheStartButNotTheEnd)
{
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::white);
    ToolbarSurface s(&img);
    s.DrawLine(2, 3, 6, 3, 0x0000FF); // red in OLE order
    EXPECT_EQ(px(img, 2, 3), QColor(255, 0, 0));
    EXPECT_EQ(px(img, 5, 3), QColor(255, 0, 0));
    EXPECT_EQ(px(img, 6, 3), QColor(Qt::white));
    s.DrawLine(1, 8, 1, 5, 0); // upwards
    EXPECT_EQ(px(img, 1, 8), QColor(Qt::black));
    EXPECT_EQ(px(img, 1, 6), QColor(Qt::black));
    EXPECT_EQ(px(img, 1, 5), QColor(Qt::white));
    s.DrawRectOutline(7, 7, 1, 1, 0);
    EXPECT_EQ(px(img, 7, 7), QColor(Qt::black));
    EXPECT_EQ(px(img, 8, 8), QColor(Qt::black));
    EXPECT_EQ(px(img, 9, 9), QColor(Qt::white));
    s.DrawLine(-5, 0, 20, 0, 0); // clipped, no crash
    EXPECT_EQ(px(img, 9, 0), QColor(Qt::black));
}

TEST(Primitives, GradientUsesTheBottomCoordinateAndRoundsToEven)
{
    QImage img(4, 12, QImage::Format_RGB32);
    img.fill(Qt::white);
    ToolbarSurface s(&img);
    // Red from 0 to 5 over divisor 2: row 1 is 2.5, which rounds to 2.
    s.FillVerticalGradient(OleRgb(0, 0, 0), OleRgb(5, 0, 0), 0, 0, 4, 2);
    EXPECT_EQ(px(img, 0, 0).red(), 0);
    EXPECT_EQ(px(img, 0, 1).red(), 2);
    EXPECT_EQ(px(img, 0, 2).red(), 5);
    EXPECT_EQ(px(img, 0, 3), QColor(Qt::white));
    // The face gradient starts one row below its top and ends at top + bottom - 1.
    img.fill(Qt::white);
    s.DrawGradient(OleRgb(0, 0, 0), OleRgb(100, 0, 0), 0, 2, 3, 5, true);
    EXPECT_EQ(px(img, 0, 2), QColor(Qt::white));
    EXPECT_EQ(px(img, 0, 3).red(), 20);
    EXPECT_EQ(px(img, 0, 6).red(), 80);
    EXPECT_EQ(px(img, 0, 7), QColor(Qt::white));
    EXPECT_EQ(px(img, 3, 3), QColor(Qt::white));
    // A zero divisor does not fail.
    s.FillVerticalGradient(OleRgb(9, 9, 9), OleRgb(50, 50, 50), 0, 10, 2, 0);
    EXPECT_EQ(px(img, 0, 10), QColor(9, 9, 9));
}

TEST(Primitives, PaintPictureExMaskAndGrayscale)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    QImage pic(8, 8, QImage::Format_RGB32);
    pic.fill(qRgb(255, 0, 255));
    pic.setPixel(1, 1, qRgb(255, 0, 0));
    pic.setPixel(2, 2, qRgb(0, 255, 0));
    pic.setPixel(3, 3, qRgb(10, 20, 30));
    StdPicture p(StdPicture::Bitmap, pic);
    ToolbarSurface s(&img);
    s.PaintPictureEx(0, 0, 8, 8, &p, 0xFF00FF, -1, false, true, false, true);
    EXPECT_EQ(px(img, 0, 0), QColor(1, 2, 3)); // mask colour skipped
    EXPECT_EQ(px(img, 1, 1), QColor(76, 76, 76)); // N(76.5) = 76
    EXPECT_EQ(px(img, 2, 2), QColor(150, 150, 150));
    img.fill(qRgb(1, 2, 3));
    s.PaintPictureEx(0, 0, 8, 8, &p, 0xFF00FF, -1, false, false, false, false);
    EXPECT_EQ(px(img, 0, 0), QColor(255, 0, 255)); // mask not honoured
    EXPECT_EQ(px(img, 3, 3), QColor(10, 20, 30));
    img.fill(qRgb(30, 30, 30));
    s.PaintPictureEx(0, 0, 8, 8, &p, 0xFF00FF, -1, false, false, true, true);
    EXPECT_EQ(px(img, 1, 1), QColor(180, 10, 10)); // (2 * source + destination) / 3
    s.PaintPictureEx(0, 0, 8, 8, &p, 0xFF00FF, OleRgb(0, 0, 200), true, false, false, true);
    EXPECT_EQ(px(img, 3, 3), QColor(0, 0, 200));
    s.PaintPictureEx(0, 0, 0, 8, &p, 0xFF00FF, -1, false, false, false, true); // nothing
}

TEST(Background, OneGradientRowOfEachColourSet)
{
    const struct { ThemeConst theme; QColor row10; } cases[] = {
        {Blue, QColor(189, 213, 244)},       {Silver, QColor(213, 212, 227)},
        {Olive, QColor(224, 231, 197)},      {Visual2005, QColor(229, 229, 218)},
        {Norton2004, QColor(242, 216, 108)},
    };
    for (const auto &c : cases) {
        auto bar = makeBar();
        bar->SetThemeColor(Silver);
        bar->SetThemeColor(c.theme);
        bar->Redraw();
        EXPECT_EQ(px(bar->Surface(), 200, 10), c.row10) << ThemeName(c.theme).toStdString();
        keepEvidence(bar->Surface(), "row");
    }
}

TEST(Background, ColourSetsKeepOrangeHotSlotsExceptVisual2005)
{
    auto bar = makeBar();
    bar->SetThemeColor(Norton2004);
    EXPECT_EQ(bar->Colors().OverTop, OleRgb(0xFF, 0xF5, 0xCE));
    EXPECT_EQ(bar->Colors().BarLight, OleRgb(0xFF, 0xEF, 0xA5));
    bar->SetThemeColor(Visual2005);
    EXPECT_EQ(bar->Colors().OverTop, OleRgb(0xBF, 0xD1, 0xEF));
    EXPECT_EQ(bar->Colors().PressedBottom, OleRgb(0x95, 0xB3, 0xE4));
    bar->SetThemeColor(Olive);
    EXPECT_EQ(bar->Colors().OverTop, OleRgb(0xFF, 0xF5, 0xCE));
    bar->SetThemeColor(static_cast<ThemeConst>(42));
    EXPECT_EQ(bar->Colors().BarDark, OleRgb(0x99, 0x97, 0xB4));
}

TEST(Background, GripDotsOfA29PixelBar)
{
    auto bar = makeBar();
    bar->Redraw();
    const QImage &img = bar->Surface();
    const QColor sep = rgb(0x3B619C);
    for (int y : {8, 12, 16, 20}) {
        EXPECT_EQ(px(img, 6, y), QColor(Qt::white)) << y;
        EXPECT_EQ(px(img, 5, y + 1), QColor(Qt::white)) << y;
        EXPECT_EQ(px(img, 6, y + 1), QColor(Qt::white)) << y;
        EXPECT_EQ(px(img, 4, y - 1), sep) << y;
        EXPECT_EQ(px(img, 5, y - 1), sep) << y;
        EXPECT_EQ(px(img, 4, y), sep) << y;
        EXPECT_EQ(px(img, 5, y), sep) << y; // the dark dot is drawn last
    }
    EXPECT_NE(px(img, 6, 24), QColor(Qt::white));
    EXPECT_NE(px(img, 4, 3), sep);
    // Corners against the container's background (button face, 240).
    EXPECT_EQ(px(img, 0, 0), QColor(240, 240, 240));
    EXPECT_EQ(px(img, 0, 28), QColor(240, 240, 240));
    EXPECT_EQ(px(img, 1, 0), QColor(238, 246, 254)); // blend of white and DD EC FE
    keepEvidence(img, "grip");
}

TEST(Background, ChevronCornersArrowAndMarks)
{
    auto bar = makeBar();
    bar->Redraw();
    const QImage &img = bar->Surface();
    const int xl = 400 - 13;
    const int H = 29;
    EXPECT_EQ(px(img, xl + 12, 0), QColor(240, 240, 240));
    EXPECT_EQ(px(img, xl + 12, H - 1), QColor(240, 240, 240));
    EXPECT_EQ(px(img, xl + 1, 0), rgb(0x76A7F1));
    EXPECT_EQ(px(img, xl + 1, H - 1), rgb(0x003591));
    // Blend of BarLight and ChevronTop: 169.5, 201.5, 247.5 round to even.
    EXPECT_EQ(px(img, xl, 0), QColor(170, 202, 248));
    EXPECT_EQ(px(img, xl + 1, 1), QColor(170, 202, 248));
    // Arrow, its white shadow and the bar above it.
    EXPECT_EQ(px(img, xl + 6, H - 8), QColor(Qt::black));
    EXPECT_EQ(px(img, xl + 6, H - 6), QColor(Qt::black));
    EXPECT_EQ(px(img, xl + 8, H - 7), QColor(Qt::white));
    for (int x = xl + 4; x < xl + 9; ++x)
        EXPECT_EQ(px(img, x, H - 11), QColor(Qt::black)) << x;
    EXPECT_NE(px(img, xl + 9, H - 11), QColor(Qt::black));
    for (int x = xl + 5; x < xl + 10; ++x)
        EXPECT_EQ(px(img, x, H - 10), QColor(Qt::white)) << x;
    // Marks at the top.
    for (int k = 0; k < 2; ++k) {
        const int x = xl + 4 + 4 * k;
        EXPECT_EQ(px(img, x, 5), QColor(Qt::black));
        EXPECT_EQ(px(img, x, 7), QColor(Qt::black));
        EXPECT_NE(px(img, x, 8), QColor(Qt::black));
        EXPECT_EQ(px(img, x + 1, 6), QColor(Qt::black));
        EXPECT_EQ(px(img, x + 1, 7), QColor(Qt::white));
        EXPECT_EQ(px(img, x + 2, 7), QColor(Qt::white));
        EXPECT_EQ(px(img, x + 1, 8), QColor(Qt::white));
    }
    keepEvidence(img, "chevron");
}

TEST(Buttons, FaceColoursAndBorderOfEachState)
{
    auto bar = makeBar();
    bar->AddButton();
    bar->AddButton(Button, QString(), QString(), nullptr, 16, IconLeftTextRight, QString(), int32_t(0x80000008),
                   nullptr, DropdownButton);
    bar->AddButton(Button, QString(), QString(), nullptr, 16, IconLeftTextRight, QString(), int32_t(0x80000008),
                   nullptr, CheckButton);
    bar->Calculate_Size(1);
    bar->Redraw();
    auto b1 = bar->Buttons().Item(1); // 9..33
    auto b2 = bar->Buttons().Item(2); // 33..72
    auto b3 = bar->Buttons().Item(3); // 72..96
    const QImage &img = bar->Surface();
    // The resting face is the bar gradient again, but over the button's
    // own divisor (27 rather than 29), so it differs slightly from the bar.
    const QColor restRow10(187, 211, 244);
    EXPECT_EQ(px(img, 20, 10), restRow10);
    EXPECT_EQ(px(img, 200, 10), QColor(189, 213, 244));

    b1->SetState(STA_OVER);
    bar->DrawButton(b1.get());
    EXPECT_EQ(px(img, 11, 2), rgb(0x002D96));
    EXPECT_EQ(px(img, 29, 10), rgb(0x002D96));
    EXPECT_EQ(px(img, 20, 25), rgb(0x002D96));
    EXPECT_EQ(px(img, 20, 3), QColor(255, 243, 203));
    EXPECT_EQ(px(img, 20, 24), QColor(255, 212, 150));

    b1->SetState(STA_PRESSED);
    bar->DrawButton(b1.get());
    EXPECT_EQ(px(img, 11, 2), QColor(Qt::black));
    EXPECT_EQ(px(img, 20, 3).green(), 208); // 211 - 66 / 25 = 208.36

    b1->SetState(STA_NORMAL);
    bar->DrawButton(b1.get());
    EXPECT_EQ(px(img, 11, 2), QColor(214, 231, 252));
    EXPECT_EQ(px(img, 20, 10), restRow10);

    b2->SetState(STA_OVER);
    bar->DrawButton(b2.get());
    EXPECT_EQ(px(img, 72 - 17, 10), rgb(0x3B619C)); // divider
    EXPECT_EQ(px(img, 72 - 14 + 3, 14), QColor(Qt::black)); // arrow at N(27 / 2) = 14

    b2->SetState(STA_SELECTED);
    bar->DrawButton(b2.get());
    EXPECT_EQ(px(img, 35, 2), QColor(10, 0, 0)); // untranslated pen value
    EXPECT_EQ(px(img, 45, 3), QColor(133, 172, 227)); // bar gradient upside down

    b2->SetState(STA_OVERDOWN);
    bar->DrawButton(b2.get());
    EXPECT_EQ(px(img, 35, 2), QColor(Qt::black));

    b3->SetState(STA_SELECTED);
    bar->DrawButton(b3.get());
    EXPECT_EQ(px(img, 74, 2), QColor(Qt::black));
    EXPECT_EQ(px(img, 80, 3).green(), 208);

    b3->SetState(STA_OVERDOWN);
    bar->DrawButton(b3.get());
    EXPECT_EQ(px(img, 80, 3), QColor(0xFE, 148, 81)); // bottom colour on top: 145 + 66 / 25
    keepEvidence(img, "states");

    bar->DrawButton(nullptr);
}

TEST(Buttons, RedrawRestsEveryButtonAndSelectsCheckedOnes)
{
    auto bar = makeBar();
    bar->AddButton();
    bar->AddButton(Button, QString(), QString(), nullptr, 16, IconLeftTextRight, QString(), int32_t(0x80000008),
                   nullptr, CheckButton);
    bar->Calculate_Size(1);
    bar->Buttons().Item(1)->SetState(STA_OVER);
    bar->Buttons().Item(2)->SetValue(true);
    bar->Redraw();
    EXPECT_EQ(bar->Buttons().Item(1)->State(), STA_NORMAL);
    EXPECT_EQ(bar->Buttons().Item(2)->State(), STA_SELECTED);
    EXPECT_EQ(px(bar->Surface(), 35, 2), QColor(Qt::black));
}

TEST(Buttons, DisabledButtonIsGreyCaptionAndGreyIcon)
{
    auto bar = makeBar();
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(qRgb(255, 0, 255));
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            icon.setPixel(x, y, qRgb(255, 0, 0));
    auto pic = std::make_shared<StdPicture>(StdPicture::Bitmap, icon);
    bar->AddButton(Button, QStringLiteral("WWWW"), QString(), pic);
    bar->Calculate_Size(1);
    auto b = bar->Buttons().Item(1);
    const auto c = NavToolbar::LayoutContent(*b);
    auto countColour = [&](const QColor &colour) {
        int n = 0;
        for (int y = c.capTop; y < c.capBottom; ++y)
            for (int x = c.capLeft; x < c.capRight; ++x)
                n += px(bar->Surface(), x, y) == colour;
        return n;
    };
    bar->Redraw();
    EXPECT_EQ(px(bar->Surface(), c.iconX + 6, c.iconY + 6), QColor(255, 0, 0));
    EXPECT_GT(countColour(QColor(Qt::black)), 0);
    const QColor iconBackground = px(bar->Surface(), c.iconX, c.iconY);
    EXPECT_NE(iconBackground, QColor(255, 0, 255)); // mask colour left out

    b->SetEnabled(false);
    bar->Redraw();
    EXPECT_EQ(px(bar->Surface(), c.iconX + 6, c.iconY + 6), QColor(76, 76, 76));
    EXPECT_EQ(px(bar->Surface(), c.iconX, c.iconY), iconBackground);
    EXPECT_GT(countColour(QColor(128, 128, 128)), 0);
    EXPECT_EQ(countColour(QColor(Qt::black)), 0);
    keepEvidence(bar->Surface(), "disabled");
}

TEST(Redraw, HiddenButtonsStayBackgroundAndRangeIsCorrected)
{
    auto bar = makeBar();
    for (int i = 0; i < 5; ++i)
        bar->AddButton(Button, QString(), QString(), nullptr, 16, IconLeftTextRight, QString(), int32_t(0x80000008),
                       nullptr, CheckButton);
    bar->Calculate_Size(1);
    for (int i = 1; i <= 5; ++i)
        bar->Buttons().Item(i)->SetValue(true);
    bar->Buttons().Item(3)->SetVisible(false);
    bool clear = false;
    int32_t from = 0;
    int32_t to = 99;
    bar->Redraw(clear, from, to);
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 5);
    const auto b3 = bar->Buttons().Item(3);
    for (int y = 0; y < 28; ++y)
        EXPECT_EQ(px(bar->Surface(), b3->BoundsLeft() + 5, y), px(bar->Surface(), 300, y)) << y;
    EXPECT_EQ(px(bar->Surface(), bar->Buttons().Item(5)->BoundsLeft() + 2, 2), QColor(Qt::black));
    from = 2;
    to = -1;
    bar->Redraw(clear, from, to);
    EXPECT_EQ(from, 2);
    EXPECT_EQ(to, 5);
}

TEST(Redraw, NothingBeforeInitialisation)
{
    NavToolbar bar;
    bar.resize(100, 29);
    bar.Redraw();
    EXPECT_TRUE(bar.Surface().isNull());
}

TEST(Themes, SettingTheCurrentValueDoesNothing)
{
    auto bar = makeBar();
    bar->Redraw();
    EXPECT_EQ(bar->ThemeColor(), Blue);
    bar->SetThemeColor(Blue);
    EXPECT_TRUE(bar->ChangedProperties().isEmpty());
    const QColor before = px(bar->Surface(), 200, 10);
    bar->SetThemeColor(Olive);
    EXPECT_EQ(bar->ChangedProperties(), QStringList{QStringLiteral("ThemeColor")});
    EXPECT_NE(px(bar->Surface(), 200, 10), before);
}

TEST(Themes, AutodetectFollowsTheColourSchemeName)
{
    const struct { const char *scheme; uint32_t barLight; } cases[] = {
        {"", 0xF4F4FB}, {"Classic", 0xF4F4FB}, {"Metallic", 0xF4F4FB},
        {"NormalColor", 0xDDECFE}, {"HomeStead", 0xF7F9E1},
    };
    for (const auto &c : cases) {
        SchemeGuard guard(QString::fromLatin1(c.scheme));
        auto bar = makeBar();
        bar->SetThemeColor(Autodetect);
        bar->Redraw();
        EXPECT_EQ(px(bar->Surface(), 200, 0), rgb(c.barLight)) << c.scheme;
        EXPECT_EQ(bar->Colors().OverTop, OleRgb(0xFF, 0xF5, 0xCE));
    }
}

TEST(Themes, SkinIdIsStoredAndRebuildsThePlaceholderTip)
{
    auto bar = makeBar();
    bar->SetSkinID(QStringLiteral("skin1"));
    EXPECT_EQ(bar->SkinID(), QStringLiteral("skin1"));
    EXPECT_TRUE(bar->ChangedProperties().contains(QStringLiteral("SkinID")));
    ASSERT_NE(bar->ToolTip(), nullptr);
    EXPECT_TRUE(bar->ToolTip()->IsCreated());
    EXPECT_EQ(bar->ToolTip()->ShownText(), QStringLiteral("abcdeft"));
    EXPECT_EQ(bar->ToolTip()->Style(), 0);
    EXPECT_EQ(bar->ToolTip()->VisibleTime(), 2000);
    EXPECT_EQ(bar->ToolTip()->DelayTime(), 300);
}

TEST(Captions, CachedCaptionsSetTheSamePixelsAsDrawnText)
{
    CaptionCache cache;
    StdFont bold;
    bold.Name = QStringLiteral("宋体");
    bold.Size = 10.5;
    bold.Bold = true;
    const struct { QString text; StdFont font; QRect r; bool centred; } cases[] = {
        {QStringLiteral("保存"), StdFont(), QRect(13, 4, 30, 21), true},
        {QStringLiteral("Wide caption cut"), StdFont(), QRect(50, 4, 25, 21), true},
        {QStringLiteral("新建一条记录"), bold, QRect(90, 2, 80, 25), false},
        {QStringLiteral("edge"), StdFont(), QRect(-6, 20, 40, 15), true},
    };
    for (const auto &c : cases) {
        QImage drawn(200, 29, QImage::Format_RGB32);
        drawn.fill(qRgb(200, 220, 240));
        QImage cached = drawn.copy();
        ToolbarSurface(&drawn).DrawCaption(c.text, 0x102030, c.r.left(), c.r.top(), c.r.right() + 1, c.r.bottom() + 1,
                                           c.font, c.centred);
        for (int pass = 0; pass < 2; ++pass) // built, then reused
            ToolbarSurface(&cached).DrawCaption(c.text, 0x102030, c.r.left(), c.r.top(), c.r.right() + 1,
                                                c.r.bottom() + 1, c.font, c.centred, &cache);
        int glyphPixels = 0; // the caption colour is 0x102030 as R 0x30, G 0x20, B 0x10
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                glyphPixels += drawn.pixel(x, y) == qRgb(0x30, 0x20, 0x10);
        EXPECT_GT(glyphPixels, 10) << qPrintable(c.text);
        EXPECT_EQ(cached, drawn) << qPrintable(c.text);
    }
    EXPECT_EQ(cache.Size(), 4);
}
