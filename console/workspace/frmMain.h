#pragma once

#include "console/workspace/IFunctionHost.h"
#include "console/workspace/MainForm.h"
#include "console/workspace/PageFunctions.h"
#include "console/workspace/ScreenLock.h"
#include "console/workspace/TabPages.h"

#include "controls/ControlContainer.h"
#include "controls/zLibControl.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

class QLabel;
class AppContext;
class Database;
class Recordset;
class QLineEdit;

namespace qvcontrols {
class Button;
class Button2;
class NavContainer;
class NavItem;
class NavPanel;
class Panel;
class ShadowLabel;
class VSTab;
class VSTabCtl;
class dLinkLabel;
} // namespace qvcontrols

namespace jx {

class ConsoleSession;
class MenuIconCache;
class NavigationMenu;
class ReportMenu;
class frmEdit;
class PilotPage;
struct MainFrame;
struct MenuEntry;

// The main workspace: title bar, link bar, navigation panel with its groups
// and menu buttons, the work area with the diagram page, its report column
// and one page per opened function over a tab strip, the status bar, and the
// screen lock. Geometry is kept in twips and derived in pixels. The window
// keeps its handlers; its parts are MainForm (the controls), MainLayout (where
// they go), NavigationMenu, ReportMenu, TabPages (tabs and pages),
// PageFunctions (the hosted functions) and ScreenLock. Closing it stores the
// panel settings and shuts the session down.
class frmMain final : public QMainWindow, private IFunctionHost
{
    Q_OBJECT
public:
    explicit frmMain(ConsoleSession &session, QWidget *parent = nullptr);
    ~frmMain() override;

    // The loading sequence: caption, user and period, groups, the remembered
    // group, theme, pictures, links, the stored panel width.
    void LoadForm();
    void SetStatusText(const QString &text);
    QString StatusText() const;

    // Navigation.
    void BuildMenuButtons(const QString &group);
    void ClearDynamicControls(bool buttons);
    void ButClick(int index);

    // Opening entries.
    bool OpenMenu(const QString &code, bool newTab, const QString &caption, const QString &key);
    void RunPlugin(int32_t programNumber, const QString &modeCode, const QString &caption);
    bool LoadReportMenu(const QString &code);
    void ImgRptClick(int index);
    // A node of the navigation diagram was clicked (its menu code).
    void PilotNodeClick(const QString &code);
    // The search box over every entry the user may open (Ctrl+K); the
    // entry chosen opens as its diagram node would, or selects its tab.
    void ShowFinder();
    void openFound(const QString &code);

    // Hosting.
    bool LoadControl(int32_t programNumber, int32_t kind, const QString &menuName);
    bool ClearControl();
    // Closes the selected tab's function.
    void CloseCurrentTab();
    // Closes the tab whose page hosts the control of that name (any letter
    // case); nothing when none does.
    void CloseTabOf(const QString &controlName);

    // Layout and commands.
    void Relayout();
    void SizeControls(int x);
    void ImgBtnClick(int index);
    void ImgClick(int index);
    void LnkLblClick(int index);
    void LockScreen();
    void Unlock();
    // The navigation splitter's drag, in twips of the form: press, move by
    // the mouse's x inside the splitter, release.
    void SplitterDown();
    void SplitterMove(int mouseX);
    void SplitterUp();
    void ReportSplitterDown();
    void ReportSplitterMove(int mouseX);
    void ReportSplitterUp();

    // The screen width one eighth of which the panel keeps at least
    // (twips); the screen's own unless set.
    void setScreenWidthTwips(int twips) { m_screenTwips = twips; }
    int screenWidthTwips() const;

    QLabel *lnkMessage() const;
    qvcontrols::NavPanel *NavPanel() const { return m_ui.navPanel; }
    qvcontrols::NavContainer *NavContainer() const { return m_ui.navContainer; }
    qvcontrols::VSTabCtl *qvVSTab() const { return m_ui.tabs; }
    qvcontrols::Panel *PicTable() const { return m_ui.picTable; }
    qvcontrols::Panel *PicMain() const { return m_ui.picMain; }
    qvcontrols::Panel *PicRpt() const { return m_ui.picRpt; }
    qvcontrols::Panel *imgSplitter() const { return m_ui.imgSplitter; }
    qvcontrols::Panel *picSplitter() const { return m_ui.picSplitter; }
    qvcontrols::Panel *imgSplitterC() const { return m_ui.imgSplitterC; }
    qvcontrols::Panel *picSplitterC() const { return m_ui.picSplitterC; }
    qvcontrols::Panel *pic(int index) const { return m_lock->pic(index); }
    qvcontrols::Panel *Img(int index) const { return m_ui.img[index]; }
    qvcontrols::Panel *picHolder(int index) const { return m_tabPages->page(index); }
    int picHolderCount() const { return m_tabPages->pageCount(); }
    qvcontrols::Button2 *But(int index) const
    {
        return index >= 0 && index < ButCount() ? m_ui.buttons[index] : nullptr;
    }
    int ButCount() const { return static_cast<int>(m_ui.buttons.size()); }
    qvcontrols::Button2 *ImgRpt(int index) const
    {
        return index >= 0 && index < ImgRptCount() ? m_ui.reports[index] : nullptr;
    }
    int ImgRptCount() const { return static_cast<int>(m_ui.reports.size()); }
    qvcontrols::Button *ImgBtn(int index) const { return m_ui.imgBtn[index]; }
    qvcontrols::ShadowLabel *lbl(int index) const { return m_ui.lbl[index]; }
    qvcontrols::ShadowLabel *lblProductName_B() const { return m_ui.productName; }
    qvcontrols::dLinkLabel *lnklbl(int index) const { return m_ui.lnklbl[index]; }
    QLineEdit *txtPassword() const { return m_lock->password(); }
    QWidget *Body() const { return m_ui.body; }
    bool isLocked() const { return m_lock->isLocked(); }
    int CurrentPage() const { return m_tabPages->current(); }
    int TabCounter() const { return m_tabPages->counter(); }
    bool UnloadRequested() const { return m_unloadRequested; }
    qvcontrols::ControlContainer &Controls() { return m_controls; }
    qvcontrols::ControlSite *moControl() const { return m_functions->current(); }
    PilotPage *Pilot() const { return m_pilot.get(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    // Parts of the loading; loadGroups false ends it early (the groups'
    // statement failed, logged).
    void loadUserAndPeriod(::AppContext &context);
    bool loadGroups(::AppContext &context);
    // An entry of a function: its tab (the one open already unless newTab)
    // and page, its control started on a new page.
    void showFunction(const MenuEntry &entry, bool newTab, const QString &caption, const QString &key);
    // Any other entry: the diagram page with its diagram and reports.
    void showDiagram(const QString &code);
    // Puts the controls where the layout placed them; the hosted function fills its page.
    void place(const MainFrame &frame);
    void selectionChanged(qvcontrols::NavItem *item);
    void tabLeave(qvcontrols::VSTab *tab);
    void tabEnter(qvcontrols::VSTab *tab);
    void pageResize(int page);
    // Removes tab `index` (2 or above) and its function; the selection moves
    // to its neighbour only when it was the selected one.
    void closeTab(int index);
    // Asks every hosted function and every open function window; false at
    // the first one the user keeps.
    bool functionsMayClose();
    // The function windows it owns that are not unloaded; a window may go
    // while another one's function asks its user.
    std::vector<QPointer<frmEdit>> functionWindows() const;
    void unload();
    int innerWidth() const;
    int innerHeight() const;
    void setBreadcrumb(const QString &name);
    // A program whose command line has the "s" switch opens in a function
    // window of its own, any other entry in a new tab.
    void openEntry(::Database &db, int32_t number, const QString &name, int32_t kind, const QString &code);
    // Where the plug-in manager (kind 50, program 100027) and the about window open.
    void ShowPluginManager(int32_t programNumber, const QString &caption);
    void ShowAbout();

    // IFunctionHost
    bool IsFunctionWindow() const override { return false; }
    void ShowMessage(const QString &text) override;
    void CloseRequested(const QString &sender) override;
    void SetUnloadRequested(bool requested) override { m_unloadRequested = requested; }
    void OpenFunctionWindow(int32_t programNumber, const com::Variant &data, IDispatch *parameter,
                            int16_t mode) override;

    ConsoleSession &m_session;
    MainForm m_ui;
    std::unique_ptr<TabPages> m_tabPages;
    std::unique_ptr<NavigationMenu> m_nav;
    std::unique_ptr<ReportMenu> m_reportMenu;
    std::unique_ptr<PageFunctions> m_functions;
    ScreenLock *m_lock = nullptr;
    qvcontrols::zLibControl m_zLib;
    std::unique_ptr<MenuIconCache> m_icons;
    std::unique_ptr<PilotPage> m_pilot;
    qvcontrols::ControlContainer m_controls;
    bool m_unloadRequested = false;
    bool m_dragging = false;
    int m_screenTwips = 0;
    bool m_loaded = false;
    bool m_rptPlaced = false;
    bool m_shutDown = false;
    bool m_asking = false;
};

} // namespace jx
