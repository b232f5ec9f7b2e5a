#include "platform/widgets/Ui.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(Twips, ConversionsRoundHalfToEven)
{
    // 96 dpi: 15 twips per pixel.
    EXPECT_EQ(jx::twipsToPixels(1500, 96), 100);
    EXPECT_EQ(jx::twipsToPixels(100, 96), 7);  // 6.67
    EXPECT_EQ(jx::twipsToPixels(97, 96), 6);   // 6.47
    EXPECT_EQ(jx::twipsToPixels(-100, 96), -7);
    EXPECT_EQ(jx::pixelsToTwips(7, 96), 105);
    // 120 dpi: 12 twips per pixel; exact halves go to the even pixel.
    EXPECT_EQ(jx::twipsToPixels(18, 120), 2);  // 1.5
    EXPECT_EQ(jx::twipsToPixels(30, 120), 2);  // 2.5
    EXPECT_EQ(jx::twipsToPixels(42, 120), 4);  // 3.5
    EXPECT_EQ(jx::twipsToPixels(-30, 120), -2);
    // 128 dpi: 11.25 twips per pixel.
    EXPECT_EQ(jx::pixelsToTwips(2, 128), 22);  // 22.5
    EXPECT_EQ(jx::pixelsToTwips(6, 128), 68);  // 67.5
    EXPECT_EQ(jx::pixelsToTwips(4, 128), 45);
    // Large values stay exact (no float drift).
    EXPECT_EQ(jx::twipsToPixels(2000000001, 96), 133333333);
}

TEST(Twips, DivisionHelper)
{
    EXPECT_EQ(jx::divRoundHalfEven(5, 2), 2);
    EXPECT_EQ(jx::divRoundHalfEven(7, 2), 4);
    EXPECT_EQ(jx::divRoundHalfEven(-5, 2), -2);
    EXPECT_EQ(jx::divRoundHalfEven(-7, 2), -4);
    EXPECT_EQ(jx::divRoundHalfEven(8, 3), 3);
    EXPECT_EQ(jx::divRoundHalfEven(-8, 3), -3);
    EXPECT_EQ(jx::divRoundHalfEven(0, 7), 0);
}

TEST(Twips, ScreenConversionsAgreeWithTheResolution)
{
    const int dpi = jx::screenDpiX();
    ASSERT_GT(dpi, 0);
    EXPECT_EQ(jx::twipsPerPixelX(), static_cast<int>(jx::divRoundHalfEven(1440, dpi)));
    EXPECT_EQ(jx::twipsToPixels(100), jx::twipsToPixels(100, dpi));
    EXPECT_EQ(jx::pixelsToTwips(7), jx::pixelsToTwips(7, dpi));
    const QRect r = jx::twipsToPixels(QRect(100, 1500, 3000, 97));
    EXPECT_EQ(r, QRect(jx::twipsToPixels(100, dpi), jx::twipsToPixels(1500, jx::screenDpiY()),
                       jx::twipsToPixels(3000, dpi), jx::twipsToPixels(97, jx::screenDpiY())));
    const QSize s = jx::pixelsToTwips(QSize(7, 9));
    EXPECT_EQ(s, QSize(jx::pixelsToTwips(7, dpi), jx::pixelsToTwips(9, jx::screenDpiY())));
}

TEST(UiHelpers, ShowModalReturnsWhenThePlainWindowCloses)
{
    QWidget window;
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&window, &wasModal]() {
        wasModal = window.isVisible() && window.isModal();
        window.close();
    });
    EXPECT_EQ(jx::showModal(&window), 0);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(window.isVisible());
}

TEST(UiHelpers, ShowModalReturnsTheDialogResult)
{
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog]() { dialog.accept(); });
    EXPECT_EQ(jx::showModal(&dialog), QDialog::Accepted);
    EXPECT_EQ(jx::showModal(nullptr), 0);
}

TEST(UiHelpers, ShowModalSurvivesTheWindowBeingDeleted)
{
    auto *window = new QWidget;
    QTimer::singleShot(0, window, [window]() { delete window; });
    EXPECT_EQ(jx::showModal(window), 0);
}

TEST(UiHelpers, DoEventsRunsPendingWork)
{
    bool ran = false;
    QTimer::singleShot(0, [&ran]() { ran = true; });
    jx::doEvents();
    EXPECT_TRUE(ran);

    QWidget window;
    jx::showModeless(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
}

} // namespace
