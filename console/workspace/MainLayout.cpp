#include "console/workspace/MainLayout.h"

#include <algorithm>
#include <utility>

namespace jx {

namespace {

void setWidth(QRect &r, int width)
{
    if (width >= 0)
        r.setWidth(width);
}

void setHeight(QRect &r, int height)
{
    if (height >= 0)
        r.setHeight(height);
}

int bottom(const QRect &r)
{
    return r.y() + r.height();
}

// The left edge that makes r end gap twips before next begins.
int leftOf(const QRect &next, const QRect &r, int gap)
{
    return next.x() - r.width() - gap;
}

void placeTitleBar(MainFrame &f)
{
    f.helpButton.moveLeft(f.titleBar.width() - f.helpButton.width() - MainLayout::kBarRightMargin);
    f.lockButton.moveLeft(leftOf(f.helpButton, f.lockButton, MainLayout::kTitleButtonGap));
    f.exitButton.moveLeft(leftOf(f.lockButton, f.exitButton, MainLayout::kTitleButtonGap));
}

void placeLinkBar(MainFrame &f)
{
    constexpr int gap = MainLayout::kLinkBarGap;
    f.aboutLink.moveTo(f.linkBar.width() - f.aboutLink.width() - MainLayout::kBarRightMargin, MainLayout::kLinkTop);
    f.passwordLink.moveTo(leftOf(f.aboutLink, f.passwordLink, gap), MainLayout::kLinkTop);
    f.userLabel.moveTo(leftOf(f.passwordLink, f.userLabel, gap), MainLayout::kLabelTop);
    if (f.periodShown) {
        f.periodLabel.moveTo(leftOf(f.userLabel, f.periodLabel, gap), MainLayout::kLabelTop);
        f.alertButton.moveLeft(leftOf(f.periodLabel, f.alertButton, gap));
    } else {
        f.alertButton.moveLeft(leftOf(f.userLabel, f.alertButton, gap));
    }
}

void placeStatusBar(MainFrame &f)
{
    constexpr int top = MainLayout::kStatusTop;
    f.mailLink.moveTo(f.innerWidth - f.mailLink.width() - MainLayout::kStatusRightMargin, top);
    f.mailIcon.moveTo(leftOf(f.mailLink, f.mailIcon, MainLayout::kStatusIconGap), top);
    f.supportLink.moveTo(leftOf(f.mailIcon, f.supportLink, MainLayout::kStatusLinkGap), top);
    f.supportIcon.moveTo(leftOf(f.supportLink, f.supportIcon, MainLayout::kStatusIconGap), top);
    f.webLink.moveTo(leftOf(f.supportIcon, f.webLink, MainLayout::kStatusLinkGap), top);
    f.webIcon.moveTo(leftOf(f.webLink, f.webIcon, MainLayout::kStatusIconGap), top);
    f.message.moveTo(MainLayout::kMessageLeft, top);
}

// The bars across the window: title and link bar at the top, the status bar
// at the bottom, the navigation panel and the work area between them.
void placeBars(MainFrame &f)
{
    f.titleBar.moveTo(0, 0);
    setWidth(f.titleBar, f.innerWidth);
    f.linkBar.moveTo(0, bottom(f.titleBar));
    setWidth(f.linkBar, f.innerWidth);
    f.nav.moveTop(bottom(f.linkBar));
    f.splitter.moveTop(f.nav.y());
    f.work.moveTop(f.nav.y());
    setWidth(f.statusBar, f.innerWidth);
    f.statusBar.moveTop(f.innerHeight - f.statusBar.height());
}

// Heights between the link bar and the status bar; a window too low for any
// room keeps the heights it had.
void placeHeights(MainFrame &f)
{
    const int inset = MainLayout::kPageInset;
    f.diagram.moveTo(inset, inset);
    f.page.moveTo(inset, inset);
    f.tabs.moveLeft(inset);
    const int room = f.statusBar.y() - f.nav.y();
    if (room <= 0)
        return;
    setHeight(f.nav, room);
    setHeight(f.work, f.nav.height());
    setHeight(f.diagram, f.work.height() - 2 * f.diagram.y() - f.tabs.height());
    setHeight(f.page, f.work.height() - 2 * f.page.y() - f.tabs.height());
    f.tabs.moveTop(bottom(f.page));
}

void placeSplitters(MainFrame &f)
{
    f.work.moveLeft(f.navShown ? f.nav.x() + f.nav.width() + MainLayout::kNavToWork : f.nav.x());
    if (f.innerWidth - f.work.x() > 0)
        setWidth(f.work, f.innerWidth - f.work.x());
    setHeight(f.splitter, f.nav.height());
    f.splitter.moveLeft(f.nav.x() + f.nav.width() + MainLayout::kNavToSplitter);
    f.splitterBar.moveTo(f.splitter.topLeft());
    f.reports.moveTop(0);
    setHeight(f.reports, f.diagram.height());
    f.reportSplitter.moveTop(0);
    setHeight(f.reportSplitter, f.diagram.height());
    f.reportSplitterBar.moveTo(f.reportSplitter.topLeft());
}

} // namespace

MainFrame MainLayout::arranged(MainFrame f)
{
    placeBars(f);
    placeTitleBar(f);
    placeLinkBar(f);
    placeHeights(f);
    placeSplitters(f);
    // The panel keeps its width: the splitter's place would make it
    // kNavToWork wider on every resize.
    const int width = f.navShown ? f.nav.width() : f.nav.x() - f.splitter.width();
    f = sized(std::move(f), width);
    placeStatusBar(f);
    return f;
}

MainFrame MainLayout::sized(MainFrame f, int x)
{
    const int eighth = f.screenWidth / 8;
    if (f.navShown && eighth > x)
        x = eighth;
    x = std::min(x, kMaxNavWidth);
    if (f.navShown) {
        f.splitter.moveLeft(x);
        f.nav.moveLeft(kNavLeft);
        setWidth(f.nav, x);
    }
    f.work.moveLeft(x + f.splitter.width());
    const int workWidth = f.innerWidth - f.work.x() - 2 * f.nav.x() + kNavLeft;
    if (workWidth > 0)
        setWidth(f.work, workWidth);
    setWidth(f.diagram, f.work.width() - 2 * f.diagram.x());
    setWidth(f.page, f.work.width() - 2 * f.page.x());
    setWidth(f.tabs, f.work.width() - 2 * f.tabs.x());
    // Until the operator drags its splitter, the report column keeps to the
    // right part of the page.
    if (!f.reportPlaced)
        f.reports.moveLeft(std::max(kReportMinLeft, f.diagram.width() - kReportRoom));
    setWidth(f.reports, f.diagram.width() - f.reports.x());
    f.reportSplitter.moveLeft(f.reports.x() - f.reportSplitter.width());
    f.reportSplitterBar.moveLeft(f.reportSplitter.x());
    for (QRect &button : f.menuButtons)
        button.moveLeft((f.nav.width() - button.width()) / 2);
    return f;
}

int MainLayout::dragBarLeft(int splitterLeft, int mouseX, int width, int margin)
{
    const int p = splitterLeft + mouseX;
    return p < margin ? margin : (p > width - margin ? width - margin : p);
}

int MainLayout::reportSplitterDrop(int barLeft, int innerWidth, int diagramLeft)
{
    // Both limits apply in turn: in a narrow window the least left edge is
    // itself beyond the right limit.
    int left = std::max(barLeft, kReportMinLeft);
    if (left > innerWidth - kReportMaxFromRight)
        left = innerWidth - kReportMaxFromRight + diagramLeft;
    return left;
}

} // namespace jx
