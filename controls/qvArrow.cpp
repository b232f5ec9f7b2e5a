#include "controls/qvArrow.h"

#include "controls/CachedLook.h"
#include "controls/OleColor.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace qvcontrols {

qvArrow::qvArrow(QWidget *parent) : QWidget(parent), TwipsGeometry(this)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void qvArrow::setArrowDirection(int direction)
{
    m_direction = direction >= Right && direction <= Down ? direction : Right;
    update();
}

void qvArrow::setAppearance(int appearance) { m_appearance = appearance == 1 ? 1 : 0; update(); }
void qvArrow::setConstantAlpha(int alpha) { m_alpha = std::clamp(alpha, 0, 255); update(); }
void qvArrow::setBorderStyle(int style) { m_borderStyle = style == 1 ? 1 : 0; update(); }
void qvArrow::setShadowLength(int length) { m_shadowLength = std::clamp(length, 0, 16); update(); }
void qvArrow::setShadowStep(int step) { m_shadowStep = std::clamp(step, 0, 16); update(); }

namespace {

// The arrow pointing right in a w x h box, turned to its direction.
QPainterPath arrowPath(int direction, QSizeF size)
{
    const bool vertical = direction == qvArrow::Up || direction == qvArrow::Down;
    const double len = vertical ? size.height() : size.width();
    const double across = vertical ? size.width() : size.height();
    const double shaft = std::max(2.0, across / 4);
    const double head = std::min(len / 2, across * 0.9);
    const double mid = across / 2;
    QPainterPath path;
    path.moveTo(0, mid - shaft / 2);
    path.lineTo(len - head, mid - shaft / 2);
    path.lineTo(len - head, 0);
    path.lineTo(len, mid);
    path.lineTo(len - head, across);
    path.lineTo(len - head, mid + shaft / 2);
    path.lineTo(0, mid + shaft / 2);
    path.closeSubpath();
    QTransform t;
    switch (direction) {
    case qvArrow::Left: t = QTransform(-1, 0, 0, 1, len, 0); break;
    case qvArrow::Down: t = QTransform(0, 1, 1, 0, 0, 0); break;
    case qvArrow::Up: t = QTransform(0, -1, 1, 0, 0, len); break;
    default: break;
    }
    return t.map(path);
}

} // namespace

void qvArrow::paintEvent(QPaintEvent *)
{
    // A diagram holds many arrows that look alike: each look is drawn once,
    // into Qt's pixmap cache, and copied from there.
    const qreal ratio = devicePixelRatioF();
    // One formatting pass: the key is made on every paint.
    const QString key = QString::asprintf("qvcontrols.arrow:%dx%d@%g:%d:%d:%d:%d:%d:%d:%d:%d", width(), height(), ratio,
                                          m_direction, int(m_foreColor), int(m_backColor), m_alpha, m_appearance,
                                          m_borderStyle, m_shadowLength, m_shadowStep);
    paintCachedLook(*this, key, [this](QPainter &painter) { paintArrow(painter); });
}

void qvArrow::paintArrow(QPainter &p) const
{
    p.setRenderHint(QPainter::Antialiasing);
    if (m_alpha > 0) {
        QColor back = oleToColor(m_backColor);
        back.setAlpha(m_alpha);
        p.fillRect(rect(), back);
    }
    const int shadow = m_shadowLength;
    const QSizeF box(std::max(1, width() - shadow - 1), std::max(1, height() - shadow - 1));
    const QPainterPath path = arrowPath(m_direction, box);
    if (shadow > 0) {
        const int step = m_shadowStep > 0 ? m_shadowStep : shadow;
        for (int d = shadow; d > 0; d -= step) {
            p.fillPath(path.translated(d, d), QColor(0, 0, 0, std::clamp(90 * (shadow - d + step) / shadow / 2, 10, 90)));
        }
    }
    const QColor line = oleToColor(m_foreColor);
    p.fillPath(path, line);
    if (m_appearance == 1) {
        p.setPen(QPen(line.lighter(170), 1));
        p.drawPath(path.translated(-0.5, -0.5));
        p.setPen(QPen(line.darker(170), 1));
        p.drawPath(path.translated(0.5, 0.5));
    }
    if (m_borderStyle == 1) {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

} // namespace qvcontrols
