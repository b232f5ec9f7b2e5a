#include "console/workspace/frmMain.h"

#include "console/dialogs/frmAbout.h"
#include "console/plugins/frmPluginRun.h"

#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/bMain.h"
#include "console/workspace/CommandLineArgs.h"
#include "console/workspace/EventTable.h"
#include "console/workspace/FunctionControls.h"
#include "console/workspace/MenuIconCache.h"
#include "console/workspace/MenuKind.h"
#include "console/workspace/MenuQueries.h"
#include "console/workspace/MenuSearch.h"
#include "console/workspace/PaneCycler.h"
#include "console/workspace/PilotPage.h"
#include "console/workspace/ProgramRecord.h"
#include "console/workspace/frmEdit.h"
#include "console/workspace/frmFind.h"
#include "console/dialogs/frmPass.h"

#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/NavContainer.h"
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
#include "components/xml/XmlDocument.h"
#include "extplugin/PluginFactory.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/PathMapper.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/widgets/Ui.h"
#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LateBound.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>

namespace jx {

namespace {

using qvcontrols::TwipsGeometry;

// Design sizes of the form, in twips.
constexpr int kTitleHeight = 1140;
constexpr int kLinkBarHeight = 450;
constexpr int kStatusHeight = 420;
constexpr int kNavDesignWidth = 2700;
constexpr int kSplitterWidth = 60;
constexpr int kTabHeight = 375;
constexpr int kMaxNavWidth = 7680;

const QString kDefaultWeb = QStringLiteral("http://www.jxsoft.com.cn");
const QString kDefaultSupport = QStringLiteral("技术支持：400-000-0000");
const QString kDefaultMail = QStringLiteral("mailto:support@jxsoft.com.cn");

template<typename T>
T *make(QWidget *parent, const QString &name, int left, int top, int width, int height)
{
    T *widget = new T(parent);
    widget->setObjectName(name);
    widget->Move(left, top, width, height);
    return widget;
}

// Runs one layout statement; a failing one is skipped (a minimised window, say).
template<typename F>
void step(F &&f)
{
    try {
        f();
    } catch (const std::exception &) {
    }
}

// The report buttons' design picture: a small sheet with lines.
QPixmap reportPicture()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x40, 0x60, 0x90));
    p.setBrush(Qt::white);
    p.drawRect(2, 1, 11, 13);
    for (int y = 4; y <= 11; y += 3)
        p.drawLine(4, y, 11, y);
    return pixmap;
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

void frmMain::buildForm()
{
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_body = new QWidget(m_client);
    m_body->setObjectName(QStringLiteral("Body"));

    m_panel[0] = make<qvcontrols::Panel>(m_body, QStringLiteral("Panel_0"), 0, 0, 12000, kTitleHeight);
    m_panel[1] = make<qvcontrols::Panel>(m_body, QStringLiteral("Panel_1"), 0, kTitleHeight, 12000, kLinkBarHeight);
    m_panel[2] = make<qvcontrols::Panel>(m_body, QStringLiteral("Panel_2"), 0, 8000, 12000, kStatusHeight);
    m_panel[0]->setToolTip(QStringLiteral("按 Ctrl+K 查找并打开任一功能"));
    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
    connect(find, &QShortcut::activated, this, &frmMain::ShowFinder);

    m_img[0] = make<qvcontrols::Panel>(m_panel[0], QStringLiteral("Img_0"), 120, 120, 900, 900);
    m_img[1] = make<qvcontrols::Panel>(m_panel[0], QStringLiteral("Img_1"), 1140, 240, 4500, 660);
    m_productName = make<qvcontrols::ShadowLabel>(m_panel[0], QStringLiteral("lblProductName_B"), 1140, 330, 6000, 480);
    m_productName->setCaption(QStringLiteral("应用程序名"));
    m_productName->hide();
    const QString titleCaptions[3] = {QStringLiteral(" 退出系统"), QStringLiteral(" 锁定屏幕"), QStringLiteral(" 系统帮助")};
    for (int i = 0; i < 3; ++i) {
        m_imgBtn[i] = make<qvcontrols::Button>(m_panel[0], QStringLiteral("ImgBtn_%1").arg(i), 6000 + i * 1800, 420, 1500, 420);
        m_imgBtn[i]->setCaption(titleCaptions[i]);
        m_imgBtn[i]->setIndex(i);
    }

    m_lbl[1] = make<qvcontrols::ShadowLabel>(m_panel[1], QStringLiteral("lbl_1"), 480, 90, 6000, 270);
    m_lbl[1]->setCaption(QStringLiteral("当前位置"));
    m_lbl[0] = make<qvcontrols::ShadowLabel>(m_panel[1], QStringLiteral("lbl_0"), 7000, 90, 2400, 270);
    m_lbl[0]->setCaption(QStringLiteral("用户名"));
    m_lbl[2] = make<qvcontrols::ShadowLabel>(m_panel[1], QStringLiteral("lbl_2"), 5000, 90, 3000, 270);
    m_lbl[2]->setCaption(QStringLiteral("当前会计期间"));
    m_lbl[2]->hide();
    for (int i : {0, 1, 2})
        m_lbl[i]->setIndex(i);
    m_imgBtn[5] = make<qvcontrols::Button>(m_panel[1], QStringLiteral("ImgBtn_5"), 4000, 45, 1300, 360);
    m_imgBtn[5]->setCaption(QStringLiteral(" 显示预警"));
    m_imgBtn[5]->setIndex(5);
    m_lnklbl[3] = make<qvcontrols::dLinkLabel>(m_panel[1], QStringLiteral("lnklbl_3"), 9600, 105, 1100, 270);
    m_lnklbl[3]->setCaption(QStringLiteral("[修改密码]"));
    m_lnklbl[4] = make<qvcontrols::dLinkLabel>(m_panel[1], QStringLiteral("lnklbl_4"), 10800, 105, 1100, 270);
    m_lnklbl[4]->setCaption(QStringLiteral("[关于软件]"));
    m_img[2] = make<qvcontrols::Panel>(m_panel[1], QStringLiteral("Img_2"), 90, 75, 300, 300);
    m_img[6] = make<qvcontrols::Panel>(m_panel[1], QStringLiteral("Img_6"), 0, 0, 300, 300);
    m_img[7] = make<qvcontrols::Panel>(m_panel[1], QStringLiteral("Img_7"), 0, 0, 300, 300);
    m_img[6]->hide();
    m_img[7]->hide();
    {
        // The toggle's two pictures: an arrow pointing where the panel goes.
        for (int which : {6, 7}) {
            QPixmap arrow(20, 20);
            arrow.fill(Qt::transparent);
            QPainter p(&arrow);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(QColor(0x30, 0x50, 0x80));
            p.setPen(Qt::NoPen);
            const QPolygon left({QPoint(14, 4), QPoint(6, 10), QPoint(14, 16)});
            const QPolygon right({QPoint(6, 4), QPoint(14, 10), QPoint(6, 16)});
            p.drawPolygon(which == 6 ? left : right);
            p.end();
            m_img[which]->setPicture(arrow);
        }
        m_img[2]->setPicture(m_img[6]->Picture());
        m_img[2]->setAccessibleName(QStringLiteral("显示或隐藏导航栏"));
        m_img[2]->setCursor(Qt::PointingHandCursor);
        m_img[2]->installEventFilter(this);
    }

    m_lnkMessage = make<qvcontrols::dLinkLabel>(m_panel[2], QStringLiteral("lnkMessage"), 30, 60, 6000, 300);
    for (int i : {3, 4, 5})
        m_img[i] = make<qvcontrols::Panel>(m_panel[2], QStringLiteral("Img_%1").arg(i), 0, 60, 240, 240);
    m_lnklbl[0] = make<qvcontrols::dLinkLabel>(m_panel[2], QStringLiteral("lnklbl_0"), 6000, 60, 3000, 270);
    m_lnklbl[1] = make<qvcontrols::dLinkLabel>(m_panel[2], QStringLiteral("lnklbl_1"), 7000, 60, 2400, 270);
    m_lnklbl[2] = make<qvcontrols::dLinkLabel>(m_panel[2], QStringLiteral("lnklbl_2"), 8000, 60, 1400, 270);
    m_lnklbl[2]->setCaption(QStringLiteral("意见与建议"));
    for (int i = 0; i < 5; ++i) {
        m_lnklbl[i]->setIndex(i);
        connect(m_lnklbl[i], &qvcontrols::dLinkLabel::Click, this, &frmMain::LnkLblClick);
    }

    m_navPanel = make<qvcontrols::NavPanel>(m_body, QStringLiteral("NavPanel"), 30, kTitleHeight + kLinkBarHeight,
                                            kNavDesignWidth, 6000);
    m_navContainer = new qvcontrols::NavContainer(m_navPanel);
    m_navContainer->setObjectName(QStringLiteral("NavContainer"));
    connect(m_navPanel, &qvcontrols::NavPanel::SelectionChanged, this, &frmMain::selectionChanged);
    auto *template0 = make<qvcontrols::Button2>(m_navContainer, QStringLiteral("But_0"), 150, -360, 2400, 600);
    template0->setCaption(QStringLiteral("Button21"));
    template0->hide();
    m_buttons.push_back(template0);

    m_imgSplitter = make<qvcontrols::Panel>(m_body, QStringLiteral("imgSplitter"), kNavDesignWidth + 60,
                                            kTitleHeight + kLinkBarHeight, kSplitterWidth, 6000);
    m_imgSplitter->setCursor(Qt::SplitHCursor);
    m_imgSplitter->setAccessibleName(QStringLiteral("导航栏分隔条"));
    m_imgSplitter->installEventFilter(this);
    m_picSplitter = make<qvcontrols::Panel>(m_body, QStringLiteral("picSplitter"), 0, 0, kSplitterWidth / 2, 6000);
    m_picSplitter->setBackColor(0x808080);
    m_picSplitter->hide();

    m_picMain = make<qvcontrols::Panel>(m_body, QStringLiteral("PicMain"), kNavDesignWidth + 120,
                                        kTitleHeight + kLinkBarHeight, 9000, 6000);
    m_picTable = make<qvcontrols::Panel>(m_picMain, QStringLiteral("PicTable"), 15, 15, 9000, 5600);
    m_picRpt = make<qvcontrols::Panel>(m_picTable, QStringLiteral("PicRpt"), 6000, 0, 3000, 5600);
    m_imgSplitterC = make<qvcontrols::Panel>(m_picTable, QStringLiteral("imgSplitter_c"), 6000 - kSplitterWidth, 0,
                                             kSplitterWidth, 5600);
    m_imgSplitterC->setCursor(Qt::SplitHCursor);
    m_imgSplitterC->setAccessibleName(QStringLiteral("报表栏分隔条"));
    m_imgSplitterC->installEventFilter(this);
    m_picSplitterC = make<qvcontrols::Panel>(m_picTable, QStringLiteral("picSplitter_c"), 0, 0, kSplitterWidth / 2, 5600);
    m_picSplitterC->setBackColor(0x808080);
    m_picSplitterC->hide();
    auto *report0 = make<qvcontrols::Button2>(m_picRpt, QStringLiteral("ImgRpt_0"), 150, 150, 2700, 420);
    report0->setCaption(QStringLiteral("报表"));
    report0->setPicture(reportPicture());
    report0->hide();
    m_reports.push_back(report0);

    auto *page0 = make<qvcontrols::Panel>(m_picMain, QStringLiteral("picHolder_0"), 15, 15, 9000, 5600);
    page0->hide();
    m_pages.push_back(page0);
    m_tabs = make<qvcontrols::VSTabCtl>(m_picMain, QStringLiteral("qvVSTab"), 15, 5615, 9000, kTabHeight);
    // Tabs close when their function asks, so none offers a close button.
    m_tabs->Add(QStringLiteral("导航窗口"), QStringLiteral("key"), true)->setClosable(false);
    connect(m_tabs, &qvcontrols::VSTabCtl::TabLeave, this, &frmMain::tabLeave);
    connect(m_tabs, &qvcontrols::VSTabCtl::TabEnter, this, &frmMain::tabEnter);

    // The screen lock sits above everything else of the form.
    m_pic[2] = make<qvcontrols::Panel>(m_client, QStringLiteral("pic_2"), 0, 0, 12000, 9000);
    m_pic[0] = make<qvcontrols::Panel>(m_client, QStringLiteral("pic_0"), -30, -30, 12000, 9000);
    m_pic[0]->setBackColor(0x202020);
    m_pic[1] = make<qvcontrols::Panel>(m_client, QStringLiteral("pic_1"), 0, 0, 5400, 2700);
    m_pic[1]->setAccessibleName(QStringLiteral("解除锁定"));
    m_pic[1]->installEventFilter(this);
    m_lbls = make<qvcontrols::ShadowLabel>(m_pic[1], QStringLiteral("lbls"), 450, 600, 4500, 300);
    m_lbls->setCaption(QStringLiteral("请录入登录密码:"));
    m_txtPassword = new QLineEdit(m_pic[1]);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtPassword->setAccessibleName(QStringLiteral("请录入登录密码:"));
    TwipsGeometry::moveTwips(m_txtPassword, 450, 1000, 4500, 360);
    m_imgBtn[3] = make<qvcontrols::Button>(m_pic[1], QStringLiteral("ImgBtn_3"), 900, 1800, 1500, 420);
    m_imgBtn[3]->setCaption(QStringLiteral(" 返回系统"));
    m_imgBtn[3]->setIndex(3);
    m_imgBtn[4] = make<qvcontrols::Button>(m_pic[1], QStringLiteral("ImgBtn_4"), 3000, 1800, 1500, 420);
    m_imgBtn[4]->setCaption(QStringLiteral(" 退出系统"));
    m_imgBtn[4]->setIndex(4);
    connect(m_txtPassword, &QLineEdit::returnPressed, this, &frmMain::Unlock);
    for (auto *pic : m_pic)
        pic->hide();
    for (int i = 0; i < 6; ++i)
        connect(m_imgBtn[i], &qvcontrols::ImageButton::Click, this, &frmMain::ImgBtnClick);
    installPaneKeys();
}

void frmMain::installPaneKeys()
{
    // The panes are named, so a screen reader says where F6 went.
    m_navPanel->setAccessibleName(QStringLiteral("导航栏"));
    m_picTable->setAccessibleName(QStringLiteral("导航图"));
    m_picRpt->setAccessibleName(QStringLiteral("报表栏"));
    using Pane = PaneCycler::Pane;
    // Nothing behind the screen lock takes the focus.
    const auto open = [this] { return !m_pic[1]->isVisible(); };
    new PaneCycler(this, {[this, open] { return open() ? Pane{m_navPanel, nullptr} : Pane{}; },
                          [this, open] {
                              if (!open())
                                  return Pane{};
                              // The diagram page, or the selected function's page.
                              return m_picTable->isVisible() ? Pane{m_picTable, m_picRpt}
                                                             : Pane{picHolder(m_currentPage), nullptr};
                          },
                          [this, open] { return open() ? Pane{m_tabs, nullptr} : Pane{}; },
                          [this, open] { return open() ? Pane{m_picRpt, nullptr} : Pane{}; }});
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
        m_body->resize(m_client->size());
        if (!context)
            return;
        if (!m_icons)
            m_icons = std::make_unique<MenuIconCache>(*context, m_zLib);
        if (!m_pilot)
            m_pilot = std::make_unique<PilotPage>(*context, m_picTable, [this](const QString &code) { PilotNodeClick(code); });

        m_lbl[0]->setCaption(QStringLiteral("登录用户名：") + (m_session.CurrentUser() ? m_session.CurrentUser()->UserName() : QString()));
        m_lbl[0]->setAccessibleName(m_lbl[0]->Caption());
        const QString period = context->OptionByNumber(12, 1).Value();
        if (val(period) != 0) {
            m_lbl[2]->setCaption(QStringLiteral("当前会计期间：") + period);
            m_lbl[2]->show();
            m_lbl[2]->Move(m_lbl[0]->Left() - m_lbl[2]->Width() - 200, 90);
            m_imgBtn[5]->setLeft(m_lbl[2]->Left() - m_imgBtn[5]->Width() - 200);
        }

        QString lengths = context->Option(12, QStringLiteral("menubm")).Value();
        if (lengths.isEmpty())
            lengths = QStringLiteral("22222");
        WriteLog(QStringLiteral("frmain 打开记录集..."), LogProgress);
        ::Database *db = context->Database();
        if (!db)
            throw com::RuntimeError::of(91);
        Recordset rs = db->Query(MenuQueries::Q1(lengths), 1).Recordset();
        if (!db->LastError().Description().isEmpty()) {
            WriteLog(db->LastError().Description(), LogError);
            db->ResetError();
            return;
        }

        m_navPanel->setRedraw(false);
        WriteLog(QStringLiteral("frmain 加载模块大类..."), LogProgress);
        try {
            addGroups(rs);
        } catch (...) {
            m_navPanel->setRedraw(true);
            throw;
        }
        rs.Close();
        m_navPanel->setRedraw(true);

        WriteLog(QStringLiteral("frmain 恢复默认的导航项目..."), LogProgress);
        const QString app = config ? config->Caption() : QString();
        if (m_navPanel->Count() > 0) {
            const QString active = SettingsStore::getSetting(app, QStringLiteral("main"), QStringLiteral("NavPaneActiveItem"));
            qvcontrols::NavItem *item = active.isEmpty() ? nullptr : m_navPanel->Item(active);
            m_navPanel->setSelectedItem(item ? item : m_navPanel->Item(1));
            m_navPanel->setVisibleItems(clng(val(SettingsStore::getSetting(app, QStringLiteral("main"),
                                                                           QStringLiteral("NavPaneVisibleItems"),
                                                                           QStringLiteral("3")))));
        }

        m_picMain->setAppearance(1);
        WriteLog(QStringLiteral("frmain 应用主题..."), LogProgress);
        context->Theme().Apply(this);

        WriteLog(QStringLiteral("frmain 加载图标..."), LogProgress);
        loadPictures();
        loadLinks();

        // The width is stored less 60; loading adds the 60 back, so a width
        // comes back the same after any number of runs.
        const QString stored = SettingsStore::getSetting(app, QStringLiteral("main"), QStringLiteral("navpanel_width"));
        if (!stored.isEmpty())
            m_navPanel->setWidth(clng(val(stored)) + 60);
        m_loaded = true;
        Relayout();
    } catch (const std::exception &e) {
        m_navPanel->setRedraw(true);
        msgBox(QStringLiteral("加载主窗体时发生错误,原因:") + com::errorDescription(e), Exclamation, QStringLiteral("错误:"));
    }
}

void frmMain::addGroups(Recordset &rs)
{
    QStringList seen;
    const auto atEnd = [&rs] {
        try {
            return rs.Eof();
        } catch (...) {
            return true;
        }
    };
    while (!atEnd()) {
        const QString name = trimBlanks(toText(rs.Fields(QStringLiteral("systemcatalog"))));
        if (!seen.contains(name)) {
            seen << name;
            const QString key = trimBlanks(toText(rs.Fields(QStringLiteral("systemcode"))));
            const QPixmap icon = m_icons->LoadMenuIcon(trimBlanks(toText(rs.Fields(QStringLiteral("menucode")))), 1);
            m_navPanel->Add(name, key, icon, m_navContainer, true);
        }
        rs.MoveNext();
    }
}

void frmMain::loadPictures()
{
    ::AppContext *context = m_session.AppContext();
    const QStringList folders{context->Theme().Folder(), context->Environment().AppPath()};
    const auto find = [&folders](const QString &name) -> QString {
        for (const QString &folder : folders) {
            if (folder.isEmpty())
                continue;
            const QString path = QDir(toLocalPath(folder)).filePath(name);
            if (QFileInfo::exists(path))
                return path;
        }
        return {};
    };
    const auto place = [](qvcontrols::Panel *target, const QString &path) {
        const QPixmap picture = qvcontrols::PictureLoader::LoadPicture(path);
        if (picture.isNull())
            return false;
        target->setPicture(picture);
        target->setWidth(pixelsToTwips(picture.width()));
        target->setHeight(pixelsToTwips(picture.height()));
        return true;
    };
    if (const QString logo = find(QStringLiteral("logo.gif")); !logo.isEmpty())
        place(m_img[0], logo);
    const QString title = find(QStringLiteral("title.gif"));
    if (title.isEmpty()) {
        m_productName->setCaption(m_session.Config() ? m_session.Config()->Caption() : QString());
        m_productName->show();
        m_img[1]->hide();
    } else {
        place(m_img[1], title);
    }
    if (const QString login = find(QStringLiteral("piclogin.gif")); !login.isEmpty())
        m_pic[1]->setPicture(qvcontrols::PictureLoader::LoadPicture(login));
}

void frmMain::loadLinks()
{
    clsConfig *config = m_session.Config();
    XmlDocument *xml = config ? config->XML() : nullptr;
    const auto node = [xml](const char *path) {
        return xml ? toText(xml->GetValue(QLatin1String(path))) : QString();
    };
    QString web = node("//configuration/system/webhome");
    if (web.isEmpty())
        web = kDefaultWeb;
    const QString subject = config && !config->Subject().isEmpty() ? config->Subject() : QStringLiteral("简衡软件");
    m_lnklbl[0]->setCaption(subject + QStringLiteral("(") + web + QStringLiteral(")"));
    m_lnklbl[0]->setLink(web);
    QString support = node("//configuration/system/LxMessage");
    m_lnklbl[1]->setCaption(support.isEmpty() ? kDefaultSupport : support);
    const QString mail = node("//configuration/system/mailto");
    m_lnklbl[2]->setLink(mail.isEmpty() ? kDefaultMail : QStringLiteral("mailto:") + mail);
    for (auto *link : m_lnklbl)
        link->adjustSize();
}

void frmMain::SetStatusText(const QString &text)
{
    m_lnkMessage->setCaption(text);
    m_lnkMessage->adjustSize();
}

QString frmMain::StatusText() const
{
    return m_lnkMessage->text();
}

QLabel *frmMain::lnkMessage() const
{
    return m_lnkMessage;
}

// ---------------------------------------------------------------- navigation

void frmMain::selectionChanged(qvcontrols::NavItem *item)
{
    if (item)
        BuildMenuButtons(item->Caption());
}

QString frmMain::groupCaption() const
{
    qvcontrols::NavItem *item = m_navPanel->SelectedItem();
    return item ? item->Caption() : QString();
}

qvcontrols::Button2 *frmMain::But(int index) const
{
    return index >= 0 && index < ButCount() ? m_buttons[index] : nullptr;
}

qvcontrols::Button2 *frmMain::ImgRpt(int index) const
{
    return index >= 0 && index < ImgRptCount() ? m_reports[index] : nullptr;
}

qvcontrols::Panel *frmMain::picHolder(int index) const
{
    return index >= 0 && index < picHolderCount() ? m_pages[index] : nullptr;
}

void frmMain::ClearDynamicControls(bool buttons)
{
    try {
        if (buttons) {
            while (m_buttons.size() > 1) {
                delete m_buttons.back();
                m_buttons.pop_back();
            }
        } else if (m_pilot) {
            m_pilot->ClearDynamicControls();
        }
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("发生错误。原因：") + com::errorDescription(e), Critical);
    }
}

void frmMain::BuildMenuButtons(const QString &group)
{
    // Removed, built and placed unseen, then painted once; the icons are read
    // in one statement after the buttons, rather than one per button.
    m_navContainer->suspendLayout();
    const auto paintAgain = qScopeGuard([this] { m_navContainer->resumeLayout(); });
    ClearDynamicControls(true);
    ::AppContext *context = m_session.AppContext();
    ::Database *db = context ? context->Database() : nullptr;
    if (!db)
        return;
    Recordset rs;
    try {
        rs = db->Query(MenuQueries::Q2(group), 1).Recordset();
    } catch (const std::exception &) {
    }
    if (!db->LastError().Description().isEmpty()) {
        WriteLog(db->LastError().Description(), LogError);
        db->ResetError();
        return;
    }
    QString stored;
    step([&] {
        stored = SettingsStore::getSetting(m_session.Config() ? m_session.Config()->Caption() : QString(),
                                           QStringLiteral("main"), QStringLiteral("_ButTag") + group);
    });
    int selected = 0;
    int i = 0;
    std::vector<std::pair<qvcontrols::Button2 *, QString>> iconsToLoad;
    // A failed end-of-rows test counts as the end, so the loop always ends.
    const auto atEnd = [&rs] {
        try {
            return rs.Eof();
        } catch (...) {
            return true;
        }
    };
    for (; !atEnd(); step([&] { rs.MoveNext(); })) {
        qvcontrols::Button2 *previous = m_buttons[i];
        auto *button = new qvcontrols::Button2(m_navContainer);
        button->setObjectName(QStringLiteral("But_%1").arg(i + 1));
        button->setIndex(i + 1);
        m_buttons.push_back(button);
        connect(button, &qvcontrols::ImageButton::Click, this, &frmMain::ButClick);
        step([&] { button->setCaption(QStringLiteral("  ") + toText(rs.Fields(QStringLiteral("menuname")))); });
        step([&] {
            button->Move(previous->Left(), previous->Top() + previous->Height() + 120, previous->Width(), previous->Height());
            button->ZOrder(0);
        });
        step([&] { button->CopyAppearance(*previous); });
        step([&] {
            const QString code = toText(rs.Fields(QStringLiteral("menucode")));
            button->setTag(code);
            button->show();
            iconsToLoad.emplace_back(button, trimBlanks(code));
        });
        step([&] {
            if (!stored.isEmpty() && trimBlanks(button->Caption()) == stored)
                selected = i + 1;
        });
        ++i;
    }
    if (m_icons) {
        QStringList codes;
        for (const auto &[button, code] : iconsToLoad)
            codes << code;
        step([&] { m_icons->prefetch(codes, 1); });
        for (const auto &[button, code] : iconsToLoad)
            step([&, button = button, code = code] { button->setPicture(m_icons->LoadMenuIcon(code, 1)); });
        m_icons->forget();
    }
    step([&] {
        // Centre the new buttons in the panel.
        for (auto *b : m_buttons)
            b->setLeft((m_navPanel->Width() - b->Width()) / 2);
    });
    if (selected != 0)
        ButClick(selected);
    else if (ButCount() > 1)
        ButClick(1);
}

QString frmMain::lastCrumb() const
{
    const QString crumb = m_lbl[1]->Caption();
    const qsizetype arrow = crumb.lastIndexOf(QStringLiteral("->"));
    return trimBlanks(arrow >= 0 ? crumb.mid(arrow + 2) : crumb);
}

void frmMain::ButClick(int index)
{
    qvcontrols::Button2 *button = But(index);
    if (!button || index == 0)
        return;
    OpenMenu(button->Tag(), false, trimBlanks(button->Caption()), trimBlanks(button->Tag()));
    step([&] {
        SettingsStore::saveSetting(m_session.Config() ? m_session.Config()->Caption() : QString(), QStringLiteral("main"),
                                   QStringLiteral("_ButTag") + groupCaption(), lastCrumb());
    });
}

// ---------------------------------------------------------------- opening

void frmMain::setBreadcrumb(const QString &name)
{
    m_lbl[1]->setCaption(QStringLiteral("当前位置：") + groupCaption() + QStringLiteral(" -> ") + name);
    m_lbl[1]->setAccessibleName(m_lbl[1]->Caption());
}

void frmMain::showTab1(bool shown)
{
    if (qvcontrols::VSTab *tab = m_tabs->Tab(1))
        if (tab->Hidden() == shown)
            tab->setHidden(!shown);
}

bool frmMain::OpenMenu(const QString &code, bool newTab, const QString &caption, const QString &key)
{
    try {
        ::AppContext *context = m_session.AppContext();
        ::Database *db = context ? context->Database() : nullptr;
        if (!db)
            return false;
        const QueryResult entry = db->Query(MenuQueries::Q5(code), 1);
        if (MenuQueries::reportFailure(*db, entry))
            return false;
        Recordset rs = entry.Recordset();
        if (rs.Bof() && rs.Eof()) {
            rs.Close();
            msgBox(QStringLiteral("当前指定的功能（") + code + QStringLiteral("）并不存在！"), Information,
                   QStringLiteral("提示："));
            return false;
        }
        const int32_t number = MenuQueries::programNumber(rs.Fields(QStringLiteral("progid")));
        const int32_t kind = MenuQueries::programNumber(rs.Fields(QStringLiteral("menucatalog")));
        const QString name = toText(rs.Fields(QStringLiteral("menuName")));
        const QString systemCode = toText(rs.Fields(QStringLiteral("systemcode")));
        rs.Close();
        if (!FunctionControls::MayOpen(context, number, kind, name))
            return false;

        if (kind == MenuKind::Plugin) {
            RunPlugin(number, systemCode, name);
        } else if (number > 0 || (number == 0 && kind == MenuKind::Alert)) {
            bool found = false;
            // The page to show: the current one, or that of the tab found.
            int shown = m_currentPage;
            if (!newTab) {
                for (int t = 1; t <= m_tabs->Count(); ++t) {
                    qvcontrols::VSTab *tab = m_tabs->Tab(t);
                    const QString tabKey = tab->Key();
                    const qsizetype dash = tabKey.indexOf(u'-');
                    if (dash >= 0 && tabKey.left(dash) == key) {
                        tab->setSelected(true);
                        // A tab whose function did not start is no current page.
                        shown = clng(val(tabKey.mid(tabKey.lastIndexOf(u'-') + 1)));
                        found = true;
                        break;
                    }
                }
            }
            bool created = false;
            if (newTab || !found) {
                ++m_tabCounter;
                const int n = m_tabCounter;
                qvcontrols::VSTab *tab = m_tabs->Add(caption, key + QStringLiteral("-") + QString::number(n), false);
                tab->setClosable(false);
                // The page exists before the tab is entered, so entering shows it.
                qvcontrols::Panel *before = m_pages.back();
                auto *page = new qvcontrols::Panel(m_picMain);
                page->setObjectName(QStringLiteral("picHolder_%1").arg(n));
                page->Move(before->Left(), before->Top(), before->Width(), before->Height());
                page->setBackColor(before->BackColor());
                page->setForeColor(before->ForeColor());
                page->setAccessibleName(caption);
                connect(page, &qvcontrols::Panel::Resize, this, [this, n] { pageResize(n); });
                m_pages.push_back(page);
                page->show();
                m_currentPage = n;
                shown = n;
                m_tabs->select(tab);
                m_tabs->Refresh();
                created = true;
            }
            m_picTable->hide();
            if (!newTab)
                showTab1(false);
            if (qvcontrols::Panel *page = picHolder(shown)) {
                page->show();
                page->raise();
            }
            if (created)
                LoadControl(number, kind, name);
        } else {
            m_picTable->show();
            showTab1(true);
            if (qvcontrols::Panel *page = picHolder(m_currentPage))
                if (m_currentPage != 0)
                    page->hide();
            if (m_pilot)
                m_pilot->LoadPilot(code);
            LoadReportMenu(code);
            if (qvcontrols::VSTab *tab = m_tabs->Tab(1))
                m_tabs->select(tab);
            m_picTable->raise();
        }
        setBreadcrumb(name);
        update();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void frmMain::RunPlugin(int32_t programNumber, const QString &modeCode, const QString &caption)
{
    if (programNumber <= 0) {
        WriteLog(QStringLiteral("插件未定义！"), LogWarning, QStringLiteral("提示："));
        return;
    }
    ::AppContext *context = m_session.AppContext();
    try {
        if (!context || !context->Database())
            throw com::RuntimeError::of(91);
        ProgramRecord record(*context->Database());
        record.Load(programNumber);
        const QString className = trimBlanks(record.ClassName());
        if (!className.isEmpty()) {
            com::ComPtr<IExtPluginUI> plugin = extplugin::createPlugin(className);
            // Before anything asks the plug-in for its name: a plug-in may
            // name itself after its caption.
            extplugin::addParameters(plugin.get(), {{QStringLiteral("ProgID"), QVariant(programNumber)},
                                                    {QStringLiteral("ModeCode"), QVariant(modeCode)},
                                                    {QStringLiteral("Caption"), QVariant(caption)},
                                                    {QStringLiteral("CommandLine"), QVariant(record.CommandLine())}});
            WriteLog(QStringLiteral("检查外接程序的程序权限操作，progID=") + QString::number(programNumber), LogProgress);
            if (!context->Rights(programNumber).Allowed(1)) {
                WriteLog(QStringLiteral("没有运行权限，请检查后再试"), LogNotice, QStringLiteral("提示："));
            } else {
                const QString friendly = extplugin::pluginFriendlyName(plugin.get());
                ShowStatus(m_session, QStringLiteral("正在初始化") + friendly + QStringLiteral("对象"));
                ::CurrentUser *user = m_session.CurrentUser();
                if (!user || !user->Verify()) {
                    WriteLog(user ? user->LastError().Description() : QString(), LogNotice);
                    return;
                }
                WriteOperation(QStringLiteral("操作插件[") + friendly + QStringLiteral("]"), 0);
                if (extplugin::startPlugin(plugin.get(), context, {})) {
                    ShowStatus(m_session, QStringLiteral("正在运行") + friendly);
                    BSTR commandLine = com::toBstr(QString());
                    VARIANT_BOOL done = 0;
                    const HRESULT hr = plugin->Action(&commandLine, &done);
                    SysFreeString(commandLine);
                    com::throwIfFailed(hr);
                }
                VARIANT_BOOL cleared = 0;
                plugin->Clear(&cleared);
            }
        }
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("程序执行错误，原因：") + com::errorDescription(e), LogError, QStringLiteral("错误："));
    }
    step([&] { ShowStatus(m_session, QString()); });
}

bool frmMain::LoadReportMenu(const QString &code)
{
    try {
        // A report button that opens a directory rebuilds the column from
        // inside its own click; the old buttons go once that click has returned.
        while (m_reports.size() > 1) {
            qvcontrols::Button2 *old = m_reports.back();
            m_reports.pop_back();
            old->hide();
            old->setObjectName(QString());
            old->deleteLater();
        }
        ::Database *db = m_session.AppContext() ? m_session.AppContext()->Database() : nullptr;
        if (!db)
            return false;
        Recordset rs = db->Query(MenuQueries::Q11(code), 1).Recordset();
        if (rs.Eof()) {
            rs.Close();
            return false;
        }
        for (int i = 0; !rs.Eof(); ++i) {
            qvcontrols::Button2 *previous = m_reports[i];
            auto *button = new qvcontrols::Button2(m_picRpt);
            button->setObjectName(QStringLiteral("ImgRpt_%1").arg(i + 1));
            button->setIndex(i + 1);
            m_reports.push_back(button);
            connect(button, &qvcontrols::ImageButton::Click, this, &frmMain::ImgRptClick);
            button->setCaption(QStringLiteral("  ") + toText(rs.Fields(QStringLiteral("menuname"))) + QStringLiteral("  "));
            button->Move(previous->Left(), previous->Top() + previous->Height() + 50, previous->Width(), previous->Height());
            button->ZOrder(0);
            button->CopyAppearance(*previous);
            button->setTag(toText(rs.Fields(QStringLiteral("menucode"))));
            button->setPicture(previous->Picture());
            button->show();
            rs.MoveNext();
        }
        return true;
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
        std::optional<Recordset> found = MenuQueries::lookupEntry(*db, MenuQueries::Q6(button->Tag()));
        if (!found)
            return;
        Recordset &rs = *found;
        const int32_t number = MenuQueries::programNumber(rs.Fields(QStringLiteral("progID")));
        const int32_t kind = MenuQueries::programNumber(rs.Fields(QStringLiteral("menucatalog")));
        const QString name = toText(rs.Fields(QStringLiteral("menuname")));
        const QString code = toText(rs.Fields(QStringLiteral("menucode")));
        rs.Close();
        openEntry(*db, number, name, kind, code);
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
        std::optional<Recordset> found = MenuQueries::lookupEntry(*db, MenuQueries::Q7(code));
        if (!found)
            return;
        Recordset &rs = *found;
        const int32_t number = MenuQueries::programNumber(rs.Fields(QStringLiteral("progID")));
        const int32_t kind = MenuQueries::programNumber(rs.Fields(QStringLiteral("menucatalog")));
        const QString name = toText(rs.Fields(QStringLiteral("menuname")));
        const QString systemCode = toText(rs.Fields(QStringLiteral("systemcode")));
        rs.Close();
        if (kind == MenuKind::Plugin) {
            RunPlugin(number, systemCode, name);
            return;
        }
        if (kind == MenuKind::PluginManager) {
            if (number == frmPluginRun::kProgramNumber)
                ShowPluginManager(number, name);
            return;
        }
        openEntry(*db, number, name, kind, code);
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("发生错误,原因:") + com::errorDescription(e), OKOnly);
    }
}

void frmMain::ShowFinder()
{
    ::AppContext *context = m_session.AppContext();
    ::Database *db = context ? context->Database() : nullptr;
    if (!db || isLocked())
        return;
    MenuSearch search;
    QString why;
    if (!search.load(*db, context, &why)) {
        step([&] { WriteLog(why, LogError); });
        msgBox(why, Critical, QStringLiteral("错误"));
        return;
    }
    const QString app = m_session.Config() ? m_session.Config()->Caption() : QString();
    const QString user = m_session.CurrentUser() ? m_session.CurrentUser()->UserName() : QString();
    auto *box = new frmFind(std::move(search), MenuSearch::recentCodes(app, user), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &frmFind::entryChosen, this, [this, app, user](const QString &code) {
        step([&] { MenuSearch::noteOpened(app, user, code); });
        openFound(code);
    });
    box->open();
}

void frmMain::openFound(const QString &code)
{
    // An entry already open in a tab is selected, as its menu button would.
    for (int t = 1; t <= m_tabs->Count(); ++t) {
        const QString key = m_tabs->Tab(t)->Key();
        const qsizetype dash = key.indexOf(u'-');
        if (dash >= 0 && key.left(dash) == code) {
            OpenMenu(code, false, QString(), code);
            return;
        }
    }
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

qvcontrols::ControlSite *frmMain::moControl() const
{
    return m_moControl.isEmpty() ? nullptr : m_controls.Item(m_moControl);
}

bool frmMain::LoadControl(int32_t programNumber, int32_t kind, const QString &menuName)
{
    m_unloadRequested = false;
    try {
        const QString progId = FunctionControls::ClassFor(kind);
        if (progId.isEmpty())
            return false;
        qvcontrols::Panel *page = picHolder(m_currentPage);
        const QString name = QStringLiteral("edit") + QString::number(m_currentPage);
        qvcontrols::ControlSite *site = m_controls.Add(progId, name, page);
        m_moControl = name;
        com::ComPtr<IDispatch> control(site->object());
        com::ComPtr<IDispatch> context(m_session.AppContext());
        com::ComPtr<IDispatch> config(m_session.Config());
        int16_t zero = 0;
        BSTR caption = com::toBstr(menuName);
        std::vector<VARIANT> extra;
        if (MenuKind::takesRecord(kind))
            extra = {com::byRef(&zero)};
        else if (MenuKind::takesCaption(kind))
            extra = {com::byRef(&caption)};
        bool result = false;
        try {
            result = FunctionControls::PyInit(control.get(), context, config, programNumber, extra);
        } catch (...) {
            SysFreeString(caption);
            throw;
        }
        SysFreeString(caption);
        m_session.TakeBack(context.get(), config.get());
        if (!result) {
            WriteLog(QStringLiteral("初始化控件Init()时出错<") + QString::number(programNumber) + QStringLiteral(">"),
                     LogProgress);
            return false;
        }
        if (m_unloadRequested)
            return false;
        if (qvcontrols::ControlSite *current = m_controls.Item(name)) {
            current->Move(0, 0, page->Width(), page->Height());
            if (current->widget())
                current->widget()->show();
        }
        return true;
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("加载动态控件时出错:") + com::errorDescription(e), LogError);
        return false;
    }
}

bool frmMain::ClearControl()
{
    try {
        for (const QString &name : m_controls.Names()) {
            if (!name.startsWith(QStringLiteral("edit"), Qt::CaseInsensitive))
                continue;
            if (qvcontrols::ControlSite *site = m_controls.Item(name)) {
                com::ComPtr<IDispatch> object(site->object());
                com::call(object.get(), QStringLiteral("Clear"));
            }
            m_controls.Remove(name);
        }
        m_moControl.clear();
        return true;
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("ClearControl:") + com::errorDescription(e), Critical, QStringLiteral("错误:"));
        return false;
    }
}

void frmMain::CloseCurrentTab()
{
    for (int t = 1; t <= m_tabs->Count(); ++t) {
        if (m_tabs->Tab(t)->Selected()) {
            closeTab(t);
            return;
        }
    }
}

void frmMain::CloseTabOf(const QString &controlName)
{
    for (int t = 2; t <= m_tabs->Count(); ++t) {
        const QString key = m_tabs->Tab(t)->Key();
        const QString name = QStringLiteral("edit") + QString::number(clng(val(key.mid(key.lastIndexOf(u'-') + 1))));
        if (name.compare(controlName, Qt::CaseInsensitive) == 0) {
            closeTab(t);
            return;
        }
    }
}

void frmMain::closeTab(int i)
{
    // The diagram page's tab is never closed.
    if (i < 2 || i > m_tabs->Count())
        return;
    const QString key = m_tabs->Tab(i)->Key();
    const int n = clng(val(key.mid(key.lastIndexOf(u'-') + 1)));
    const QString name = QStringLiteral("edit") + QString::number(n);
    if (qvcontrols::ControlSite *site = m_controls.Item(name)) {
        com::ComPtr<IDispatch> object(site->object());
        com::call(object.get(), QStringLiteral("Clear"));
        m_controls.Remove(name);
        if (m_moControl.compare(name, Qt::CaseInsensitive) == 0)
            m_moControl.clear();
    }
    // Another tab's function may close itself; the user's tab stays selected.
    if (m_tabs->Tab(i)->Selected() && m_tabs->Count() > 1)
        m_tabs->select(m_tabs->Tab(i == 1 ? m_tabs->Count() : i - 1));
    m_tabs->Remove(i);
    if (m_tabs->Count() == 1) {
        m_picTable->show();
        showTab1(true);
        m_picTable->raise();
    }
    m_tabs->Refresh();
    m_unloadRequested = true;
}

void frmMain::tabLeave(qvcontrols::VSTab *tab)
{
    if (!tab)
        return;
    if (tab->Index() == 1) {
        m_picTable->hide();
    } else {
        const QString key = tab->Key();
        if (qvcontrols::Panel *page = picHolder(clng(val(key.mid(key.lastIndexOf(u'-') + 1)))))
            page->hide();
    }
}

void frmMain::tabEnter(qvcontrols::VSTab *tab)
{
    if (!tab)
        return;
    if (tab->Index() == 1) {
        m_picTable->show();
        m_picTable->raise();
        return;
    }
    const QString key = tab->Key();
    const int n = clng(val(key.mid(key.lastIndexOf(u'-') + 1)));
    if (qvcontrols::Panel *page = picHolder(n)) {
        page->show();
        page->raise();
    }
    const QString name = QStringLiteral("edit") + QString::number(n);
    // A page without a function (it failed to start) never becomes current.
    if (m_controls.Item(name)) {
        m_moControl = name;
        pageResize(n);
        m_currentPage = n;
    }
}

void frmMain::pageResize(int page)
{
    // The page's own function: pages other than the current one are resized too.
    qvcontrols::ControlSite *site = m_controls.Item(QStringLiteral("edit") + QString::number(page));
    qvcontrols::Panel *holder = picHolder(page);
    if (!site || !holder)
        return;
    step([&] {
        site->Move(0, 0, pixelsToTwips(holder->width()), pixelsToTwips(holder->height()));
        holder->update();
    });
    step([&] {
        if (holder->isVisible()) {
            holder->setFocus();
            if (site->widget())
                site->widget()->setFocus();
        }
    });
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
    return pixelsToTwips(m_client->width());
}

int frmMain::innerHeight() const
{
    return pixelsToTwips(m_client->height());
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
    m_client->setUpdatesEnabled(false);
    qvcontrols::Panel *page = picHolder(m_currentPage);
    step([&] { m_body->setGeometry(0, 0, m_client->width(), m_client->height()); });
    step([&] { page->setUpdatesEnabled(false); });
    const int inner = innerWidth();
    const int innerH = innerHeight();
    step([&] { m_panel[0]->Move(0, 0, inner); });
    step([&] { m_panel[1]->Move(0, m_panel[0]->Top() + m_panel[0]->Height(), inner); });
    step([&] { m_navPanel->setTop(m_panel[1]->Top() + m_panel[1]->Height()); });
    step([&] {
        m_imgSplitter->setTop(m_navPanel->Top());
        m_picMain->setTop(m_navPanel->Top());
    });
    step([&] {
        m_panel[2]->setWidth(inner);
        m_panel[2]->setTop(innerH - m_panel[2]->Height());
    });
    step([&] {
        m_imgBtn[2]->setLeft(m_panel[0]->Width() - m_imgBtn[2]->Width() - 780);
        m_imgBtn[1]->setLeft(m_imgBtn[2]->Left() - m_imgBtn[1]->Width() - 285);
        m_imgBtn[0]->setLeft(m_imgBtn[1]->Left() - m_imgBtn[0]->Width() - 285);
    });
    step([&] {
        m_lnklbl[4]->Move(m_panel[1]->Width() - m_lnklbl[4]->Width() - 780, 105);
        m_lnklbl[3]->Move(m_lnklbl[4]->Left() - m_lnklbl[3]->Width() - 200, 105);
        m_lbl[0]->Move(m_lnklbl[3]->Left() - m_lbl[0]->Width() - 200, 90);
        if (!m_lbl[2]->isHidden()) {
            m_lbl[2]->Move(m_lbl[0]->Left() - m_lbl[2]->Width() - 200, 90);
            m_imgBtn[5]->setLeft(m_lbl[2]->Left() - m_imgBtn[5]->Width() - 200);
        } else {
            m_imgBtn[5]->setLeft(m_lbl[0]->Left() - m_imgBtn[5]->Width() - 200);
        }
    });
    step([&] {
        m_picTable->setLeft(15);
        page->setLeft(15);
        m_tabs->setLeft(15);
        m_picTable->setTop(15);
        page->setTop(15);
    });
    step([&] {
        const int room = m_panel[2]->Top() - m_navPanel->Top();
        if (room > 0) {
            m_navPanel->setHeight(room);
            m_picMain->setHeight(m_navPanel->Height());
            m_picTable->setHeight(m_picMain->Height() - 2 * m_picTable->Top() - m_tabs->Height());
            page->setHeight(m_picMain->Height() - 2 * page->Top() - m_tabs->Height());
            m_tabs->setTop(page->Top() + page->Height());
        }
    });
    const bool navShown = !m_navPanel->isHidden();
    step([&] {
        m_picMain->setLeft(navShown ? m_navPanel->Left() + m_navPanel->Width() + 60 : m_navPanel->Left());
        if (inner - m_picMain->Left() > 0)
            m_picMain->setWidth(inner - m_picMain->Left());
    });
    step([&] {
        m_imgSplitter->setHeight(m_navPanel->Height());
        m_imgSplitter->setLeft(m_navPanel->Left() + m_navPanel->Width() + 30);
        m_picSplitter->Move(m_imgSplitter->Left(), m_imgSplitter->Top());
    });
    step([&] {
        m_picRpt->setTop(0);
        m_picRpt->setHeight(m_picTable->Height());
        m_imgSplitterC->setTop(0);
        m_imgSplitterC->setHeight(m_picTable->Height());
        m_picSplitterC->Move(m_imgSplitterC->Left(), m_imgSplitterC->Top());
    });
    // The panel keeps its width: the splitter's place would make it 60
    // wider on every resize.
    SizeControls(navShown ? m_navPanel->Width() : m_navPanel->Left() - m_imgSplitter->Width());
    step([&] {
        const int top = 60;
        m_lnklbl[2]->Move(inner - m_lnklbl[2]->Width() - 300, top);
        m_img[4]->Move(m_lnklbl[2]->Left() - m_img[4]->Width() - 100, top);
        m_lnklbl[1]->Move(m_img[4]->Left() - m_lnklbl[1]->Width() - 500, top);
        m_img[5]->Move(m_lnklbl[1]->Left() - m_img[5]->Width() - 100, top);
        m_lnklbl[0]->Move(m_img[5]->Left() - m_lnklbl[0]->Width() - 500, top);
        m_img[3]->Move(m_lnklbl[0]->Left() - m_img[3]->Width() - 100, top);
        m_lnkMessage->Move(30, top);
    });
    step([&] { page->setUpdatesEnabled(true); });
    m_client->setUpdatesEnabled(true);
}

void frmMain::SizeControls(int x)
{
    const bool navShown = !m_navPanel->isHidden();
    step([&] {
        const int eighth = screenWidthTwips() / 8;
        if (navShown && eighth > x)
            x = eighth;
        if (x > kMaxNavWidth)
            x = kMaxNavWidth;
    });
    m_navPanel->setRedraw(false);
    step([&] {
        if (navShown) {
            m_imgSplitter->setLeft(x);
            m_navPanel->setLeft(30);
            m_navPanel->setWidth(x);
        }
    });
    const int inner = innerWidth();
    step([&] {
        m_picMain->setLeft(x + m_imgSplitter->Width());
        const int w = inner - m_picMain->Left() - 2 * m_navPanel->Left() + 30;
        if (w > 0)
            m_picMain->setWidth(w);
    });
    qvcontrols::Panel *page = picHolder(m_currentPage);
    step([&] {
        m_picTable->setWidth(m_picMain->Width() - 2 * m_picTable->Left());
        page->setWidth(m_picMain->Width() - 2 * page->Left());
        m_tabs->setWidth(m_picMain->Width() - 2 * m_tabs->Left());
        // Until the operator drags its splitter, the report column keeps to
        // the right part of the page.
        if (!m_rptPlaced)
            m_picRpt->setLeft(std::max(2000, m_picTable->Width() - 3600));
        m_picRpt->setWidth(m_picTable->Width() - m_picRpt->Left());
        m_imgSplitterC->setLeft(m_picRpt->Left() - m_imgSplitterC->Width());
        m_picSplitterC->setLeft(m_imgSplitterC->Left());
    });
    step([&] {
        for (auto *b : m_buttons)
            b->setLeft((m_navPanel->Width() - b->Width()) / 2);
    });
    step([&] {
        if (qvcontrols::ControlSite *site = moControl())
            site->Move(0, 0, pixelsToTwips(page->width()), pixelsToTwips(page->height()));
    });
    step([&] {
        for (auto *other : m_pages)
            if (other != page)
                other->Move(page->Left(), page->Top(), page->Width(), page->Height());
        if (!page->isHidden())
            page->raise();
    });
    m_navPanel->setRedraw(true);
}

namespace {
// The drag bar of a splitter shows over it, half its width, while the mouse is down.
void showDragBar(qvcontrols::Panel *bar, const qvcontrols::Panel *splitter)
{
    bar->Move(splitter->Left(), splitter->Top(), splitter->Width() / 2, splitter->Height() - 20);
    bar->show();
    bar->raise();
}

// The drag bar follows the mouse, kept `margin` twips inside 0..width.
void followMouse(qvcontrols::Panel *bar, const qvcontrols::Panel *splitter, int mouseX, int width, int margin)
{
    const int p = splitter->Left() + mouseX;
    bar->setLeft(p < margin ? margin : (p > width - margin ? width - margin : p));
}
} // namespace

void frmMain::SplitterDown()
{
    showDragBar(m_picSplitter, m_imgSplitter);
    m_dragging = true;
}

void frmMain::SplitterMove(int mouseX)
{
    if (m_dragging)
        followMouse(m_picSplitter, m_imgSplitter, mouseX, innerWidth(), 800);
}

void frmMain::SplitterUp()
{
    if (!m_dragging)
        return;
    SizeControls(m_picSplitter->Left());
    m_picSplitter->hide();
    m_dragging = false;
}

void frmMain::ReportSplitterDown()
{
    showDragBar(m_picSplitterC, m_imgSplitterC);
    m_dragging = true;
}

void frmMain::ReportSplitterMove(int mouseX)
{
    if (m_dragging)
        followMouse(m_picSplitterC, m_imgSplitterC, mouseX, m_picMain->Width(), 1000);
}

void frmMain::ReportSplitterUp()
{
    if (!m_dragging)
        return;
    int left = m_picSplitterC->Left();
    const int inner = innerWidth();
    if (left < 2000)
        left = 2000;
    if (left > inner - 1400)
        left = inner - 1400 + m_picTable->Left();
    m_picSplitterC->setLeft(left);
    m_imgSplitterC->setLeft(left);
    m_picRpt->setLeft(m_imgSplitterC->Left() + m_imgSplitterC->Width());
    m_picRpt->setWidth(m_picTable->Width() - m_picRpt->Left());
    m_picSplitterC->hide();
    m_dragging = false;
    m_rptPlaced = true;
}

// ---------------------------------------------------------------- commands

void frmMain::ImgClick(int index)
{
    if (index != 2)
        return;
    step([&] {
        m_navPanel->setVisible(m_navPanel->isHidden());
        if (m_navPanel->isHidden()) {
            m_img[2]->setPicture(m_img[7]->Picture());
            m_picMain->setLeft(m_navPanel->Left());
            SizeControls(m_navPanel->Left() - m_imgSplitter->Width());
        } else {
            m_img[2]->setPicture(m_img[6]->Picture());
            m_picMain->setLeft(m_navPanel->Width() + m_navPanel->Left() + 60);
            SizeControls(m_imgSplitter->Left());
        }
    });
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
        frmEdit::Open(m_session, this, 0, QStringLiteral("预警"), 220, com::Variant(), nullptr, 0);
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

bool frmMain::isLocked() const
{
    return !m_pic[1]->isHidden();
}

void frmMain::LockScreen()
{
    const int w = innerWidth();
    const int h = innerHeight();
    m_pic[2]->Move(0, 0, w, h);
    m_pic[0]->Move(-30, -30, w, h);
    const QPixmap shot = qvcontrols::CaptureWindow(this, true, 0, 0, m_client->width(), m_client->height());
    m_pic[2]->setPicture(shot);
    // The cover: the snapshot laid over the cover's own colour at alpha 25 of 255.
    QPixmap cover(m_client->size());
    cover.fill(m_pic[0]->FaceColor());
    if (!shot.isNull()) {
        QPainter p(&cover);
        p.setOpacity(25.0 / 255.0);
        p.drawPixmap(cover.rect(), shot);
    }
    m_pic[0]->setPicture(cover);
    // Nothing under the cover takes input while it is shown: the form's
    // controls are disabled, so neither Tab nor a click reaches them.
    m_body->setEnabled(false);
    m_pic[2]->show();
    m_pic[0]->show();
    m_pic[0]->raise();
    m_pic[1]->raise();
    m_pic[1]->show();
    m_pic[1]->Move((m_pic[0]->Width() - m_pic[1]->Width()) / 2, (m_pic[0]->Height() - m_pic[1]->Height()) / 2);
    m_txtPassword->setFocus();
}

void frmMain::Unlock()
{
    if (!isLocked())
        return;
    ::CurrentUser *user = m_session.CurrentUser();
    if (!user || !user->Login(m_txtPassword->text())) {
        msgBox(QStringLiteral("请录入正确的用户密码! "), Exclamation, QStringLiteral("提示："));
        m_txtPassword->setFocus();
        return;
    }
    m_pic[2]->setPicture(QPixmap());
    m_pic[0]->setPicture(QPixmap());
    m_pic[1]->hide();
    m_pic[0]->hide();
    m_pic[2]->hide();
    m_body->setEnabled(true);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return QMainWindow::eventFilter(watched, event);
    const int x = pixelsToTwips(qRound(mouse->position().x()));
    if (watched == m_imgSplitter || watched == m_imgSplitterC) {
        const bool nav = watched == m_imgSplitter;
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            nav ? SplitterDown() : ReportSplitterDown();
        else if (event->type() == QEvent::MouseMove)
            nav ? SplitterMove(x) : ReportSplitterMove(x);
        else if (event->type() == QEvent::MouseButtonRelease)
            nav ? SplitterUp() : ReportSplitterUp();
        return false;
    }
    if (watched == m_img[2] && event->type() == QEvent::MouseButtonRelease) {
        ImgClick(2);
        return false;
    }
    if (watched == m_pic[1]) {
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            m_unlockDragging = true;
            m_unlockOrigin = mouse->position().toPoint();
        } else if (event->type() == QEvent::MouseMove && m_unlockDragging) {
            const QPoint delta = mouse->position().toPoint() - m_unlockOrigin;
            m_pic[1]->move(m_pic[1]->pos() + delta);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_unlockDragging = false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- closing

void frmMain::queryUnload()
{
    const QString app = m_session.Config() ? m_session.Config()->Caption() : QString();
    qvcontrols::NavItem *item = m_navPanel->SelectedItem();
    if (!item)
        return;
    SettingsStore::saveSetting(app, QStringLiteral("main"), QStringLiteral("NavPaneActiveItem"), item->Key());
    SettingsStore::saveSetting(app, QStringLiteral("main"), QStringLiteral("NavPaneVisibleItems"),
                               QString::number(m_navPanel->VisibleItems()));
    SettingsStore::saveSetting(app, QStringLiteral("main"), QStringLiteral("_ButTag") + item->Caption(), lastCrumb());
}

void frmMain::unload()
{
    if (m_loaded && m_session.Config())
        SettingsStore::saveSetting(m_session.Config()->Caption(), QStringLiteral("main"),
                                   QStringLiteral("navpanel_width"), QString::number(m_navPanel->Width() - 60));
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
    bool may = true;
    for (const QString &name : m_controls.Names()) {
        if (!name.startsWith(QStringLiteral("edit"), Qt::CaseInsensitive))
            continue;
        // An earlier one may have closed its tab while it asked.
        if (qvcontrols::ControlSite *site = m_controls.Item(name); site && !FunctionControls::QueryClose(site->object())) {
            may = false;
            break;
        }
    }
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
        step([&] { queryUnload(); });
        step([&] { unload(); });
        m_session.Shutdown();
    }
    event->accept();
}

} // namespace jx
