#pragma once

#include "console/workspace/IFunctionHost.h"

#include "controls/ControlContainer.h"
#include "controls/zLibControl.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include <memory>
#include <vector>

class QLabel;
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
class frmEdit;
class PilotPage;

// The main workspace: title bar, link bar, navigation panel with its groups
// and menu buttons, the work area with the diagram page, its report column
// and one page per opened function over a tab strip, the status bar, and the
// screen lock. Geometry is kept in twips and derived in pixels. Closing it
// stores the panel settings and shuts the session down.
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
    qvcontrols::NavPanel *NavPanel() const { return m_navPanel; }
    qvcontrols::NavContainer *NavContainer() const { return m_navContainer; }
    qvcontrols::VSTabCtl *qvVSTab() const { return m_tabs; }
    qvcontrols::Panel *PicTable() const { return m_picTable; }
    qvcontrols::Panel *PicMain() const { return m_picMain; }
    qvcontrols::Panel *PicRpt() const { return m_picRpt; }
    qvcontrols::Panel *imgSplitter() const { return m_imgSplitter; }
    qvcontrols::Panel *picSplitter() const { return m_picSplitter; }
    qvcontrols::Panel *imgSplitterC() const { return m_imgSplitterC; }
    qvcontrols::Panel *picSplitterC() const { return m_picSplitterC; }
    qvcontrols::Panel *pic(int index) const { return m_pic[index]; }
    qvcontrols::Panel *Img(int index) const { return m_img[index]; }
    qvcontrols::Panel *picHolder(int index) const;
    int picHolderCount() const { return static_cast<int>(m_pages.size()); }
    qvcontrols::Button2 *But(int index) const;
    int ButCount() const { return static_cast<int>(m_buttons.size()); }
    qvcontrols::Button2 *ImgRpt(int index) const;
    int ImgRptCount() const { return static_cast<int>(m_reports.size()); }
    qvcontrols::Button *ImgBtn(int index) const { return m_imgBtn[index]; }
    qvcontrols::ShadowLabel *lbl(int index) const { return m_lbl[index]; }
    qvcontrols::ShadowLabel *lblProductName_B() const { return m_productName; }
    qvcontrols::dLinkLabel *lnklbl(int index) const { return m_lnklbl[index]; }
    QLineEdit *txtPassword() const { return m_txtPassword; }
    QWidget *Body() const { return m_body; }
    bool isLocked() const;
    int CurrentPage() const { return m_currentPage; }
    int TabCounter() const { return m_tabCounter; }
    bool UnloadRequested() const { return m_unloadRequested; }
    qvcontrols::ControlContainer &Controls() { return m_controls; }
    qvcontrols::ControlSite *moControl() const;
    PilotPage *Pilot() const { return m_pilot.get(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    // F6 / Shift+F6 between the navigation, the work area, the tab strip and the report column.
    void installPaneKeys();
    void addGroups(::Recordset &rs);
    void selectionChanged(qvcontrols::NavItem *item);
    void tabLeave(qvcontrols::VSTab *tab);
    void tabEnter(qvcontrols::VSTab *tab);
    void pageResize(int page);
    // Removes tab `index` (2 or above) and its function; the selection moves
    // to its neighbour only when it was the selected one.
    void closeTab(int index);
    void loadPictures();
    void loadLinks();
    // Asks every hosted function and every open function window; false at
    // the first one the user keeps.
    bool functionsMayClose();
    // The function windows it owns that are not unloaded; a window may go
    // while another one's function asks its user.
    std::vector<QPointer<frmEdit>> functionWindows() const;
    void queryUnload();
    void unload();
    QString lastCrumb() const;
    QString groupCaption() const;
    int innerWidth() const;
    int innerHeight() const;
    void setBreadcrumb(const QString &name);
    void showTab1(bool shown);
    // Where the plug-in manager (kind 50, program 100027) and the about window open.
    void openEntry(::Database &db, int32_t number, const QString &name, int32_t kind, const QString &code);
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
    QWidget *m_client = nullptr;
    QWidget *m_body = nullptr;
    qvcontrols::Panel *m_panel[3] = {};
    qvcontrols::Panel *m_img[8] = {};
    qvcontrols::ShadowLabel *m_productName = nullptr;
    qvcontrols::Button *m_imgBtn[6] = {};
    qvcontrols::ShadowLabel *m_lbl[3] = {};
    qvcontrols::dLinkLabel *m_lnklbl[5] = {};
    qvcontrols::dLinkLabel *m_lnkMessage = nullptr;
    qvcontrols::NavPanel *m_navPanel = nullptr;
    qvcontrols::NavContainer *m_navContainer = nullptr;
    qvcontrols::Panel *m_imgSplitter = nullptr;
    qvcontrols::Panel *m_picSplitter = nullptr;
    qvcontrols::Panel *m_picMain = nullptr;
    qvcontrols::Panel *m_picTable = nullptr;
    qvcontrols::Panel *m_picRpt = nullptr;
    qvcontrols::Panel *m_imgSplitterC = nullptr;
    qvcontrols::Panel *m_picSplitterC = nullptr;
    std::vector<qvcontrols::Panel *> m_pages;
    std::vector<qvcontrols::Button2 *> m_buttons;
    std::vector<qvcontrols::Button2 *> m_reports;
    qvcontrols::VSTabCtl *m_tabs = nullptr;
    qvcontrols::Panel *m_pic[3] = {};
    qvcontrols::ShadowLabel *m_lbls = nullptr;
    QLineEdit *m_txtPassword = nullptr;
    qvcontrols::zLibControl m_zLib;
    std::unique_ptr<MenuIconCache> m_icons;
    std::unique_ptr<PilotPage> m_pilot;
    qvcontrols::ControlContainer m_controls;
    QString m_moControl;
    int m_currentPage = 0;
    int m_tabCounter = 0;
    bool m_unloadRequested = false;
    bool m_dragging = false;
    bool m_unlockDragging = false;
    QPoint m_unlockOrigin;
    int m_screenTwips = 0;
    bool m_loaded = false;
    bool m_rptPlaced = false;
    bool m_shutDown = false;
    bool m_asking = false;
};

} // namespace jx
