#include "controls/NavContainer.h"

#include "controls/OleColor.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace qvcontrols {

namespace {
constexpr int kBottomMargin = 8;
constexpr int kWheelStep = 40; // pixels per wheel notch
} // namespace

NavContainer::NavContainer(QWidget *parent) : QWidget(parent), TwipsGeometry(this)
{
    setAccessibleName(QStringLiteral("功能菜单"));
    auto *bar = new QScrollBar(Qt::Vertical);
    bar->setObjectName(QStringLiteral("NavContainerScroll"));
    bar->setParent(this);
    m_bar = bar;
    m_bar->setAccessibleName(QStringLiteral("菜单滚动条"));
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->hide();
    connect(m_bar, &QScrollBar::valueChanged, this, &NavContainer::scrollTo);
}

void NavContainer::setBackColor(int32_t ole)
{
    m_backColor = ole;
    update();
}

QList<QWidget *> NavContainer::content() const
{
    QList<QWidget *> shown;
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w != m_bar && !w->isHidden() && !w->isWindow())
            shown.push_back(w);
    }
    std::stable_sort(shown.begin(), shown.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    return shown;
}

int NavContainer::contentHeight() const
{
    // Asked on every move and resize of a child, so a group of hundreds of
    // buttons is laid out in one pass over the children, unsorted.
    int bottom = 0;
    for (QObject *child : children()) {
        if (!child->isWidgetType())
            continue;
        const auto *w = static_cast<const QWidget *>(child);
        if (w != m_bar && !w->isHidden() && !w->isWindow())
            bottom = std::max(bottom, w->geometry().bottom() + 1 + m_offset);
    }
    return bottom > 0 ? bottom + kBottomMargin : 0;
}

int NavContainer::maximumScroll() const
{
    return std::max(0, contentHeight() - height());
}

void NavContainer::scrollTo(int offset)
{
    offset = std::clamp(offset, 0, maximumScroll());
    if (offset != m_offset) {
        const int delta = m_offset - offset;
        m_offset = offset;
        m_shifting = true;
        for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w != m_bar && !w->isWindow())
                w->move(w->x(), w->y() + delta);
        }
        m_shifting = false;
    }
    updateScrollBar();
}

void NavContainer::ensureVisible(const QWidget *child)
{
    if (!child || child->parentWidget() != this || child == m_bar)
        return;
    const int top = child->y() + m_offset;
    const int bottom = top + child->height();
    if (top < m_offset || child->height() > height())
        scrollTo(top);
    else if (bottom > m_offset + height())
        scrollTo(bottom - height());
}

void NavContainer::suspendLayout()
{
    if (m_suspended++ == 0)
        setUpdatesEnabled(false);
}

void NavContainer::resumeLayout()
{
    if (m_suspended == 0 || --m_suspended > 0)
        return;
    setUpdatesEnabled(true);
    updateScrollBar();
}

void NavContainer::updateScrollBar()
{
    if (!m_bar || m_suspended > 0)
        return;
    const int maximum = maximumScroll();
    if (maximum <= 0 && m_offset > 0) {
        scrollTo(0); // the content shrank below the area
        return;
    }
    const QSignalBlocker block(m_bar);
    m_bar->setRange(0, maximum);
    m_bar->setPageStep(std::max(1, height()));
    m_bar->setSingleStep(kWheelStep);
    m_bar->setValue(m_offset);
    const int w = m_bar->sizeHint().width();
    m_bar->setGeometry(width() - w, 0, w, height());
    m_bar->setVisible(maximum > 0);
    m_bar->raise();
}

void NavContainer::focusChild(QWidget *child)
{
    if (!child)
        return;
    ensureVisible(child);
    if (child->focusPolicy() & Qt::TabFocus)
        child->setFocus(Qt::OtherFocusReason);
}

void NavContainer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scrollTo(m_offset);
}

bool NavContainer::scrollByWheel(const QWheelEvent &event)
{
    const int notches = event.angleDelta().y() / 120;
    const int pixels = notches != 0 ? notches * kWheelStep : event.pixelDelta().y();
    if (pixels == 0 || maximumScroll() == 0)
        return false;
    scrollTo(m_offset - pixels);
    return true;
}

void NavContainer::wheelEvent(QWheelEvent *event)
{
    event->setAccepted(scrollByWheel(*event));
}

void NavContainer::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused button leaves alone come here.
    const QList<QWidget *> items = content();
    if (items.isEmpty() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Home:
        scrollTo(0);
        focusChild(items.front());
        return;
    case Qt::Key_End:
        scrollTo(maximumScroll());
        focusChild(items.back());
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // A page further, and the focus onto the button that lands where the
        // focused one was (the nearest one at the ends).
        const bool down = event->key() == Qt::Key_PageDown;
        QWidget *current = focusWidget() && focusWidget()->parentWidget() == this ? focusWidget() : items.front();
        const int target = current->y() + m_offset + (down ? height() : -height());
        scrollTo(m_offset + (down ? height() : -height()));
        QWidget *best = items.front();
        for (QWidget *w : items) {
            if (std::abs(w->y() + m_offset - target) < std::abs(best->y() + m_offset - target))
                best = w;
        }
        focusChild(best);
        return;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

void NavContainer::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    // The scroll bar is made before m_bar is set; it is told apart by name.
    if (event->added() && event->child()->isWidgetType()
        && event->child()->objectName() != QLatin1String("NavContainerScroll"))
        event->child()->installEventFilter(this);
    if (event->removed())
        updateScrollBar();
}

bool NavContainer::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Wheel:
        // Over a button as well: the list scrolls whatever its buttons do with wheels.
        if (scrollByWheel(*static_cast<QWheelEvent *>(event)))
            return true;
        break;
    case QEvent::FocusIn:
        ensureVisible(static_cast<QWidget *>(watched));
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (!m_shifting)
            updateScrollBar();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void NavContainer::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), oleToColor(m_backColor));
}

} // namespace qvcontrols
