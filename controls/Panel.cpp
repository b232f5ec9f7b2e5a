#include "controls/Panel.h"

#include "controls/OleColor.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyle>

namespace qvcontrols {

Panel::Panel(QWidget *parent)
    : QFrame(parent), TwipsGeometry(this), m_backColor(static_cast<int32_t>(0x8000000F)),
      m_foreColor(static_cast<int32_t>(0x80000012))
{
    setAttribute(Qt::WA_StyledBackground);
}

void Panel::setAppearance(int appearance)
{
    m_appearance = appearance < 0 || appearance > 2 ? 0 : appearance;
    // Style-sheet rules may select on the appearance: let them set the
    // theme colour afresh.
    m_themeColor = QColor();
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void Panel::setBackColor(int32_t ole)
{
    m_backColor = ole;
    update();
}

void Panel::setForeColor(int32_t ole)
{
    m_foreColor = ole;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, oleToColor(ole));
    setPalette(palette);
}

void Panel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit Resize();
}

void Panel::setThemeColor(const QColor &color)
{
    m_themeColor = color;
    update();
}

QColor Panel::FaceColor() const
{
    return m_themeColor.isValid() ? m_themeColor : oleToColor(m_backColor);
}

void Panel::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void Panel::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QColor back = FaceColor();
    if (m_appearance == 2) {
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, back.lighter(112));
        g.setColorAt(1, back.darker(106));
        p.fillRect(rect(), g);
    } else {
        p.fillRect(rect(), back);
    }
    if (!m_picture.isNull())
        p.drawPixmap(rect(), m_picture);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (m_appearance == 1) {
        p.setPen(back.darker(160));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(back.lighter(150));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    } else if (m_appearance == 2) {
        p.setPen(back.lighter(150));
        p.drawLine(r.topLeft(), r.topRight());
        p.setPen(back.darker(140));
        p.drawLine(r.bottomLeft(), r.bottomRight());
    }
    QFrame::paintEvent(event);
}

} // namespace qvcontrols
