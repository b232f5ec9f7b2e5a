#include "GalleryWindow.h"

#include "controls/Button.h"
#include "controls/NavContainer.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/ShadowLabel.h"
#include "controls/StatusBar.h"
#include "controls/VSTabCtl.h"
#include "controls/dLinkLabel.h"
#include "controls/qvArrow.h"
#include "controls/qvPilot_S.h"

#include <QPainter>

using namespace qvcontrols;

namespace {

// A drawn icon: a rounded tile in `color` with one character on it.
QPixmap icon(const QColor &color, const QString &glyph, int size)
{
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(color.darker(140));
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 5.0, size / 5.0);
    QFont f = p.font();
    f.setPixelSize(size * 3 / 5);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(pix.rect(), Qt::AlignCenter, glyph);
    return pix;
}

struct Group
{
    const char *caption;
    const char *key;
    QColor color;
    QStringList menus;
};

const std::vector<Group> &groups()
{
    static const std::vector<Group> g = {
        {"房源管理", "01", QColor(0x2E, 0x7D, 0x32), {QStringLiteral("房源登记"), QStringLiteral("房源查询"), QStringLiteral("带看记录"), QStringLiteral("房源报表")}},
        {"客户管理", "02", QColor(0x15, 0x65, 0xC0), {QStringLiteral("客户登记"), QStringLiteral("客户查询"), QStringLiteral("回访记录")}},
        {"交易管理", "03", QColor(0xEF, 0x6C, 0x00), {QStringLiteral("合同登记"), QStringLiteral("收款登记")}},
        {"辅助工具", "04", QColor(0x6A, 0x1B, 0x9A), {QStringLiteral("房贷计算器"), QStringLiteral("税费计算器")}},
        {"系统管理", "09", QColor(0x54, 0x6E, 0x7A), {QStringLiteral("用户管理"), QStringLiteral("插件管理")}},
    };
    return g;
}

} // namespace

GalleryWindow::GalleryWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("controls-gallery"));
    resize(1100, 720);
    const int w = width();
    const int h = height();

    // Title bar.
    auto *title = new Panel(this);
    title->setAppearance(2);
    title->setBackColor(0xB4783C);
    title->setGeometry(0, 0, w, 56);
    auto *product = new ShadowLabel(title);
    QFont big = product->font();
    big.setPixelSize(22);
    big.setBold(true);
    product->setFont(big);
    product->setForeColor(0xFFFFFF);
    product->setShadowColor(0x502810);
    product->setCaption(QStringLiteral("简衡房产中介管理系统"));
    product->move(60, 14);
    {
        auto *l = new Button(title);
        l->setPicture(icon(QColor(0xF9, 0xA8, 0x25), QStringLiteral("简"), 36));
        l->setGeometry(14, 10, 40, 36);
        l->setAccessibleName(QStringLiteral("标志"));
    }
    int x = w - 20;
    const QStringList captions = {QStringLiteral(" 系统帮助"), QStringLiteral(" 锁定屏幕"), QStringLiteral(" 退出系统")};
    const QStringList glyphs = {QStringLiteral("?"), QStringLiteral("锁"), QStringLiteral("×")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *b = new Button(title);
        b->setCaption(captions[i]);
        b->setForeColor(0xFFFFFF);
        b->setPicture(icon(QColor(0xFF, 0xFF, 0xFF, 70), glyphs[i], 20));
        b->resize(b->sizeHint().width() + 8, 30);
        x -= b->width() + 16;
        b->move(x, 13);
    }

    // Link bar.
    auto *links = new Panel(this);
    links->setBackColor(0xF5E6D6);
    links->setGeometry(0, 56, w, 28);
    m_where = new ShadowLabel(links);
    m_where->setShadowColor(0xF5E6D6);
    m_where->move(40, 6);
    auto *toggle = new Button(links);
    toggle->setPicture(icon(QColor(0x3C, 0x6E, 0xB4), QStringLiteral("‹"), 16));
    toggle->setGeometry(10, 4, 24, 20);
    toggle->setAccessibleName(QStringLiteral("导航面板"));
    auto *about = new dLinkLabel(links);
    about->setCaption(QStringLiteral("[关于软件]"));
    about->move(w - about->width() - 52, 7);
    auto *password = new dLinkLabel(links);
    password->setCaption(QStringLiteral("[修改密码]"));
    password->move(about->x() - password->width() - 14, 7);
    auto *user = new ShadowLabel(links);
    user->setShadowColor(0xF5E6D6);
    user->setCaption(QStringLiteral("登录用户名：admin"));
    user->move(password->x() - user->width() - 14, 6);
    auto *period = new ShadowLabel(links);
    period->setShadowColor(0xF5E6D6);
    period->setForeColor(0x0000A0);
    period->setCaption(QStringLiteral("当前会计期间：2026年12月"));
    period->move(user->x() - period->width() - 14, 6);
    auto *alert = new Button(links);
    alert->setCaption(QStringLiteral(" 显示预警"));
    alert->setPicture(icon(QColor(0xE5, 0x39, 0x35), QStringLiteral("!"), 16));
    alert->resize(alert->sizeHint().width() + 6, 22);
    alert->move(period->x() - alert->width() - 14, 3);

    // Status bar of the main window: prompt line and three links.
    auto *statusPanel = new Panel(this);
    statusPanel->setAppearance(2);
    statusPanel->setBackColor(0xF5E6D6);
    statusPanel->setGeometry(0, h - 26, w, 26);
    auto *prompt = new dLinkLabel(statusPanel);
    prompt->setForeColor(0x000000);
    prompt->setCaption(QStringLiteral("Ready..."));
    prompt->move(8, 5);
    auto *mail = new dLinkLabel(statusPanel);
    mail->setCaption(QStringLiteral("意见与建议"));
    mail->setLink(QStringLiteral("mailto:support@example.com"));
    mail->move(w - mail->width() - 20, 5);
    auto *support = new dLinkLabel(statusPanel);
    support->setForeColor(0x404040);
    support->setCaption(QStringLiteral("技术支持：0571-88880000"));
    support->move(mail->x() - support->width() - 30, 5);
    auto *web = new dLinkLabel(statusPanel);
    web->setCaption(QStringLiteral("简衡软件(http://www.example.com/)"));
    web->setLink(QStringLiteral("http://www.example.com/"));
    web->move(support->x() - web->width() - 30, 5);

    // Navigation panel with its container and menu buttons.
    const int top = 88;
    const int bottom = h - 30;
    m_nav = new NavPanel(this);
    m_nav->setGeometry(4, top, 210, bottom - top);
    auto *container = new NavContainer(m_nav);
    auto *template0 = new Button2(container);
    template0->setCaption(QStringLiteral("Button21"));
    template0->Move(150, -600, 2850, 480); // the design element stays out of sight
    m_buttons = std::make_unique<ControlArray<Button2>>(template0);
    m_nav->setRedraw(false);
    for (const Group &g : groups())
        m_nav->Add(QString::fromUtf8(g.caption), QString::fromLatin1(g.key), icon(g.color, QString::fromUtf8(g.caption).left(1), 24), container, true);
    m_nav->setRedraw(true);
    connect(m_nav, &NavPanel::SelectionChanged, this, [this](NavItem *item) { buildMenuButtons(item->Index() - 1); });
    m_nav->setSelectedItem(m_nav->Item(QStringLiteral("01")));
    m_nav->setVisibleItems(3);

    // Work area: the diagram page with its report column, and the tab strip.
    auto *work = new Panel(this);
    work->setAppearance(1);
    work->setBackColor(0xFFFFFF);
    work->setGeometry(218, top, w - 222, bottom - top);
    auto *tabs = new VSTabCtl(work);
    tabs->setGeometry(1, work->height() - 27, work->width() - 2, 26);
    tabs->Add(QStringLiteral("导航窗口"), QStringLiteral("key"))->setClosable(false);
    tabs->Add(QStringLiteral("房源登记"), QStringLiteral("0101-1"));
    tabs->Add(QStringLiteral("客户查询"), QStringLiteral("0202-2"));
    tabs->Add(QStringLiteral("房贷计算器"), QStringLiteral("0401-3"), true);
    tabs->Tab(1)->setSelected(true);

    // The diagram: nodes placed as a diagram file places them (57 twips a unit).
    struct Node { const char *caption; int left, top; QColor color; int align; };
    const Node nodes[] = {
        {"房源登记", 10, 5, QColor(0x2E, 0x7D, 0x32), 2}, {"实地勘察", 50, 5, QColor(0x00, 0x83, 0x8F), 2},
        {"发布房源", 90, 5, QColor(0x15, 0x65, 0xC0), 2}, {"带看记录", 90, 50, QColor(0xEF, 0x6C, 0x00), 2},
        {"房源报表", 50, 50, QColor(0x6A, 0x1B, 0x9A), 0}, {"签约成交", 10, 50, QColor(0xC6, 0x28, 0x28), 1},
    };
    int index = 1;
    for (const Node &n : nodes) {
        auto *node = new qvPilot_S(work);
        node->setIndex(index++);
        node->setCaption(QString::fromUtf8(n.caption));
        node->Move(57 * n.left + 1000, 57 * n.top + 1500, 57 * 18, 57 * 20);
        node->setIconSize(40);
        node->setTextAlign(n.align);
        node->setPicture(icon(n.color, QString::fromUtf8(n.caption).left(1), 40));
        node->show();
    }
    struct Arrow { int left, top, width, height, direction, appearance, shadow, step, alpha; int32_t color; };
    const Arrow arrows[] = {
        {30, 10, 18, 6, qvArrow::Right, 1, 3, 1, 0, 0x2E7D32},
        {70, 10, 18, 6, qvArrow::Right, 0, 0, 0, 0, 0xC06515},
        {97, 27, 6, 20, qvArrow::Down, 1, 4, 2, 0, 0x006CEF},
        {70, 55, 18, 6, qvArrow::Left, 0, 2, 1, 60, 0x9A1B6A},
        {30, 55, 18, 6, qvArrow::Left, 1, 3, 3, 0, 0x2828C6},
        {17, 27, 6, 20, qvArrow::Up, 0, 0, 0, 0, 0x7A6E54},
    };
    for (const Arrow &a : arrows) {
        auto *arrow = new qvArrow(work);
        arrow->Move(57 * a.left + 1000, 57 * a.top + 1500, 57 * a.width, 57 * a.height);
        arrow->setForeColor(a.color);
        arrow->setArrowDirection(a.direction);
        arrow->setAppearance(a.appearance);
        arrow->setBackColor(0xF0E0D0);
        arrow->setConstantAlpha(a.alpha);
        arrow->setShadowLength(a.shadow);
        arrow->setShadowStep(a.step);
        arrow->setBorderStyle(a.alpha > 0 ? 1 : 0);
        arrow->show();
    }

    // Report column.
    auto *reports = new Panel(work);
    reports->setBackColor(0xFAF0E6);
    reports->setGeometry(work->width() - 190, 1, 189, tabs->y() - 2);
    const QStringList reportNames = {QStringLiteral("房源统计表"), QStringLiteral("带看汇总表"), QStringLiteral("成交明细表")};
    for (int i = 0; i < reportNames.size(); ++i) {
        auto *r = new Button2(reports);
        r->setCaption(QStringLiteral("  ") + reportNames[i] + QStringLiteral("  "));
        r->setPicture(icon(QColor(0x45, 0x5A, 0x64), QStringLiteral("表"), 20));
        r->Move(150, 300 + i * (450 + 50), 2400, 450);
    }

    // The function window's status bar, shown at the top of the work area.
    m_status = new StatusBar(work);
    m_status->setGeometry(8, tabs->y() - 34, reports->x() - 16, 24);
    m_status->Add(QStringLiteral("msg"), QStringLiteral("Ready..."));
    m_status->Add(QStringLiteral("period"), QStringLiteral("会计期间：12"), 1800);
    m_status->Add(QStringLiteral("date"), QStringLiteral("2026-12-09"), 1500);
    m_status->Add(QStringLiteral("user"), QStringLiteral("admin"), 1200);
}

GalleryWindow::~GalleryWindow() = default;

void GalleryWindow::buildMenuButtons(int group)
{
    m_buttons->UnloadAll();
    const Group &g = groups().at(static_cast<size_t>(group));
    for (int i = 0; i < g.menus.size(); ++i) {
        Button2 *previous = m_buttons->Item(i);
        Button2 *b = m_buttons->Load(i + 1);
        b->setCaption(QStringLiteral("  ") + g.menus[i]);
        b->Move(previous->Left(), previous->Top() + previous->Height() + 120, previous->Width(), previous->Height());
        b->CopyAppearance(*previous);
        b->setTag(QStringLiteral("%1%2").arg(QString::fromLatin1(g.key)).arg(i + 1, 2, 10, QLatin1Char('0')));
        b->setPicture(icon(g.color, g.menus[i].left(1), 24));
        b->show();
    }
    m_where->setCaption(QStringLiteral("当前位置：") + QString::fromUtf8(g.caption) + QStringLiteral(" -> ") + g.menus.value(0));
}
