#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QMainWindow;
class QObject;
class QWidget;

namespace qvcontrols {
class Button;
class Button2;
class NavContainer;
class NavPanel;
class Panel;
class ShadowLabel;
class VSTabCtl;
class dLinkLabel;
} // namespace qvcontrols

namespace jx {

class clsConfig;
struct MainFrame;

// The main window's controls as designed, in the manner of a form's Ui
// class: built by setupUi, named as the window's code and its tests know
// them, wired by the window. The screen lock and the function pages beyond
// the first are made elsewhere (ScreenLock, TabPages).
class MainForm final
{
public:
    // Builds every control inside `window`'s central widget; the splitters
    // and the navigation toggle report their mouse events to `filter`.
    void setupUi(QMainWindow *window, QObject *filter);

    // The layout's frame as the controls stand, with `page` the current
    // function's page.
    MainFrame frame(const qvcontrols::Panel *page, int screenWidth, bool reportPlaced) const;
    // Places the controls where the frame has them; every one of `pages`
    // takes the frame's page.
    void apply(const MainFrame &frame, const std::vector<qvcontrols::Panel *> &pages) const;

    // The logo and title pictures, from the first folder holding each (the
    // product name, the caption, where there is no title picture). Returns
    // the login picture's path, empty when no folder has one.
    QString showPictures(const QStringList &folders, const QString &caption);
    // The status bar's links from the configuration, or their defaults.
    void showLinks(clsConfig *config);
    // F6 / Shift+F6 in `window` between the navigation, the work area (the
    // diagram page or `currentPage`), the tab strip and the report column;
    // none of them while `covered` (the screen lock is up).
    void installPaneKeys(QWidget *window, std::function<bool()> covered, std::function<QWidget *()> currentPage) const;

    QWidget *client = nullptr;
    QWidget *body = nullptr;
    // Title bar, link bar, status bar.
    qvcontrols::Panel *panel[3] = {};
    qvcontrols::Panel *img[8] = {};
    qvcontrols::ShadowLabel *productName = nullptr;
    // 3 and 4 are the screen lock's.
    qvcontrols::Button *imgBtn[6] = {};
    qvcontrols::ShadowLabel *lbl[3] = {};
    qvcontrols::dLinkLabel *lnklbl[5] = {};
    qvcontrols::dLinkLabel *lnkMessage = nullptr;
    qvcontrols::NavPanel *navPanel = nullptr;
    qvcontrols::NavContainer *navContainer = nullptr;
    qvcontrols::Panel *imgSplitter = nullptr;
    qvcontrols::Panel *picSplitter = nullptr;
    qvcontrols::Panel *picMain = nullptr;
    qvcontrols::Panel *picTable = nullptr;
    qvcontrols::Panel *picRpt = nullptr;
    qvcontrols::Panel *imgSplitterC = nullptr;
    qvcontrols::Panel *picSplitterC = nullptr;
    qvcontrols::Panel *firstPage = nullptr;
    qvcontrols::VSTabCtl *tabs = nullptr;
    // The menu buttons and the report buttons, each after its design-time
    // template (element 0, hidden).
    std::vector<qvcontrols::Button2 *> buttons;
    std::vector<qvcontrols::Button2 *> reports;

private:
    void buildTitleBar();
    void buildLinkBar(QObject *filter);
    void buildStatusBar();
    void buildNavigation(QObject *filter);
    void buildWorkArea(QObject *filter);
};

} // namespace jx
