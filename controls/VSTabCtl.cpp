#include "controls/VSTabCtl.h"

#include "platform/com/RuntimeError.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace qvcontrols {

namespace {
constexpr int kPad = 12;
constexpr int kClose = 14;
constexpr int kGap = 2;
const QString kSource = QStringLiteral("qvVSTabCtl");
} // namespace

VSTabCtl::VSTabCtl(QWidget *parent) : QWidget(parent), TwipsGeometry(this)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("页签"));
}

VSTabCtl::~VSTabCtl() = default;

VSTab *VSTabCtl::Add(const QString &caption, const QString &key, bool selected)
{
    if (!key.isEmpty() && Tab(key))
        throw com::RuntimeError::of(35602, kSource);
    m_tabs.push_back(std::make_unique<VSTab>(this, caption, key));
    VSTab *tab = m_tabs.back().get();
    layoutTabs();
    notifyAccessible(tab, QAccessible::ObjectCreated);
    if (selected)
        select(tab);
    update();
    return tab;
}

void VSTabCtl::Remove(int index)
{
    if (index < 1 || index > Count())
        throw com::RuntimeError::of(35600, kSource);
    const auto it = m_tabs.begin() + (index - 1);
    if (it->get() == m_selected)
        m_selected = nullptr;
    // Told while the tab still answers for its parent and place.
    notifyAccessible(it->get(), QAccessible::ObjectDestroyed);
    m_tabs.erase(it);
    m_hover = 0;
    Refresh();
}

VSTab *VSTabCtl::Tab(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_tabs[static_cast<size_t>(index - 1)].get();
}

VSTab *VSTabCtl::Tab(const QString &key) const
{
    for (const auto &tab : m_tabs) {
        if (tab->Key() == key)
            return tab.get();
    }
    return nullptr;
}

int VSTabCtl::indexOf(const VSTab *tab) const
{
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs[i].get() == tab)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

void VSTabCtl::select(VSTab *tab)
{
    if (tab == m_selected || (tab && indexOf(tab) == 0))
        return;
    VSTab *left = m_selected;
    m_selected = tab;
    setAccessibleName(tab ? tab->Caption() : QStringLiteral("页签"));
    update();
    if (left)
        notifyAccessible(left, QAccessible::StateChanged);
    if (tab) {
        notifyAccessible(tab, QAccessible::Selection);
        if (hasFocus())
            notifyAccessible(tab, QAccessible::Focus);
    }
    if (left) {
        emit TabLeave(left);
        emit Event(QStringLiteral("TabLeave"), {left->Index(), left->Key()});
    }
    // A leave handler may have removed or reselected; enter only what is still current.
    if (tab && m_selected == tab) {
        emit TabEnter(tab);
        emit Event(QStringLiteral("TabEnter"), {tab->Index(), tab->Key()});
    }
}

void VSTabCtl::activate(VSTab *tab)
{
    select(tab);
}

void VSTabCtl::notifyAccessible(VSTab *tab, QAccessible::Event type)
{
    if (!tab || !QAccessible::isActive())
        return;
    if (type == QAccessible::StateChanged) {
        QAccessible::State changed;
        changed.selected = true;
        changed.focused = true;
        changed.invisible = true;
        QAccessibleStateChangeEvent event(tab->accessible(), changed);
        QAccessible::updateAccessibility(&event);
        return;
    }
    QAccessibleEvent event(tab->accessible(), type);
    QAccessible::updateAccessibility(&event);
}

void VSTabCtl::Refresh()
{
    layoutTabs();
    update();
}

void VSTabCtl::layoutTabs()
{
    m_rects.assign(m_tabs.size(), QRect());
    int x = 4;
    const QFontMetrics fm = fontMetrics();
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        const VSTab &tab = *m_tabs[i];
        if (tab.Hidden())
            continue;
        const int w = fm.horizontalAdvance(tab.Caption()) + 2 * kPad + (tab.Closable() ? kClose + 4 : 0);
        m_rects[i] = QRect(x, 0, w, std::max(0, height() - 3));
        x += w + kGap;
    }
}

QRect VSTabCtl::tabRect(int index) const
{
    if (index < 1 || index > static_cast<int>(m_rects.size()))
        return {};
    return m_rects[static_cast<size_t>(index - 1)];
}

QRect VSTabCtl::closeRect(int index) const
{
    const VSTab *tab = Tab(index);
    const QRect r = tabRect(index);
    if (!tab || !tab->Closable() || r.isEmpty())
        return {};
    return QRect(r.right() - kPad / 2 - kClose, r.center().y() - kClose / 2, kClose, kClose);
}

QSize VSTabCtl::sizeHint() const
{
    return {300, fontMetrics().height() + 12};
}

int VSTabCtl::tabAt(const QPoint &pos) const
{
    for (size_t i = 0; i < m_rects.size(); ++i) {
        if (m_rects[i].contains(pos))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

void VSTabCtl::requestClose(VSTab *tab)
{
    if (!tab || !tab->Closable())
        return;
    emit CloseRequested(tab);
    emit Event(QStringLiteral("CloseRequested"), {tab->Index(), tab->Key()});
}

void VSTabCtl::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int index = tabAt(pos);
    if (index > 0 && event->button() == Qt::LeftButton && !closeRect(index).contains(pos))
        activate(Tab(index));
    QWidget::mousePressEvent(event);
}

void VSTabCtl::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int index = tabAt(pos);
    if (index > 0) {
        if (event->button() == Qt::MiddleButton
            || (event->button() == Qt::LeftButton && closeRect(index).contains(pos)))
            requestClose(Tab(index));
    }
    QWidget::mouseReleaseEvent(event);
}

void VSTabCtl::mouseMoveEvent(QMouseEvent *event)
{
    const int hover = tabAt(event->position().toPoint());
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

VSTab *VSTabCtl::neighbour(int step, bool wrap) const
{
    const int n = Count();
    const int from = m_selected ? indexOf(m_selected) : (step > 0 ? 0 : n + 1);
    for (int k = 1; k <= n; ++k) {
        int i = from + k * step;
        if (i < 1 || i > n) {
            if (!wrap)
                return nullptr;
            i = ((i - 1) % n + n) % n + 1;
        }
        if (i != from && !Tab(i)->Hidden())
            return Tab(i);
    }
    return nullptr;
}

void VSTabCtl::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    int step = 0;
    bool wrap = false;
    if (mods == Qt::NoModifier && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        step = event->key() == Qt::Key_Left ? -1 : 1;
    } else if (mods == Qt::ControlModifier && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown)) {
        step = 1;
        wrap = true;
    } else if ((mods == (Qt::ControlModifier | Qt::ShiftModifier)
                && (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_Tab))
               || (mods == Qt::ControlModifier && event->key() == Qt::Key_PageUp)) {
        step = -1;
        wrap = true;
    }
    if (step != 0) {
        if (VSTab *next = neighbour(step, wrap))
            activate(next);
        return;
    }
    if (event->key() == Qt::Key_W && mods == Qt::ControlModifier) {
        requestClose(m_selected);
        return;
    }
    QWidget::keyPressEvent(event);
}

void VSTabCtl::leaveEvent(QEvent *event)
{
    m_hover = 0;
    update();
    QWidget::leaveEvent(event);
}

void VSTabCtl::paintEvent(QPaintEvent *)
{
    if (m_rects.size() != m_tabs.size())
        layoutTabs();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0xD6, 0xE4, 0xF5));
    p.setPen(QColor(0x7A, 0x96, 0xC8));
    p.drawLine(0, 0, width(), 0);
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        const QRect r = m_rects[i];
        if (r.isEmpty())
            continue;
        const VSTab &tab = *m_tabs[i];
        const bool selected = &tab == m_selected;
        const bool hover = static_cast<int>(i) + 1 == m_hover;
        QPainterPath path;
        const QRectF rf = QRectF(r).adjusted(0.5, 0, -0.5, -0.5);
        path.moveTo(rf.topLeft());
        path.lineTo(rf.left(), rf.bottom() - 4);
        path.quadTo(rf.left(), rf.bottom(), rf.left() + 4, rf.bottom());
        path.lineTo(rf.right() - 4, rf.bottom());
        path.quadTo(rf.right(), rf.bottom(), rf.right(), rf.bottom() - 4);
        path.lineTo(rf.topRight());
        p.setBrush(selected ? QColor(Qt::white) : hover ? QColor(0xFF, 0xE8, 0xA6) : QColor(0xBF, 0xD3, 0xEE));
        p.setPen(QColor(0x7A, 0x96, 0xC8));
        p.drawPath(path);
        QFont f = font();
        f.setBold(selected);
        p.setFont(f);
        p.setPen(QColor(0x1E, 0x2E, 0x4A));
        p.drawText(r.adjusted(kPad, 0, tab.Closable() ? -(kClose + 4 + kPad / 2) : -kPad, 0), Qt::AlignCenter,
                   tab.Caption());
        if (tab.Closable()) {
            // Always there so users find it; darker where the pointer is.
            const QRect c = closeRect(static_cast<int>(i) + 1).adjusted(3, 3, -3, -3);
            p.setPen(QPen(selected || hover ? QColor(0x40, 0x40, 0x40) : QColor(0x90, 0x9C, 0xB0), 1.5));
            p.drawLine(c.topLeft(), c.bottomRight());
            p.drawLine(c.topRight(), c.bottomLeft());
        }
    }
}

} // namespace qvcontrols
