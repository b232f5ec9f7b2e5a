#include "console/workspace/MainLayout.h"

#include <gtest/gtest.h>

using jx::MainFrame;
using jx::MainLayout;

namespace {

// The main window as designed (twips), in a client area of the given size.
MainFrame designed(int width, int height)
{
    MainFrame f;
    f.innerWidth = width;
    f.innerHeight = height;
    f.screenWidth = 12000;
    f.titleBar = {0, 0, 12000, 1140};
    f.linkBar = {0, 1140, 12000, 450};
    f.statusBar = {0, 8000, 12000, 420};
    f.exitButton = {6000, 420, 1500, 420};
    f.lockButton = {7800, 420, 1500, 420};
    f.helpButton = {9600, 420, 1500, 420};
    f.alertButton = {4000, 45, 1300, 360};
    f.userLabel = {7000, 90, 2400, 270};
    f.periodLabel = {5000, 90, 3000, 270};
    f.passwordLink = {9600, 105, 1100, 270};
    f.aboutLink = {10800, 105, 1100, 270};
    f.message = {30, 60, 6000, 300};
    f.webIcon = f.supportIcon = f.mailIcon = {0, 60, 240, 240};
    f.webLink = {6000, 60, 3000, 270};
    f.supportLink = {7000, 60, 2400, 270};
    f.mailLink = {8000, 60, 1400, 270};
    f.nav = {30, 1590, 2700, 6000};
    f.splitter = {2760, 1590, 60, 6000};
    f.splitterBar = {0, 0, 30, 6000};
    f.work = {2820, 1590, 9000, 6000};
    f.diagram = f.page = {15, 15, 9000, 5600};
    f.tabs = {15, 5615, 9000, 375};
    f.reports = {6000, 0, 3000, 5600};
    f.reportSplitter = {5940, 0, 60, 5600};
    f.reportSplitterBar = {0, 0, 30, 5600};
    f.menuButtons = {{150, -360, 2400, 600}, {150, 360, 2400, 600}};
    return f;
}

std::vector<QRect> rectangles(const MainFrame &f)
{
    std::vector<QRect> all{f.titleBar,    f.linkBar,      f.statusBar,   f.helpButton,     f.lockButton,
                           f.exitButton,  f.aboutLink,    f.passwordLink, f.userLabel,     f.periodLabel,
                           f.alertButton, f.mailLink,     f.mailIcon,    f.supportLink,    f.supportIcon,
                           f.webLink,     f.webIcon,      f.message,     f.nav,            f.splitter,
                           f.splitterBar, f.work,         f.diagram,     f.page,           f.tabs,
                           f.reports,     f.reportSplitter, f.reportSplitterBar};
    all.insert(all.end(), f.menuButtons.begin(), f.menuButtons.end());
    return all;
}

} // namespace

TEST(MainLayout, ArrangesAWindowOfFifteenThousandByTenThousandTwips)
{
    const MainFrame f = MainLayout::arranged(designed(15000, 10000));
    EXPECT_EQ(f.titleBar, QRect(0, 0, 15000, 1140));
    EXPECT_EQ(f.linkBar, QRect(0, 1140, 15000, 450));
    EXPECT_EQ(f.statusBar, QRect(0, 9580, 15000, 420));
    // Title bar, right to left: 780 from the edge, 285 between the buttons.
    EXPECT_EQ(f.helpButton.x(), 12720);
    EXPECT_EQ(f.lockButton.x(), 10935);
    EXPECT_EQ(f.exitButton.x(), 9150);
    // Link bar: 780 from the edge, 200 between; the period hidden, the alert button beside the user.
    EXPECT_EQ(f.aboutLink.topLeft(), QPoint(13120, 105));
    EXPECT_EQ(f.passwordLink.topLeft(), QPoint(11820, 105));
    EXPECT_EQ(f.userLabel.topLeft(), QPoint(9220, 90));
    EXPECT_EQ(f.alertButton.x(), 7720);
    EXPECT_EQ(f.periodLabel, QRect(5000, 90, 3000, 270));
    // Status bar, right to left at top 60: 300 from the edge, 100 to an icon, 500 to the next link.
    EXPECT_EQ(f.mailLink.topLeft(), QPoint(13300, 60));
    EXPECT_EQ(f.mailIcon.topLeft(), QPoint(12960, 60));
    EXPECT_EQ(f.supportLink.topLeft(), QPoint(10060, 60));
    EXPECT_EQ(f.supportIcon.topLeft(), QPoint(9720, 60));
    EXPECT_EQ(f.webLink.topLeft(), QPoint(6220, 60));
    EXPECT_EQ(f.webIcon.topLeft(), QPoint(5880, 60));
    EXPECT_EQ(f.message.topLeft(), QPoint(30, 60));
    // Between the bars: the panel keeps its width, the work area takes the rest.
    EXPECT_EQ(f.nav, QRect(30, 1590, 2700, 7990));
    EXPECT_EQ(f.splitter, QRect(2700, 1590, 60, 7990));
    EXPECT_EQ(f.splitterBar.topLeft(), QPoint(2760, 1590));
    EXPECT_EQ(f.work, QRect(2760, 1590, 12210, 7990));
    EXPECT_EQ(f.diagram, QRect(15, 15, 12180, 7585));
    EXPECT_EQ(f.page, QRect(15, 15, 12180, 7585));
    EXPECT_EQ(f.tabs, QRect(15, 7600, 12180, 375));
    // The report column keeps to the right 3600 of the page, its splitter just left of it.
    EXPECT_EQ(f.reports, QRect(8580, 0, 3600, 7585));
    EXPECT_EQ(f.reportSplitter, QRect(8520, 0, 60, 7585));
    EXPECT_EQ(f.reportSplitterBar.x(), 8520);
    // Menu buttons centred in the panel.
    EXPECT_EQ(f.menuButtons.at(0).x(), 150);
    EXPECT_EQ(f.menuButtons.at(1), QRect(150, 360, 2400, 600));
}

TEST(MainLayout, OffsetsFollowTheirNamesWhateverTheWidth)
{
    for (const int width : {9000, 12000, 20000}) {
        MainFrame in = designed(width, 9000);
        in.periodShown = true;
        const MainFrame f = MainLayout::arranged(in);
        EXPECT_EQ(f.helpButton.x() + f.helpButton.width(), width - MainLayout::kBarRightMargin) << width;
        EXPECT_EQ(f.lockButton.x() + f.lockButton.width(), f.helpButton.x() - MainLayout::kTitleButtonGap);
        EXPECT_EQ(f.aboutLink.x() + f.aboutLink.width(), width - MainLayout::kBarRightMargin);
        // With the period shown the alert button moves left of it.
        EXPECT_EQ(f.periodLabel.topLeft(),
                  QPoint(f.userLabel.x() - f.periodLabel.width() - MainLayout::kLinkBarGap, MainLayout::kLabelTop));
        EXPECT_EQ(f.alertButton.x() + f.alertButton.width(), f.periodLabel.x() - MainLayout::kLinkBarGap);
        EXPECT_EQ(f.mailLink.x() + f.mailLink.width(), width - MainLayout::kStatusRightMargin);
        // The work area ends as far from the right edge as the panel begins from the left.
        EXPECT_EQ(f.work.x() + f.work.width(), width - f.nav.x());
        EXPECT_EQ(f.nav.x(), MainLayout::kNavLeft);
        EXPECT_EQ(f.diagram.width(), f.work.width() - 2 * MainLayout::kPageInset);
        EXPECT_EQ(f.statusBar.y() + f.statusBar.height(), 9000);
    }
}

TEST(MainLayout, ResizingAgainChangesNothing)
{
    // The splitter lies 30 right of the panel while the work area starts 60
    // right of it: taking the splitter's place for the width would widen the
    // panel by 60 on every resize.
    for (const int width : {6000, 15000}) {
        const MainFrame once = MainLayout::arranged(designed(width, 10000));
        EXPECT_EQ(MainLayout::arranged(once), once) << width;
        EXPECT_EQ(MainLayout::arranged(MainLayout::arranged(once)).nav.width(), 2700);
    }
}

TEST(MainLayout, PanelWidthIsRaisedToAnEighthOfTheScreenAndCapped)
{
    const MainFrame start = MainLayout::arranged(designed(15000, 10000));
    EXPECT_EQ(MainLayout::sized(start, 500).nav.width(), 1500);
    EXPECT_EQ(MainLayout::sized(start, 3000).nav.width(), 3000);
    EXPECT_EQ(MainLayout::sized(start, 3000).work.x(), 3060);
    EXPECT_EQ(MainLayout::sized(start, 9000).nav.width(), MainLayout::kMaxNavWidth);
    // A hidden panel is neither raised nor moved; the work area starts where the panel did.
    MainFrame hidden = start;
    hidden.navShown = false;
    const MainFrame f = MainLayout::sized(hidden, hidden.nav.x() - hidden.splitter.width());
    EXPECT_EQ(f.nav, start.nav);
    EXPECT_EQ(f.work.x(), 30);
    EXPECT_EQ(f.work.width(), 15000 - 30 - 60 + 30);
}

TEST(MainLayout, ADraggedReportColumnKeepsItsPlace)
{
    MainFrame in = MainLayout::arranged(designed(15000, 10000));
    in.reports.moveLeft(4000);
    in.reportPlaced = true;
    const MainFrame f = MainLayout::arranged(in);
    EXPECT_EQ(f.reports.x(), 4000);
    EXPECT_EQ(f.reports.width(), f.diagram.width() - 4000);
    EXPECT_EQ(f.reportSplitter.x(), 4000 - 60);
    // Not dragged, a narrow page keeps the column at 2000 at least.
    EXPECT_EQ(MainLayout::arranged(designed(5000, 10000)).reports.x(), MainLayout::kReportMinLeft);
}

TEST(MainLayout, ATinyWindowKeepsEverySizeAndNeverGoesNegative)
{
    for (const auto &[width, height] : {std::pair{0, 0}, std::pair{600, 400}, std::pair{2000, 1800}}) {
        const MainFrame in = designed(width, height);
        const MainFrame f = MainLayout::arranged(in);
        for (const QRect &r : rectangles(f)) {
            EXPECT_GE(r.width(), 0) << width << "x" << height;
            EXPECT_GE(r.height(), 0) << width << "x" << height;
        }
        // No room between the bars: the heights stay as they were.
        EXPECT_EQ(f.nav.height(), in.nav.height());
        EXPECT_EQ(f.diagram.height(), in.diagram.height());
        EXPECT_EQ(f.tabs.y(), in.tabs.y());
        // No room right of the panel: the work area keeps its width, and so do its pages.
        EXPECT_EQ(f.work.width(), in.work.width());
        EXPECT_EQ(f.page.width(), in.work.width() - 2 * MainLayout::kPageInset);
    }
    // A work area narrower than its insets leaves the pages as they were.
    MainFrame narrow = designed(15000, 10000);
    narrow.work.setWidth(20);
    narrow.innerWidth = 0;
    const MainFrame f = MainLayout::sized(narrow, 2700);
    EXPECT_EQ(f.work.width(), 20);
    EXPECT_EQ(f.diagram.width(), 9000);
    EXPECT_EQ(f.tabs.width(), 9000);
}

TEST(MainLayout, DragBarsStayInsideTheirRangeAndTheReportColumnLandsWithinLimits)
{
    EXPECT_EQ(MainLayout::dragBarLeft(2700, 100 - 2700, 15000, MainLayout::kNavDragMargin), 800);
    EXPECT_EQ(MainLayout::dragBarLeft(2700, 300, 15000, MainLayout::kNavDragMargin), 3000);
    EXPECT_EQ(MainLayout::dragBarLeft(2700, 20000, 15000, MainLayout::kNavDragMargin), 14200);
    EXPECT_EQ(MainLayout::dragBarLeft(5940, -5000, 12000, MainLayout::kReportDragMargin), 1000);
    EXPECT_EQ(MainLayout::reportSplitterDrop(1500, 15000, 15), 2000);
    EXPECT_EQ(MainLayout::reportSplitterDrop(5000, 15000, 15), 5000);
    EXPECT_EQ(MainLayout::reportSplitterDrop(14000, 15000, 15), 15000 - 1400 + 15);
    // In a window too narrow for both limits the right one wins.
    EXPECT_EQ(MainLayout::reportSplitterDrop(1500, 3000, 15), 3000 - 1400 + 15);
}
