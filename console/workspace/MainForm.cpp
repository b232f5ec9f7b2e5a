#include "console/workspace/MainForm.h"

#include "console/workspace/MainLayout.h"
#include "console/workspace/PaneCycler.h"
#include "console/workspace/PlacedWidget.h"

#include "console/config/clsConfig.h"

#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/NavContainer.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/PictureLoader.h"
#include "controls/ShadowLabel.h"
#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"
#include "controls/dLinkLabel.h"
#include "components/xml/XmlDocument.h"
#include "platform/Numeric.h"
#include "platform/PathMapper.h"
#include "platform/widgets/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QPainter>

namespace jx {

namespace {

// Design sizes of the form, in twips.
constexpr int kTitleHeight = 1140;
constexpr int kLinkBarHeight = 450;
constexpr int kStatusHeight = 420;
constexpr int kNavDesignWidth = 2700;
constexpr int kSplitterWidth = 60;
constexpr int kTabHeight = 375;

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
    p.end();
    return pixmap;
}

// The navigation toggle's pictures: an arrow pointing where the panel goes.
QPixmap arrowPicture(bool left)
{
    QPixmap arrow(20, 20);
    arrow.fill(Qt::transparent);
    QPainter p(&arrow);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x30, 0x50, 0x80));
    p.setPen(Qt::NoPen);
    if (left)
        p.drawPolygon(QPolygon({QPoint(14, 4), QPoint(6, 10), QPoint(14, 16)}));
    else
        p.drawPolygon(QPolygon({QPoint(6, 4), QPoint(14, 10), QPoint(6, 16)}));
    p.end();
    return arrow;
}

template<typename W>
QRect twipsRect(const W *widget)
{
    return QRect(widget->Left(), widget->Top(), widget->Width(), widget->Height());
}

template<typename W>
void place(W *widget, const QRect &twips)
{
    widget->Move(twips.x(), twips.y(), twips.width(), twips.height());
}

const QString kDefaultWeb = QStringLiteral("http://www.jxsoft.com.cn");
const QString kDefaultSupport = QStringLiteral("技术支持：400-000-0000");
const QString kDefaultMail = QStringLiteral("mailto:support@jxsoft.com.cn");

} // namespace

void MainForm::setupUi(QMainWindow *window, QObject *filter)
{
    client = new QWidget(window);
    window->setCentralWidget(client);
    body = new QWidget(client);
    body->setObjectName(QStringLiteral("Body"));
    panel[0] = placed<qvcontrols::Panel>(body, QStringLiteral("Panel_0"), 0, 0, 12000, kTitleHeight);
    panel[1] = placed<qvcontrols::Panel>(body, QStringLiteral("Panel_1"), 0, kTitleHeight, 12000, kLinkBarHeight);
    panel[2] = placed<qvcontrols::Panel>(body, QStringLiteral("Panel_2"), 0, 8000, 12000, kStatusHeight);
    buildTitleBar();
    buildLinkBar(filter);
    buildStatusBar();
    buildNavigation(filter);
    buildWorkArea(filter);
}

void MainForm::buildTitleBar()
{
    panel[0]->setToolTip(QStringLiteral("按 Ctrl+K 查找并打开任一功能"));
    img[0] = placed<qvcontrols::Panel>(panel[0], QStringLiteral("Img_0"), 120, 120, 900, 900);
    img[1] = placed<qvcontrols::Panel>(panel[0], QStringLiteral("Img_1"), 1140, 240, 4500, 660);
    productName = placed<qvcontrols::ShadowLabel>(panel[0], QStringLiteral("lblProductName_B"), 1140, 330, 6000, 480);
    productName->setCaption(QStringLiteral("应用程序名"));
    productName->hide();
    const QString captions[3] = {QStringLiteral(" 退出系统"), QStringLiteral(" 锁定屏幕"), QStringLiteral(" 系统帮助")};
    for (int i = 0; i < 3; ++i) {
        imgBtn[i] = placed<qvcontrols::Button>(panel[0], QStringLiteral("ImgBtn_%1").arg(i), 6000 + i * 1800, 420, 1500, 420);
        imgBtn[i]->setCaption(captions[i]);
        imgBtn[i]->setIndex(i);
    }
}

void MainForm::buildLinkBar(QObject *filter)
{
    lbl[1] = placed<qvcontrols::ShadowLabel>(panel[1], QStringLiteral("lbl_1"), 480, 90, 6000, 270);
    lbl[1]->setCaption(QStringLiteral("当前位置"));
    lbl[0] = placed<qvcontrols::ShadowLabel>(panel[1], QStringLiteral("lbl_0"), 7000, 90, 2400, 270);
    lbl[0]->setCaption(QStringLiteral("用户名"));
    lbl[2] = placed<qvcontrols::ShadowLabel>(panel[1], QStringLiteral("lbl_2"), 5000, 90, 3000, 270);
    lbl[2]->setCaption(QStringLiteral("当前会计期间"));
    lbl[2]->hide();
    for (int i : {0, 1, 2})
        lbl[i]->setIndex(i);
    imgBtn[5] = placed<qvcontrols::Button>(panel[1], QStringLiteral("ImgBtn_5"), 4000, 45, 1300, 360);
    imgBtn[5]->setCaption(QStringLiteral(" 显示预警"));
    imgBtn[5]->setIndex(5);
    lnklbl[3] = placed<qvcontrols::dLinkLabel>(panel[1], QStringLiteral("lnklbl_3"), 9600, 105, 1100, 270);
    lnklbl[3]->setCaption(QStringLiteral("[修改密码]"));
    lnklbl[4] = placed<qvcontrols::dLinkLabel>(panel[1], QStringLiteral("lnklbl_4"), 10800, 105, 1100, 270);
    lnklbl[4]->setCaption(QStringLiteral("[关于软件]"));
    img[2] = placed<qvcontrols::Panel>(panel[1], QStringLiteral("Img_2"), 90, 75, 300, 300);
    img[6] = placed<qvcontrols::Panel>(panel[1], QStringLiteral("Img_6"), 0, 0, 300, 300);
    img[7] = placed<qvcontrols::Panel>(panel[1], QStringLiteral("Img_7"), 0, 0, 300, 300);
    img[6]->hide();
    img[7]->hide();
    img[6]->setPicture(arrowPicture(true));
    img[7]->setPicture(arrowPicture(false));
    img[2]->setPicture(img[6]->Picture());
    img[2]->setAccessibleName(QStringLiteral("显示或隐藏导航栏"));
    img[2]->setCursor(Qt::PointingHandCursor);
    img[2]->installEventFilter(filter);
}

void MainForm::buildStatusBar()
{
    lnkMessage = placed<qvcontrols::dLinkLabel>(panel[2], QStringLiteral("lnkMessage"), 30, 60, 6000, 300);
    for (int i : {3, 4, 5})
        img[i] = placed<qvcontrols::Panel>(panel[2], QStringLiteral("Img_%1").arg(i), 0, 60, 240, 240);
    lnklbl[0] = placed<qvcontrols::dLinkLabel>(panel[2], QStringLiteral("lnklbl_0"), 6000, 60, 3000, 270);
    lnklbl[1] = placed<qvcontrols::dLinkLabel>(panel[2], QStringLiteral("lnklbl_1"), 7000, 60, 2400, 270);
    lnklbl[2] = placed<qvcontrols::dLinkLabel>(panel[2], QStringLiteral("lnklbl_2"), 8000, 60, 1400, 270);
    lnklbl[2]->setCaption(QStringLiteral("意见与建议"));
    for (int i = 0; i < 5; ++i)
        lnklbl[i]->setIndex(i);
}

void MainForm::buildNavigation(QObject *filter)
{
    navPanel = placed<qvcontrols::NavPanel>(body, QStringLiteral("NavPanel"), 30, kTitleHeight + kLinkBarHeight,
                                              kNavDesignWidth, 6000);
    navContainer = new qvcontrols::NavContainer(navPanel);
    navContainer->setObjectName(QStringLiteral("NavContainer"));
    auto *template0 = placed<qvcontrols::Button2>(navContainer, QStringLiteral("But_0"), 150, -360, 2400, 600);
    template0->setCaption(QStringLiteral("Button21"));
    template0->hide();
    buttons.push_back(template0);

    imgSplitter = placed<qvcontrols::Panel>(body, QStringLiteral("imgSplitter"), kNavDesignWidth + 60,
                                              kTitleHeight + kLinkBarHeight, kSplitterWidth, 6000);
    imgSplitter->setCursor(Qt::SplitHCursor);
    imgSplitter->setAccessibleName(QStringLiteral("导航栏分隔条"));
    imgSplitter->installEventFilter(filter);
    picSplitter = placed<qvcontrols::Panel>(body, QStringLiteral("picSplitter"), 0, 0, kSplitterWidth / 2, 6000);
    picSplitter->setBackColor(0x808080);
    picSplitter->hide();
}

void MainForm::buildWorkArea(QObject *filter)
{
    picMain = placed<qvcontrols::Panel>(body, QStringLiteral("PicMain"), kNavDesignWidth + 120,
                                          kTitleHeight + kLinkBarHeight, 9000, 6000);
    picTable = placed<qvcontrols::Panel>(picMain, QStringLiteral("PicTable"), 15, 15, 9000, 5600);
    picRpt = placed<qvcontrols::Panel>(picTable, QStringLiteral("PicRpt"), 6000, 0, 3000, 5600);
    imgSplitterC = placed<qvcontrols::Panel>(picTable, QStringLiteral("imgSplitter_c"), 6000 - kSplitterWidth, 0,
                                               kSplitterWidth, 5600);
    imgSplitterC->setCursor(Qt::SplitHCursor);
    imgSplitterC->setAccessibleName(QStringLiteral("报表栏分隔条"));
    imgSplitterC->installEventFilter(filter);
    picSplitterC = placed<qvcontrols::Panel>(picTable, QStringLiteral("picSplitter_c"), 0, 0, kSplitterWidth / 2, 5600);
    picSplitterC->setBackColor(0x808080);
    picSplitterC->hide();
    auto *report0 = placed<qvcontrols::Button2>(picRpt, QStringLiteral("ImgRpt_0"), 150, 150, 2700, 420);
    report0->setCaption(QStringLiteral("报表"));
    report0->setPicture(reportPicture());
    report0->hide();
    reports.push_back(report0);

    firstPage = placed<qvcontrols::Panel>(picMain, QStringLiteral("picHolder_0"), 15, 15, 9000, 5600);
    firstPage->hide();
    tabs = placed<qvcontrols::VSTabCtl>(picMain, QStringLiteral("qvVSTab"), 15, 5615, 9000, kTabHeight);
    // Tabs close when their function asks, so none offers a close button.
    tabs->Add(QStringLiteral("导航窗口"), QStringLiteral("key"), true)->setClosable(false);
}

MainFrame MainForm::frame(const qvcontrols::Panel *page, int screenWidth, bool reportPlaced) const
{
    MainFrame f;
    f.innerWidth = pixelsToTwips(client->width());
    f.innerHeight = pixelsToTwips(client->height());
    f.screenWidth = screenWidth;
    f.navShown = !navPanel->isHidden();
    f.periodShown = !lbl[2]->isHidden();
    f.reportPlaced = reportPlaced;
    f.titleBar = twipsRect(panel[0]);
    f.linkBar = twipsRect(panel[1]);
    f.statusBar = twipsRect(panel[2]);
    f.exitButton = twipsRect(imgBtn[0]);
    f.lockButton = twipsRect(imgBtn[1]);
    f.helpButton = twipsRect(imgBtn[2]);
    f.alertButton = twipsRect(imgBtn[5]);
    f.userLabel = twipsRect(lbl[0]);
    f.periodLabel = twipsRect(lbl[2]);
    f.passwordLink = twipsRect(lnklbl[3]);
    f.aboutLink = twipsRect(lnklbl[4]);
    f.webLink = twipsRect(lnklbl[0]);
    f.supportLink = twipsRect(lnklbl[1]);
    f.mailLink = twipsRect(lnklbl[2]);
    f.webIcon = twipsRect(img[3]);
    f.mailIcon = twipsRect(img[4]);
    f.supportIcon = twipsRect(img[5]);
    f.message = twipsRect(lnkMessage);
    f.nav = twipsRect(navPanel);
    f.splitter = twipsRect(imgSplitter);
    f.splitterBar = twipsRect(picSplitter);
    f.work = twipsRect(picMain);
    f.diagram = twipsRect(picTable);
    f.page = twipsRect(page);
    f.tabs = twipsRect(tabs);
    f.reports = twipsRect(picRpt);
    f.reportSplitter = twipsRect(imgSplitterC);
    f.reportSplitterBar = twipsRect(picSplitterC);
    for (const auto *button : buttons)
        f.menuButtons.push_back(twipsRect(button));
    return f;
}

void MainForm::apply(const MainFrame &f, const std::vector<qvcontrols::Panel *> &pages) const
{
    place(panel[0], f.titleBar);
    place(panel[1], f.linkBar);
    place(panel[2], f.statusBar);
    place(imgBtn[0], f.exitButton);
    place(imgBtn[1], f.lockButton);
    place(imgBtn[2], f.helpButton);
    place(imgBtn[5], f.alertButton);
    place(lbl[0], f.userLabel);
    place(lbl[2], f.periodLabel);
    place(lnklbl[3], f.passwordLink);
    place(lnklbl[4], f.aboutLink);
    place(lnklbl[0], f.webLink);
    place(lnklbl[1], f.supportLink);
    place(lnklbl[2], f.mailLink);
    place(img[3], f.webIcon);
    place(img[4], f.mailIcon);
    place(img[5], f.supportIcon);
    place(lnkMessage, f.message);
    place(navPanel, f.nav);
    place(imgSplitter, f.splitter);
    place(picSplitter, f.splitterBar);
    place(picMain, f.work);
    place(picTable, f.diagram);
    place(tabs, f.tabs);
    place(picRpt, f.reports);
    place(imgSplitterC, f.reportSplitter);
    place(picSplitterC, f.reportSplitterBar);
    for (std::size_t i = 0; i < buttons.size() && i < f.menuButtons.size(); ++i)
        place(buttons[i], f.menuButtons[i]);
    // Every page lies where the current one does.
    for (auto *page : pages)
        place(page, f.page);
}

QString MainForm::showPictures(const QStringList &folders, const QString &caption)
{
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
    const auto show = [](qvcontrols::Panel *target, const QString &path) {
        const QPixmap picture = qvcontrols::PictureLoader::LoadPicture(path);
        if (picture.isNull())
            return false;
        target->setPicture(picture);
        target->setWidth(pixelsToTwips(picture.width()));
        target->setHeight(pixelsToTwips(picture.height()));
        return true;
    };
    if (const QString logo = find(QStringLiteral("logo.gif")); !logo.isEmpty())
        show(img[0], logo);
    const QString title = find(QStringLiteral("title.gif"));
    if (title.isEmpty()) {
        productName->setCaption(caption);
        productName->show();
        img[1]->hide();
    } else {
        show(img[1], title);
    }
    return find(QStringLiteral("piclogin.gif"));
}

void MainForm::showLinks(clsConfig *config)
{
    XmlDocument *xml = config ? config->XML() : nullptr;
    const auto node = [xml](const char *path) {
        return xml ? toText(xml->GetValue(QLatin1String(path))) : QString();
    };
    QString web = node("//configuration/system/webhome");
    if (web.isEmpty())
        web = kDefaultWeb;
    const QString subject = config && !config->Subject().isEmpty() ? config->Subject() : QStringLiteral("简衡软件");
    lnklbl[0]->setCaption(subject + QStringLiteral("(") + web + QStringLiteral(")"));
    lnklbl[0]->setLink(web);
    QString support = node("//configuration/system/LxMessage");
    lnklbl[1]->setCaption(support.isEmpty() ? kDefaultSupport : support);
    const QString mail = node("//configuration/system/mailto");
    lnklbl[2]->setLink(mail.isEmpty() ? kDefaultMail : QStringLiteral("mailto:") + mail);
    for (auto *link : lnklbl)
        link->adjustSize();
}

void MainForm::installPaneKeys(QWidget *window, std::function<bool()> covered, std::function<QWidget *()> currentPage) const
{
    // The panes are named, so a screen reader says where F6 went.
    navPanel->setAccessibleName(QStringLiteral("导航栏"));
    picTable->setAccessibleName(QStringLiteral("导航图"));
    picRpt->setAccessibleName(QStringLiteral("报表栏"));
    using Pane = PaneCycler::Pane;
    const auto pane = [covered](QWidget *root, QWidget *excluded = nullptr) { return covered() ? Pane{} : Pane{root, excluded}; };
    new PaneCycler(window, {[this, pane] { return pane(navPanel); },
                            [this, pane, currentPage] {
                                // The diagram page, or the selected function's page.
                                return picTable->isVisible() ? pane(picTable, picRpt) : pane(currentPage());
                            },
                            [this, pane] { return pane(tabs); },
                            [this, pane] { return pane(picRpt); }});
}

} // namespace jx
