#include "controls/qvPilot_S.h"

#include "controls/CachedLook.h"
#include "controls/NodeNavigator.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace qvcontrols {

qvPilot_S::qvPilot_S(QWidget *parent) : QWidget(parent), TwipsGeometry(this)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void qvPilot_S::setCaption(const QString &caption)
{
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

void qvPilot_S::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void qvPilot_S::setIconSize(int size)
{
    m_iconSize = size <= 0 ? 32 : std::clamp(size, 16, 128);
    update();
}

void qvPilot_S::setRightToLeft(const QVariant &value)
{
    bool on = false;
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed().toLower();
        bool isNumber = false;
        const double n = t.toDouble(&isNumber);
        on = t == QLatin1String("true") || (isNumber && n != 0);
    } else {
        on = value.toBool();
    }
    m_rightToLeft = on;
    setLayoutDirection(on ? Qt::RightToLeft : Qt::LeftToRight);
    update();
}

void qvPilot_S::setTextAlign(int align)
{
    m_textAlign = align >= 0 && align <= 2 ? align : 2;
    update();
}

void qvPilot_S::paintEvent(QPaintEvent *)
{
    // A diagram is built again each time its group is chosen, and laying out
    // a caption costs more than the rest of a node: each look is drawn once,
    // into Qt's pixmap cache, and copied from there.
    const qreal ratio = devicePixelRatioF();
    // One formatting pass: the key is made on every paint.
    const QString key = QString::asprintf("qvcontrols.pilot:%dx%d@%g:%d:%d:%d:%d:%d:%llx:", width(), height(), ratio, m_iconSize,
                                          m_textAlign, int(m_hovered), int(hasFocus()), int(layoutDirection()),
                                          static_cast<unsigned long long>(m_picture.cacheKey()))
        + font().key() + u':' + m_caption;
    paintCachedLook(*this, key, [this](QPainter &painter) { paintLook(painter); });
}

void qvPilot_S::paintLook(QPainter &p) const
{
    // A painter on a pixmap starts with the application's font, not ours.
    p.setFont(font());
    p.setRenderHint(QPainter::Antialiasing);
    if (m_hovered || hasFocus()) {
        p.setPen(QColor(0xE0, 0xA0, 0x30));
        p.setBrush(QColor(0xFF, 0xF0, 0xC8, 200));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    const int icon = std::min({m_iconSize, width(), height()});
    const QRect iconRect((width() - icon) / 2, 2, icon, icon);
    if (!m_picture.isNull())
        p.drawPixmap(iconRect, m_picture);
    else {
        p.setPen(QColor(0x7A, 0x96, 0xC8));
        p.setBrush(QColor(0xD6, 0xE4, 0xF5));
        p.drawRoundedRect(iconRect.adjusted(2, 2, -2, -2), 4, 4);
    }
    int align = Qt::AlignTop | Qt::TextWordWrap;
    align |= m_textAlign == 0 ? Qt::AlignLeft : m_textAlign == 1 ? Qt::AlignRight : Qt::AlignHCenter;
    p.setPen(m_hovered ? QColor(0xB0, 0x40, 0x00) : QColor(0x1E, 0x2E, 0x4A));
    const QRect textRect(2, iconRect.bottom() + 3, width() - 4, height() - iconRect.bottom() - 3);
    p.drawText(QStyle::visualRect(layoutDirection(), rect(), textRect), align, m_caption);
    if (hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(0x1E, 0x2E, 0x4A), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void qvPilot_S::Activate()
{
    emit Click(m_index);
    emit Event(QStringLiteral("Click"), {m_index});
}

void qvPilot_S::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Activate();
    QWidget::mouseReleaseEvent(event);
}

void qvPilot_S::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        Activate();
        return;
    }
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (const auto direction = NodeNavigator::directionOf(event->key())) {
            if (qvPilot_S *next = NodeNavigator::nearest(*this, *direction))
                next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void qvPilot_S::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void qvPilot_S::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QWidget::leaveEvent(event);
}

} // namespace qvcontrols
