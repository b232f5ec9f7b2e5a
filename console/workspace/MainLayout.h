#pragma once

#include <QRect>

#include <vector>

namespace jx {

// The main window's frame in twips: what its layout reads (sizes the
// controls have of their own, the client area, the screen) and what it
// places. Rectangles are in their parent's coordinates.
struct MainFrame
{
    int innerWidth = 0;  // the client area
    int innerHeight = 0;
    int screenWidth = 0; // the panel keeps at least one eighth of it
    bool navShown = true;
    bool periodShown = false;
    // The operator has dragged the report column's splitter: its place stays.
    bool reportPlaced = false;

    QRect titleBar, linkBar, statusBar;
    // Title bar, right to left.
    QRect helpButton, lockButton, exitButton;
    // Link bar, right to left.
    QRect aboutLink, passwordLink, userLabel, periodLabel, alertButton;
    // Status bar, right to left, and the prompt line at its left.
    QRect mailLink, mailIcon, supportLink, supportIcon, webLink, webIcon, message;
    // The navigation panel, its splitter and the drag bar shown over it.
    QRect nav, splitter, splitterBar;
    // The work area, the diagram page, the current function's page and the tab strip.
    QRect work, diagram, page, tabs;
    // The diagram page's report column, its splitter and drag bar.
    QRect reports, reportSplitter, reportSplitterBar;
    // The navigation panel's menu buttons.
    std::vector<QRect> menuButtons;

    bool operator==(const MainFrame &) const = default;
};

// The main window's layout, with no widgets: a frame in, the frame placed
// out. A width or height that would come out negative (a window smaller than
// its bars) keeps the one it had, as the window's twips setters do.
class MainLayout final
{
public:
    // Space between the right edge and the rightmost control of the title and link bars.
    static constexpr int kBarRightMargin = 780;
    // Space between neighbouring title bar buttons.
    static constexpr int kTitleButtonGap = 285;
    // Space between neighbouring controls of the link bar.
    static constexpr int kLinkBarGap = 200;
    static constexpr int kLinkTop = 105;
    static constexpr int kLabelTop = 90;
    // The status bar: its controls' top, the right margin, the space between
    // an icon and its link and between one link and the next icon.
    static constexpr int kStatusTop = 60;
    static constexpr int kStatusRightMargin = 300;
    static constexpr int kStatusIconGap = 100;
    static constexpr int kStatusLinkGap = 500;
    static constexpr int kMessageLeft = 30;
    // The pages' and the tab strip's inset in the work area.
    static constexpr int kPageInset = 15;
    // The navigation panel's left edge and what lies between it and the work area.
    static constexpr int kNavLeft = 30;
    static constexpr int kNavToWork = 60;
    static constexpr int kNavToSplitter = 30;
    static constexpr int kMaxNavWidth = 7680;
    // The report column's least left edge and its room from the page's right.
    static constexpr int kReportMinLeft = 2000;
    static constexpr int kReportRoom = 3600;
    static constexpr int kReportMaxFromRight = 1400;
    // How far inside its range each splitter's drag bar stays.
    static constexpr int kNavDragMargin = 800;
    static constexpr int kReportDragMargin = 1000;

    // Places everything for the frame's client area.
    static MainFrame arranged(MainFrame frame);
    // Gives the navigation panel width x (raised to an eighth of the
    // screen, at most kMaxNavWidth) and fits the work area beside it.
    static MainFrame sized(MainFrame frame, int x);

    // Left edge of a drag bar for the mouse at x inside a splitter at
    // splitterLeft, kept margin inside 0..width.
    static int dragBarLeft(int splitterLeft, int mouseX, int width, int margin);
    // Where the report splitter lands when its bar is dropped at barLeft.
    static int reportSplitterDrop(int barLeft, int innerWidth, int diagramLeft);
};

} // namespace jx
