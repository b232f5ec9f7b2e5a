#include "jxedit/AgendaView.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>

#include <algorithm>

namespace jxedit {

namespace {

constexpr int kHeaderHeight = 34;
constexpr int kHourColumn = 48;
constexpr int kMinHourHeight = 40;

QString clock(int minute)
{
    return QStringLiteral("%1:%2").arg(minute / 60 % 24, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QColor blockColour(const QString &status)
{
    if (status == u"已完成")
        return QColor(0xd8, 0xea, 0xd2);
    return QColor(0xcf, 0xe2, 0xf8); // booked
}

} // namespace

QString AgendaEntry::text() const
{
    QString t = QStringLiteral("%1 %2–%3 客户 %4 · 房源 %5")
                    .arg(day.toString(QStringLiteral("MM-dd")), clock(start), clock(end()), customer, listing);
    if (!agent.isEmpty())
        t += QStringLiteral(" · ") + agent;
    if (!status.isEmpty())
        t += QStringLiteral(" · ") + status;
    return t;
}

AgendaView::AgendaView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("agenda"));
    setAccessibleName(QStringLiteral("带看日程"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AgendaView::setContents(const QDate &first, int days, QVector<AgendaEntry> entries)
{
    m_first = first;
    m_days = qMax(1, days);
    std::stable_sort(entries.begin(), entries.end(), [](const AgendaEntry &a, const AgendaEntry &b) {
        if (a.day != b.day)
            return a.day < b.day;
        if (a.start != b.start)
            return a.start < b.start;
        return a.id < b.id;
    });
    // A refresh keeps the viewing chosen before when it is still shown.
    const int chosen = m_current >= 0 && m_current < m_entries.size() ? m_entries.at(m_current).id : 0;
    m_entries = std::move(entries);
    m_firstHour = 8;
    m_lastHour = 20;
    for (const AgendaEntry &e : m_entries) {
        m_firstHour = qMin(m_firstHour, e.start / 60);
        m_lastHour = qMax(m_lastHour, qMin(23, (e.end() - 1) / 60));
    }
    m_current = m_entries.isEmpty() ? -1 : 0;
    for (int i = 0; chosen > 0 && i < m_entries.size(); ++i)
        if (m_entries.at(i).id == chosen)
            m_current = i;
    updateGeometry();
    m_laidOutFor = QSize();
    layoutBlocks();
    announce();
    update();
}

void AgendaView::setCurrent(int index)
{
    if (index < -1 || index >= m_entries.size() || index == m_current)
        return;
    m_current = index;
    announce();
    update();
    emit currentChanged(index);
}

QRect AgendaView::blockRect(int index) const
{
    layoutBlocks();
    return index >= 0 && index < m_blocks.size() ? m_blocks.at(index) : QRect();
}

int AgendaView::hourHeight() const
{
    const int hours = m_lastHour - m_firstHour + 1;
    return qMax(kMinHourHeight, (height() - kHeaderHeight) / qMax(1, hours));
}

QSize AgendaView::sizeHint() const { return {kHourColumn + m_days * 140, kHeaderHeight + (m_lastHour - m_firstHour + 1) * kMinHourHeight}; }

QSize AgendaView::minimumSizeHint() const
{
    return {kHourColumn + m_days * 60, kHeaderHeight + (m_lastHour - m_firstHour + 1) * kMinHourHeight};
}

void AgendaView::layoutBlocks() const
{
    // A hidden widget is resized without an event, so the size is checked on every use.
    if (m_laidOutFor == size() && m_blocks.size() == m_entries.size())
        return;
    m_laidOutFor = size();
    m_blocks = QVector<QRect>(m_entries.size());
    const int dayWidth = qMax(1, (width() - kHourColumn) / m_days);
    const int perHour = hourHeight();
    // Viewings of a day that overlap share its column side by side, each in
    // the first lane free at its start.
    for (int day = 0; day < m_days; ++day) {
        const QDate date = m_first.addDays(day);
        QVector<int> members;
        for (int i = 0; i < m_entries.size(); ++i)
            if (m_entries.at(i).day == date)
                members << i;
        int from = 0;
        while (from < members.size()) {
            // A cluster: entries joined by overlapping.
            int to = from + 1, clusterEnd = m_entries.at(members.at(from)).end();
            while (to < members.size() && m_entries.at(members.at(to)).start < clusterEnd) {
                clusterEnd = qMax(clusterEnd, m_entries.at(members.at(to)).end());
                ++to;
            }
            QVector<int> laneEnds, lanes;
            for (int k = from; k < to; ++k) {
                const AgendaEntry &e = m_entries.at(members.at(k));
                int lane = 0;
                while (lane < laneEnds.size() && laneEnds.at(lane) > e.start)
                    ++lane;
                if (lane == laneEnds.size())
                    laneEnds << e.end();
                else
                    laneEnds[lane] = e.end();
                lanes << lane;
            }
            const int laneWidth = qMax(1, (dayWidth - 4) / int(laneEnds.size()));
            for (int k = from; k < to; ++k) {
                const AgendaEntry &e = m_entries.at(members.at(k));
                const int top = kHeaderHeight + (e.start - m_firstHour * 60) * perHour / 60;
                const int bottom = kHeaderHeight + (qMin(e.end(), (m_lastHour + 1) * 60) - m_firstHour * 60) * perHour / 60;
                m_blocks[members.at(k)] = QRect(kHourColumn + day * dayWidth + 2 + lanes.at(k - from) * laneWidth, top, laneWidth - 2,
                                                qMax(18, bottom - top - 1));
            }
            from = to;
        }
    }
}

void AgendaView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutBlocks();
    update();
}

void AgendaView::paintEvent(QPaintEvent *)
{
    layoutBlocks();
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const int dayWidth = qMax(1, (width() - kHourColumn) / m_days);
    const int perHour = hourHeight();
    const QDate today = m_today;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    p.setPen(palette().color(QPalette::Mid));
    for (int h = m_firstHour; h <= m_lastHour + 1; ++h) {
        const int y = kHeaderHeight + (h - m_firstHour) * perHour;
        p.drawLine(kHourColumn, y, kHourColumn + dayWidth * m_days, y);
        if (h <= m_lastHour) {
            p.setPen(palette().color(QPalette::Text));
            p.drawText(QRect(0, y, kHourColumn - 6, perHour), Qt::AlignRight | Qt::AlignTop, clock(h * 60));
            p.setPen(palette().color(QPalette::Mid));
        }
    }
    for (int d = 0; d <= m_days; ++d)
        p.drawLine(kHourColumn + d * dayWidth, 0, kHourColumn + d * dayWidth, kHeaderHeight + (m_lastHour - m_firstHour + 1) * perHour);
    QFont bold = font();
    bold.setBold(true);
    for (int d = 0; d < m_days; ++d) {
        const QDate date = m_first.addDays(d);
        const QRect head(kHourColumn + d * dayWidth, 0, dayWidth, kHeaderHeight);
        if (date == today)
            p.fillRect(head.adjusted(1, 1, 0, 0), QColor(0xff, 0xf4, 0xc8));
        p.setPen(palette().color(QPalette::Text));
        p.setFont(date == today ? bold : font());
        p.drawText(head, Qt::AlignCenter, QStringLiteral("%1 %2").arg(chinese.dayName(date.dayOfWeek(), QLocale::ShortFormat),
                                                                       date.toString(QStringLiteral("MM-dd"))));
    }
    p.setFont(font());
    for (int i = 0; i < m_entries.size(); ++i) {
        const QRect r = m_blocks.value(i);
        if (r.isEmpty())
            continue;
        const AgendaEntry &e = m_entries.at(i);
        p.setPen(i == m_current ? QPen(palette().color(QPalette::Highlight), 2) : QPen(QColor(0x6a, 0x8c, 0xb8)));
        p.setBrush(i == m_current ? blockColour(e.status).darker(118) : blockColour(e.status));
        p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 3, 3);
        p.setPen(QColor(0x20, 0x20, 0x20));
        // As many whole lines as the block holds: a line cut in half reads as noise.
        QStringList lines{QStringLiteral("%1 %2").arg(clock(e.start), e.customer), e.listing};
        if (m_showAgent && !e.agent.isEmpty())
            lines << e.agent;
        const int fit = qMax(1, (r.height() - 4) / qMax(1, fontMetrics().lineSpacing()));
        const QRect inner = r.adjusted(4, 2, -3, -2);
        QStringList shown;
        for (const QString &line : lines.mid(0, fit))
            shown << fontMetrics().elidedText(line, Qt::ElideRight, inner.width());
        p.drawText(inner, Qt::AlignLeft | Qt::AlignTop, shown.join(u'\n'));
    }
    if (m_entries.isEmpty()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect().adjusted(kHourColumn, kHeaderHeight, 0, 0), Qt::AlignCenter, QStringLiteral("这段时间没有带看"));
    }
    if (hasFocus() && m_current < 0) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void AgendaView::keyPressEvent(QKeyEvent *event)
{
    const int count = int(m_entries.size());
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (count)
            setCurrent(qMin(count - 1, m_current + 1));
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (count)
            setCurrent(qMax(0, m_current - 1));
        return;
    case Qt::Key_Home:
        if (count)
            setCurrent(0);
        return;
    case Qt::Key_End:
        if (count)
            setCurrent(count - 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current >= 0)
            emit opened(m_entries.at(m_current).id);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

int AgendaView::indexAt(const QPoint &at) const
{
    layoutBlocks();
    for (int i = 0; i < m_blocks.size(); ++i)
        if (m_blocks.at(i).contains(at))
            return i;
    return -1;
}

void AgendaView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (const int i = indexAt(event->position().toPoint()); i >= 0)
        setCurrent(i);
}

void AgendaView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (const int i = indexAt(event->position().toPoint()); i >= 0) {
        setCurrent(i);
        emit opened(m_entries.at(i).id);
    }
}

void AgendaView::announce()
{
    setAccessibleDescription(m_current >= 0 ? m_entries.at(m_current).text()
                                            : QStringLiteral("这段时间没有带看"));
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace jxedit
