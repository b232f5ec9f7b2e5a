#include "controls/NavPanel.h"

#include "platform/com/RuntimeError.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace qvcontrols {

namespace {
constexpr int kHeaderHeight = 26;
constexpr int kLargeHeight = 30;
constexpr int kSmallHeight = 30;
constexpr int kSmallWidth = 30;
} // namespace

NavPanel::NavPanel(QWidget *parent) : QWidget(parent), TwipsGeometry(this)
{
    setMouseTracking(true);
    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("NavPanelHeader"));
    m_header->setIndent(8);
    QFont f = m_header->font();
    f.setBold(true);
    m_header->setFont(f);
    m_header->setAutoFillBackground(true);
    QPalette pal = m_header->palette();
    pal.setColor(QPalette::Window, QColor(0x3C, 0x6E, 0xB4));
    pal.setColor(QPalette::WindowText, Qt::white);
    m_header->setPalette(pal);
}

NavPanel::~NavPanel() = default;

NavItem *NavPanel::Add(const QString &caption, const QString &key, const QPixmap &picture, QWidget *container,
                       bool visible)
{
    if (!key.isEmpty() && Item(key))
        throw com::RuntimeError::of(35602, QStringLiteral("NavPanel"));
    m_items.push_back(std::make_unique<NavItem>(caption, key, picture, container, visible));
    NavItem *item = m_items.back().get();
    item->m_index = Count();
    if (container) {
        container->setParent(this);
        container->hide();
    }
    rebuild();
    return item;
}

NavItem *NavPanel::Item(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_items[static_cast<size_t>(index - 1)].get();
}

NavItem *NavPanel::Item(const QString &key) const
{
    for (const auto &item : m_items) {
        if (item->m_key == key)
            return item.get();
    }
    return nullptr;
}

void NavPanel::Clear()
{
    m_selected = nullptr;
    m_items.clear();
    rebuild();
}

void NavPanel::setSelectedItem(NavItem *item)
{
    const bool ours = item && std::any_of(m_items.begin(), m_items.end(), [item](const auto &i) { return i.get() == item; });
    if (!ours || item == m_selected)
        return;
    m_selected = item;
    rebuild();
    emit SelectionChanged(item);
    emit Event(QStringLiteral("SelectionChanged"), {item->Index(), item->Key()});
}

void NavPanel::setVisibleItems(int count)
{
    m_visibleItems = std::max(0, count);
    rebuild();
}

void NavPanel::setRedraw(bool on)
{
    m_redraw = on;
    setUpdatesEnabled(on);
    if (on && m_dirty)
        rebuild();
}

void NavPanel::rebuild()
{
    if (!m_redraw) {
        m_dirty = true;
        return;
    }
    m_dirty = false;
    // Later: rebuilding may run inside one of these buttons' click.
    for (QToolButton *b : m_large) {
        b->hide();
        b->deleteLater();
    }
    for (QToolButton *b : m_small) {
        b->hide();
        b->deleteLater();
    }
    m_large.clear();
    m_small.clear();
    int shown = 0;
    for (const auto &holder : m_items) {
        NavItem *item = holder.get();
        if (!item->m_visible)
            continue;
        auto *button = new QToolButton(this);
        button->setCheckable(true);
        button->setChecked(item == m_selected);
        button->setAutoRaise(true);
        button->setIcon(QIcon(item->m_picture));
        button->setAccessibleName(item->m_caption);
        button->setToolTip(item->m_caption);
        connect(button, &QToolButton::clicked, this, [this, item, button] {
            if (item == m_selected)
                button->setChecked(true); // a click on the selected group keeps it selected
            else
                setSelectedItem(item);
        });
        if (shown < m_visibleItems) {
            button->setText(item->m_caption);
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setIconSize(QSize(24, 24));
            m_large.push_back(button);
        } else {
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
            button->setIconSize(QSize(16, 16));
            m_small.push_back(button);
        }
        ++shown;
        button->show();
    }
    m_header->setText(m_selected ? m_selected->m_caption : QString());
    // Groups may share one container: it shows when the selected group's it is.
    for (const auto &holder : m_items) {
        if (QWidget *c = holder->m_container)
            c->setVisible(m_selected && m_selected->m_container == c);
    }
    relayout();
    update();
}

int NavPanel::largeTop() const
{
    const int smallRow = m_small.empty() ? 0 : kSmallHeight;
    return height() - smallRow - static_cast<int>(m_large.size()) * kLargeHeight;
}

QRect NavPanel::gripRect() const
{
    return QRect(0, largeTop() - 6, width(), 6);
}

void NavPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && gripRect().contains(event->position().toPoint()))
        m_dragging = true;
    QWidget::mousePressEvent(event);
}

void NavPanel::mouseMoveEvent(QMouseEvent *event)
{
    const int y = event->position().toPoint().y();
    if (m_dragging) {
        int visible = 0;
        for (const auto &item : m_items)
            visible += item->m_visible ? 1 : 0;
        // Buttons that fit between the pointer and the icon row (there is
        // one as long as a group is left over).
        const int room = height() - kSmallHeight - y;
        const int wanted = std::clamp((room + kLargeHeight / 2) / kLargeHeight, 0, visible);
        if (wanted != std::min(m_visibleItems, visible))
            setVisibleItems(wanted);
    }
    setCursor(m_dragging || gripRect().contains(event->position().toPoint()) ? Qt::SizeVerCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void NavPanel::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void NavPanel::relayout()
{
    const int w = width();
    m_header->setGeometry(0, 0, w, kHeaderHeight);
    const int largeTop = this->largeTop();
    for (size_t i = 0; i < m_large.size(); ++i)
        m_large[i]->setGeometry(0, largeTop + static_cast<int>(i) * kLargeHeight, w, kLargeHeight);
    for (size_t i = 0; i < m_small.size(); ++i)
        m_small[i]->setGeometry(w - static_cast<int>(m_small.size() - i) * kSmallWidth, height() - kSmallHeight,
                                kSmallWidth, kSmallHeight);
    if (m_selected && m_selected->m_container)
        m_selected->m_container->setGeometry(0, kHeaderHeight, w, std::max(0, largeTop - kHeaderHeight - 6));
}

void NavPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void NavPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0xE6, 0xF0, 0xFA));
    const int largeTop = this->largeTop();
    // The grip between the content and the group buttons.
    p.fillRect(gripRect(), QColor(0x7A, 0x96, 0xC8));
    p.setPen(QColor(0xD6, 0xE4, 0xF5));
    for (int x = width() / 2 - 12; x <= width() / 2 + 12; x += 6)
        p.drawPoint(x, largeTop - 3);
    p.setPen(QColor(0x9E, 0xB6, 0xDC));
    for (int i = 0; i <= static_cast<int>(m_large.size()); ++i)
        p.drawLine(0, largeTop + i * kLargeHeight, width(), largeTop + i * kLargeHeight);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace qvcontrols
