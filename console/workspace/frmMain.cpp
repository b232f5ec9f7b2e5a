#include "console/workspace/frmMain.h"

#include "console/dialogs/frmAbout.h"
#include "console/dialogs/frmPass.h"
#include "console/log/Logger.h"
#include "console/plugins/frmPluginRun.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/bMain.h"
#include "console/workspace/CommandLineArgs.h"
#include "console/workspace/EventTable.h"
#include "console/workspace/FunctionControls.h"
#include "console/workspace/MainForm.h"
#include "console/workspace/MainLayout.h"
#include "console/workspace/MenuIconCache.h"
#include "console/workspace/MenuKind.h"
#include "console/workspace/MenuQueries.h"
#include "console/workspace/MenuSearch.h"
#include "console/workspace/NavigationMenu.h"
#include "console/workspace/PageFunctions.h"
#include "console/workspace/PilotPage.h"
#include "console/workspace/PluginLaunch.h"
#include "console/workspace/ReportMenu.h"
#include "console/workspace/ScreenLock.h"
#include "console/workspace/TabPages.h"
#include "console/workspace/frmEdit.h"
#include "console/workspace/frmFind.h"

#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/NavItem.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/PictureLoader.h"
#include "controls/ShadowLabel.h"
#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"
#include "controls/WindowSupport.h"
#include "controls/dLinkLabel.h"
#include "components/data/Database.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/widgets/Ui.h"
#include "platform/com/ErrorInfo.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>

namespace jx {

namespace {

// The stored panel width leaves out what lies between the panel and the work area.
constexpr int kStoredWidthOffset = 60;

const QString kMainSection = QStringLiteral("main");

// Runs f for a handler that must go on whatever f raises: the error goes to
// the log, naming what was being done.
template<typename F>
void guarded(const QString &where, F &&f)
{
    try {
        f();
    } catch (const std::exception &e) {
        Logger::WriteSwallowed(where, e);
    }
}

} // namespace

frmMain::frmMain(ConsoleSession &session, QWidget *parent) : QMainWindow(parent), m_session(session)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmMain"));
    buildForm();
    m_controls.setHandler([this](qvcontrols::ControlSite &site, const QString &event, const com::DispArgs &params) {
        EventTable::Handle(*this, site.name(), event, params);
    });
}

frmMain::~frmMain() = default;

// ---------------------------------------------------------------- the form

void frmMain::buildForm()
{
    m_ui.setupUi(this, this);
    m_tabPages = std::make_unique<TabPages>(*m_ui.tabs, m_ui.picTable, m_ui.firstPage);
    m_functions = std::make_unique<PageFunctions>(m_session, m_controls);
    m_nav = std::make_unique<NavigationMenu>(m_session, m_ui, [this](int index) { ButClick(index); });
    m_reportMenu = std::make_unique<ReportMenu>(m_ui, [this](int index) { ImgRptClick(index); });
    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
    connect(find, &QShortcut::activated, this, &frmMain::ShowFinder);
    for (int i = 0; i < 5; ++i)
        connect(m_ui.lnklbl[i], &qvcontrols::dLinkLabel::Click, this, &frmMain::LnkLblClick);
    connect(m_ui.navPanel, &qvcontrols::NavPanel::SelectionChanged, this, &frmMain::selectionChanged);
    connect(m_ui.tabs, &qvcontrols::VSTabCtl::TabLeave, this, &frmMain::tabLeave);
    connect(m_ui.tabs, &qvcontrols::VSTabCtl::TabEnter, this, &frmMain::tabEnter);
    // The screen lock sits above everything else of the form.
    m_lock = new ScreenLock(m_ui.client, m_ui.body, [this](const QString &password) {
        ::CurrentUser *user = m_session.CurrentUser();
        return user && user->Login(password);
    });
    m_ui.imgBtn[3] = m_lock->returnButton();
    m_ui.imgBtn[4] = m_lock->exitButton();
    connect(m_lock->password(), &QLineEdit::returnPressed, this, &frmMain::Unlock);
    for (int i = 0; i < 6; ++i)
        connect(m_ui.imgBtn[i], &qvcontrols::ImageButton::Click, this, &frmMain::ImgBtnClick);
    // Nothing behind the screen lock takes the focus.
    m_ui.installPaneKeys(this, [this] { return m_lock->pic(1)->isVisible(); },
                         [this] { return picHolder(CurrentPage()); });
}


// ---------------------------------------------------------------- loading

void frmMain::LoadForm()
{
    clsConfig *config = m_session.Config();
    ::AppContext *context = m_session.AppContext();
    try {
        if (config)
            setWindowTitle(config->Caption());
        // Fill the screen even where no window manager honours the maximised state.
        if (QScreen *screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
        m_ui.body->resize(m_ui.client->size());
        if (!context)
            return;
        if (!m_icons)
            m_icons = std::make_unique<MenuIconCache>(*context, m_zLib);
        if (!m_pilot)
            m_pilot = std::make_unique<PilotPage>(*context, m_ui.picTable, [this](const QString &code) { PilotNodeClick(code); });
        loadUserAndPeriod(*context);
        if (!loadGroups(*context))
            return;
        WriteLog(QStringLiteral("frmain 恢复默认的导航项目..."), LogProgress);
        m_nav->restoreGroup();
        const QString app = config ? config->Caption() : QString();
        m_ui.picMain->setAppearance(1);
        WriteLog(QStringLiteral("frmain 应用主题..."), LogProgress);
        context->Theme().Apply(this);

        WriteLog(QStringLiteral("frmain 加载图标..."), LogProgress);
        const QString login = m_ui.showPictures({context->Theme().Folder(), context->Environment().AppPath()}, app);
        if (!login.isEmpty())
            m_lock->setPanelPicture(qvcontrols::PictureLoader::LoadPicture(login));
        m_ui.showLinks(config);

        // The width is stored less 60; loading adds the 60 back, so a width
        // comes back the same after any number of runs.
        const QString stored = SettingsStore::getSetting(app, kMainSection, QStringLiteral("navpanel_width"));
        if (!stored.isEmpty())
            m_ui.navPanel->setWidth(clng(val(stored)) + kStoredWidthOffset);
        m_loaded = true;
        Relayout();
    } catch (const std::exception &e) {
        m_ui.navPanel->setRedraw(true);
        msgBox(QStringLiteral("加载主窗体时发生错误,原因:") + com::errorDescription(e), Exclamation, QStringLiteral("错误:"));
    }
}

void frmMain::loadUserAndPeriod(::AppContext &context)
{
    m_ui.lbl[0]->setCaption(QStringLiteral("登录用户名：") + (m_session.CurrentUser() ? m_session.CurrentUser()->UserName() : QString()));
    m_ui.lbl[0]->setAccessibleName(m_ui.lbl[0]->Caption());
    const QString period = context.OptionByNumber(12, 1).Value();
    if (val(period) != 0) {
        m_ui.lbl[2]->setCaption(QStringLiteral("当前会计期间：") + period);
        m_ui.lbl[2]->show();
        m_ui.lbl[2]->Move(m_ui.lbl[0]->Left() - m_ui.lbl[2]->Width() - MainLayout::kLinkBarGap, MainLayout::kLabelTop);
        m_ui.imgBtn[5]->setLeft(m_ui.lbl[2]->Left() - m_ui.imgBtn[5]->Width() - MainLayout::kLinkBarGap);
    }
}

bool frmMain::loadGroups(::AppContext &context)
{
    QString lengths = context.Option(12, QStringLiteral("menubm")).Value();
    if (lengths.isEmpty())
        lengths = QStringLiteral("22222");
    WriteLog(QStringLiteral("frmain 打开记录集..."), LogProgress);
    ::Database *db = context.Database();
    if (!db)
        throw com::RuntimeError::of(91);
    Recordset rs = db->Query(MenuQueries::Q1(lengths), 1).Recordset();
    if (!db->LastError().Description().isEmpty()) {
        WriteLog(db->LastError().Description(), LogError);
        db->ResetError();
        return false;
    }
    m_ui.navPanel->setRedraw(false);
    // Painting comes back however the groups' reading ends.
    const auto redraw = qScopeGuard([this] { m_ui.navPanel->setRedraw(true); });
    WriteLog(QStringLiteral("frmain 加载模块大类..."), LogProgress);
    m_nav->addGroups(rs, *m_icons);
    rs.Close();
    return true;
}

QString frmMain::StatusText() const
{
    return m_ui.lnkMessage->text();
}

QLabel *frmMain::lnkMessage() const
{
    return m_ui.lnkMessage;
}

void frmMain::SetStatusText(const QString &text)
{
    m_ui.lnkMessage->setCaption(text);
    m_ui.lnkMessage->adjustSize();
}

// ---------------------------------------------------------------- navigation

void frmMain::selectionChanged(qvcontrols::NavItem *item)
{
    if (item)
        BuildMenuButtons(item->Caption());
}

void frmMain::ClearDynamicControls(bool buttons)
{
    try {
        if (buttons)
            m_nav->clearButtons();
        else if (m_pilot)
            m_pilot->ClearDynamicControls();
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("发生错误。原因：") + com::errorDescription(e), Critical);
    }
}

void frmMain::BuildMenuButtons(const QString &group)
{
    if (const int first = m_nav->buildButtons(group, m_icons.get()))
        ButClick(first);
}

void frmMain::ButClick(int index)
{
    qvcontrols::Button2 *button = But(index);
    if (!button || index == 0)
        return;
    OpenMenu(button->Tag(), false, trimBlanks(button->Caption()), trimBlanks(button->Tag()));
    m_nav->rememberEntry();
}

// ---------------------------------------------------------------- opening

void frmMain::setBreadcrumb(const QString &name)
{
    m_ui.lbl[1]->setCaption(QStringLiteral("当前位置：") + m_nav->groupCaption() + QStringLiteral(" -> ") + name);
    m_ui.lbl[1]->setAccessibleName(m_ui.lbl[1]->Caption());
}

bool frmMain::OpenMenu(const QString &code, bool newTab, const QString &caption, const QString &key)
{
    try {
        ::AppContext *context = m_session.AppContext();
        ::Database *db = context ? context->Database() : nullptr;
        if (!db)
            return false;
        const std::optional<MenuEntry> entry = MenuQueries::lookupEntry(
            *db, MenuQueries::Q5(code), QStringLiteral("当前指定的功能（") + code + QStringLiteral("）并不存在！"));
        if (!entry || !FunctionControls::MayOpen(context, entry->programNumber, entry->kind, entry->name))
            return false;
        if (entry->kind == MenuKind::Plugin)
            RunPlugin(entry->programNumber, entry->systemCode, entry->name);
        else if (entry->programNumber > 0 || (entry->programNumber == 0 && entry->kind == MenuKind::Alert))
            showFunction(*entry, newTab, caption, key);
        else
            showDiagram(code);
        setBreadcrumb(entry->name);
        update();
        return true;
    } catch (const std::exception &e) {
        Logger::WriteSwallowed(QStringLiteral("打开功能（") + code + QStringLiteral("）"), e);
        return false;
    }
}

void frmMain::showFunction(const MenuEntry &entry, bool newTab, const QString &caption, const QString &key)
{
    // The page to show: the current one, or that of the tab found.
    int shown = m_tabPages->current();
    const int found = newTab ? 0 : m_tabPages->tabOfCode(key);
    if (found) {
        qvcontrols::VSTab *tab = m_ui.tabs->Tab(found);
        tab->setSelected(true);
        // A tab whose function did not start is no current page.
        shown = TabPages::pageOfKey(tab->Key());
    } else {
        shown = m_tabPages->open(caption, key, m_ui.picMain);
        connect(picHolder(shown), &qvcontrols::Panel::Resize, this, [this, n = shown] { pageResize(n); });
    }
    m_ui.picTable->hide();
    if (!newTab)
        m_tabPages->showDiagramTab(false);
    if (qvcontrols::Panel *page = picHolder(shown)) {
        page->show();
        page->raise();
    }
    if (!found)
        LoadControl(entry.programNumber, entry.kind, entry.name);
}

void frmMain::showDiagram(const QString &code)
{
    m_ui.picTable->show();
    m_tabPages->showDiagramTab(true);
    if (m_tabPages->current() != 0)
        if (qvcontrols::Panel *page = picHolder(m_tabPages->current()))
            page->hide();
    if (m_pilot)
        m_pilot->LoadPilot(code);
    LoadReportMenu(code);
    if (qvcontrols::VSTab *tab = m_ui.tabs->Tab(1))
        m_ui.tabs->select(tab);
    m_ui.picTable->raise();
}

void frmMain::RunPlugin(int32_t programNumber, const QString &modeCode, const QString &caption)
{
    PluginLaunch::run(m_session, programNumber, modeCode, caption);
}

bool frmMain::LoadReportMenu(const QString &code)
{
    try {
        m_reportMenu->clear();
        ::Database *db = m_session.AppContext() ? m_session.AppContext()->Database() : nullptr;
        return db && m_reportMenu->load(*db, code);
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("加载报表菜单，原因：") + com::errorDescription(e), Critical, QStringLiteral("错误"));
        return false;
    }
}

void frmMain::ImgRptClick(int index)
{
    qvcontrols::Button2 *button = ImgRpt(index);
    if (!button || index == 0)
        return;
    try {
        ::Database *db = m_session.AppContext() ? m_session.AppContext()->Database() : nullptr;
        if (!db)
            throw com::RuntimeError::of(91);
        if (const std::optional<MenuEntry> entry = MenuQueries::lookupEntry(*db, MenuQueries::Q6(button->Tag())))
            openEntry(*db, entry->programNumber, entry->name, entry->kind, entry->code);
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("发生错误,原因:") + com::errorDescription(e), OKOnly);
    }
}

void frmMain::PilotNodeClick(const QString &code)
{
    try {
        ::Database *db = m_session.AppContext() ? m_session.AppContext()->Database() : nullptr;
        if (!db)
            throw com::RuntimeError::of(91);
        const std::optional<MenuEntry> entry = MenuQueries::lookupEntry(*db, MenuQueries::Q7(code));
        if (!entry)
            return;
        if (entry->kind == MenuKind::Plugin) {
            RunPlugin(entry->programNumber, entry->systemCode, entry->name);
        } else if (entry->kind == MenuKind::PluginManager) {
            if (entry->programNumber == frmPluginRun::kProgramNumber)
                ShowPluginManager(entry->programNumber, entry->name);
        } else {
            openEntry(*db, entry->programNumber, entry->name, entry->kind, code);
        }
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("发生错误,原因:") + com::errorDescription(e), OKOnly);
    }
}

void frmMain::ShowFinder()
{
    if (!isLocked())
        frmFind::openFor(m_session, this, [this](const QString &code) { openFound(code); });
}

void frmMain::openFound(const QString &code)
{
    // An entry already open in a tab is selected, as its menu button would.
    if (m_tabPages->tabOfCode(code))
        OpenMenu(code, false, QString(), code);
    else
        PilotNodeClick(code);
}

void frmMain::openEntry(::Database &db, int32_t number, const QString &name, int32_t kind, const QString &code)
{
    // A program whose command line carries the "s" switch opens in a window
    // of its own, any other entry in a new tab.
    const QueryResult commandLine = db.Query(MenuQueries::Q9(number), 1);
    if (MenuQueries::reportFailure(db, commandLine))
        return;
    const QString text = trimBlanks(toText(commandLine.Value()));
    CommandLineArgs args;
    if (!text.isEmpty())
        args.Parse(text);
    if (args.Item(QStringLiteral("s")).Exists)
        frmEdit::Open(m_session, this, number, name, kind, com::Variant(), nullptr, 0);
    else
        OpenMenu(code, true, name, code);
}

void frmMain::ShowPluginManager(int32_t programNumber, const QString &caption)
{
    // Py_Init presets the caption and program number and shows the window modally.
    frmPluginRun manager(m_session, this);
    manager.Py_Init(programNumber, caption);
}

void frmMain::ShowAbout()
{
    if (!m_session.AppContext() || !m_session.Config())
        return;
    frmAbout about(*m_session.AppContext(), *m_session.Config(), this);
    about.exec();
}

// ---------------------------------------------------------------- hosting

bool frmMain::LoadControl(int32_t programNumber, int32_t kind, const QString &menuName)
{
    m_unloadRequested = false;
    try {
        const int n = m_tabPages->current();
        // A function that asked to be unloaded while it started is not shown.
        if (!m_functions->start(picHolder(n), n, programNumber, kind, menuName) || m_unloadRequested)
            return false;
        m_functions->show(n, picHolder(n));
        return true;
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("加载动态控件时出错:") + com::errorDescription(e), LogError);
        return false;
    }
}

bool frmMain::ClearControl()
{
    try {
        m_functions->closeAll();
        return true;
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("ClearControl:") + com::errorDescription(e), Critical, QStringLiteral("错误:"));
        return false;
    }
}

void frmMain::CloseCurrentTab()
{
    closeTab(m_tabPages->selectedTab());
}

void frmMain::CloseTabOf(const QString &controlName)
{
    closeTab(m_tabPages->tabOfControl(controlName));
}

void frmMain::closeTab(int i)
{
    // The diagram page's tab is never closed.
    if (i < 2 || i > m_ui.tabs->Count())
        return;
    m_functions->close(TabPages::pageOfKey(m_ui.tabs->Tab(i)->Key()));
    m_tabPages->close(i);
    m_unloadRequested = true;
}

void frmMain::tabLeave(qvcontrols::VSTab *tab)
{
    m_tabPages->leave(tab);
}

void frmMain::tabEnter(qvcontrols::VSTab *tab)
{
    // A page without a function (it failed to start) never becomes current.
    if (const int n = m_tabPages->enter(tab); n > 0 && m_functions->makeCurrent(n)) {
        pageResize(n);
        m_tabPages->setCurrent(n);
    }
}

void frmMain::pageResize(int page)
{
    // The page's own function: pages other than the current one are resized too.
    m_functions->fit(page, picHolder(page));
}

void frmMain::ShowMessage(const QString &text)
{
    ShowStatus(m_session, text);
}

void frmMain::CloseRequested(const QString &sender)
{
    CloseTabOf(sender);
    m_unloadRequested = true;
}

void frmMain::OpenFunctionWindow(int32_t programNumber, const com::Variant &data, IDispatch *parameter, int16_t mode)
{
    frmEdit::OpenForProgram(m_session, this, programNumber, data, parameter, mode);
}


// ---------------------------------------------------------------- layout

int frmMain::innerWidth() const
{
    return pixelsToTwips(m_ui.client->width());
}

int frmMain::innerHeight() const
{
    return pixelsToTwips(m_ui.client->height());
}

int frmMain::screenWidthTwips() const
{
    if (m_screenTwips > 0)
        return m_screenTwips;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        return pixelsToTwips(screen->geometry().width());
    return 0;
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Relayout();
}

void frmMain::Relayout()
{
    // Painted once, when everything is in place.
    m_ui.client->setUpdatesEnabled(false);
    m_ui.body->setGeometry(0, 0, m_ui.client->width(), m_ui.client->height());
    place(MainLayout::arranged(m_ui.frame(picHolder(CurrentPage()), screenWidthTwips(), m_rptPlaced)));
    m_ui.client->setUpdatesEnabled(true);
}

void frmMain::SizeControls(int x)
{
    place(MainLayout::sized(m_ui.frame(picHolder(CurrentPage()), screenWidthTwips(), m_rptPlaced), x));
}

void frmMain::place(const MainFrame &frame)
{
    qvcontrols::Panel *page = picHolder(CurrentPage());
    // The current page and the panel paint once, after the moves.
    page->setUpdatesEnabled(false);
    m_ui.navPanel->setRedraw(false);
    m_ui.apply(frame, m_tabPages->pages());
    if (qvcontrols::ControlSite *site = moControl())
        site->Move(0, 0, pixelsToTwips(page->width()), pixelsToTwips(page->height()));
    if (!page->isHidden())
        page->raise();
    m_ui.navPanel->setRedraw(true);
    page->setUpdatesEnabled(true);
}

namespace {
// The drag bar of a splitter shows over it, half its width, while the mouse is down.
void showDragBar(qvcontrols::Panel *bar, const qvcontrols::Panel *splitter)
{
    bar->Move(splitter->Left(), splitter->Top(), splitter->Width() / 2, splitter->Height() - 20);
    bar->show();
    bar->raise();
}
} // namespace

void frmMain::SplitterDown()
{
    showDragBar(m_ui.picSplitter, m_ui.imgSplitter);
    m_dragging = true;
}

void frmMain::SplitterMove(int mouseX)
{
    if (m_dragging)
        m_ui.picSplitter->setLeft(
            MainLayout::dragBarLeft(m_ui.imgSplitter->Left(), mouseX, innerWidth(), MainLayout::kNavDragMargin));
}

void frmMain::SplitterUp()
{
    if (!m_dragging)
        return;
    SizeControls(m_ui.picSplitter->Left());
    m_ui.picSplitter->hide();
    m_dragging = false;
}

void frmMain::ReportSplitterDown()
{
    showDragBar(m_ui.picSplitterC, m_ui.imgSplitterC);
    m_dragging = true;
}

void frmMain::ReportSplitterMove(int mouseX)
{
    if (m_dragging)
        m_ui.picSplitterC->setLeft(
            MainLayout::dragBarLeft(m_ui.imgSplitterC->Left(), mouseX, m_ui.picMain->Width(), MainLayout::kReportDragMargin));
}

void frmMain::ReportSplitterUp()
{
    if (!m_dragging)
        return;
    const int left = MainLayout::reportSplitterDrop(m_ui.picSplitterC->Left(), innerWidth(), m_ui.picTable->Left());
    m_ui.picSplitterC->setLeft(left);
    m_ui.imgSplitterC->setLeft(left);
    m_ui.picRpt->setLeft(m_ui.imgSplitterC->Left() + m_ui.imgSplitterC->Width());
    m_ui.picRpt->setWidth(m_ui.picTable->Width() - m_ui.picRpt->Left());
    m_ui.picSplitterC->hide();
    m_dragging = false;
    m_rptPlaced = true;
}

// ---------------------------------------------------------------- commands

void frmMain::ImgClick(int index)
{
    if (index != 2)
        return;
    m_ui.navPanel->setVisible(m_ui.navPanel->isHidden());
    if (m_ui.navPanel->isHidden()) {
        m_ui.img[2]->setPicture(m_ui.img[7]->Picture());
        SizeControls(m_ui.navPanel->Left() - m_ui.imgSplitter->Width());
    } else {
        m_ui.img[2]->setPicture(m_ui.img[6]->Picture());
        SizeControls(m_ui.imgSplitter->Left());
    }
}

void frmMain::ImgBtnClick(int index)
{
    switch (index) {
    case 0:
    case 4:
        close();
        break;
    case 1:
        LockScreen();
        break;
    case 2:
        qvcontrols::ShowHelpContents(ProgramInfo::helpFile());
        break;
    case 3:
        Unlock();
        break;
    case 5:
        frmEdit::Open(m_session, this, 0, QStringLiteral("预警"), MenuKind::Alert, com::Variant(), nullptr, 0);
        break;
    default:
        break;
    }
}

void frmMain::LnkLblClick(int index)
{
    if (index == 3) {
        if (m_session.AppContext() && m_session.CurrentUser()) {
            frmPass dialog(*m_session.AppContext(), *m_session.CurrentUser(), this);
            showModal(&dialog);
        }
    } else if (index == 4) {
        ShowAbout();
    }
}

void frmMain::LockScreen()
{
    m_lock->lock(this);
}

void frmMain::Unlock()
{
    m_lock->unlock();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return QMainWindow::eventFilter(watched, event);
    const int x = pixelsToTwips(qRound(mouse->position().x()));
    if (watched == m_ui.imgSplitter || watched == m_ui.imgSplitterC) {
        const bool nav = watched == m_ui.imgSplitter;
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            nav ? SplitterDown() : ReportSplitterDown();
        else if (event->type() == QEvent::MouseMove)
            nav ? SplitterMove(x) : ReportSplitterMove(x);
        else if (event->type() == QEvent::MouseButtonRelease)
            nav ? SplitterUp() : ReportSplitterUp();
        return false;
    }
    if (watched == m_ui.img[2] && event->type() == QEvent::MouseButtonRelease) {
        ImgClick(2);
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- closing

void frmMain::unload()
{
    if (m_loaded && m_session.Config())
        SettingsStore::saveSetting(m_session.Config()->Caption(), kMainSection, QStringLiteral("navpanel_width"),
                                   QString::number(m_ui.navPanel->Width() - kStoredWidthOffset));
    ClearControl();
}

std::vector<QPointer<frmEdit>> frmMain::functionWindows() const
{
    std::vector<QPointer<frmEdit>> out;
    for (frmEdit *window : findChildren<frmEdit *>(Qt::FindDirectChildrenOnly))
        if (!window->isUnloaded())
            out.push_back(window);
    return out;
}

bool frmMain::functionsMayClose()
{
    // A second close while a function asks (its box is open) waits for the answer.
    if (m_asking)
        return false;
    m_asking = true;
    bool may = m_functions->mayClose();
    if (may) {
        for (const QPointer<frmEdit> &window : functionWindows()) {
            if (window && !window->QueryClose()) {
                may = false;
                break;
            }
        }
    }
    m_asking = false;
    return may;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_shutDown) {
        // Every function is asked before anything is stored or released; one
        // that is kept keeps the whole program as it is.
        if (!functionsMayClose()) {
            event->ignore();
            return;
        }
        m_shutDown = true;
        for (const QPointer<frmEdit> &window : functionWindows())
            if (window)
                window->Unload();
        guarded(QStringLiteral("保存导航设置"), [&] { m_nav->store(); });
        guarded(QStringLiteral("关闭功能"), [&] { unload(); });
        m_session.Shutdown();
    }
    event->accept();
}

} // namespace jx
