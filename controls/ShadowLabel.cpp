#include "controls/ShadowLabel.h"

#include "controls/OleColor.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace qvcontrols {

ShadowLabel::ShadowLabel(QWidget *parent) : QWidget(parent), TwipsGeometry(this) {}

void ShadowLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    setAccessibleName(caption);
    fit();
    update();
}

void ShadowLabel::setForeColor(int32_t ole) { m_foreColor = ole; update(); }
void ShadowLabel::setShadowColor(int32_t ole) { m_shadowColor = ole; update(); }
void ShadowLabel::setAlignment(int alignment) { m_alignment = alignment >= 0 && alignment <= 2 ? alignment : 0; update(); }

void ShadowLabel::setAutoSize(bool on)
{
    m_autoSize = on;
    fit();
}

QSize ShadowLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_caption) + 2, fontMetrics().height() + 2};
}

void ShadowLabel::fit()
{
    if (m_autoSize)
        resize(sizeHint());
}

void ShadowLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fit();
    QWidget::changeEvent(event);
}

void ShadowLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int align = Qt::AlignVCenter | Qt::TextSingleLine
                      | (m_alignment == 1 ? Qt::AlignRight : m_alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
    const QRect r = rect().adjusted(0, 0, -2, -2);
    p.setPen(oleToColor(m_shadowColor));
    p.drawText(r.translated(1, 1), align, m_caption);
    p.setPen(oleToColor(m_foreColor));
    p.drawText(r, align, m_caption);
}

void ShadowLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click(m_index);
        emit Event(QStringLiteral("Click"), {m_index});
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace qvcontrols
