#include "controls/Button.h"

#include "controls/OleColor.h"

#include <QPainter>

namespace qvcontrols {

Button::Button(QWidget *parent) : ImageButton(parent)
{
    setBackColor(static_cast<int32_t>(0x8000000F));
}

void Button::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (isHovered() || isDown()) {
        QColor hover = oleToColor(HoverColor());
        hover.setAlpha(isDown() ? 200 : 140);
        p.setBrush(hover);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(r, 3, 3);
    }
    if (BorderStyle() == 1) {
        p.setBrush(Qt::NoBrush);
        p.setPen(oleToColor(ForeColor()));
        p.drawRoundedRect(r, 3, 3);
    }
    int x = 4;
    const QPixmap pic = Picture();
    if (!pic.isNull()) {
        const int h = std::min(pic.height(), height() - 4);
        const int w = pic.height() > 0 ? pic.width() * h / pic.height() : 0;
        p.drawPixmap(QRect(x, (height() - h) / 2, w, h), pic);
        x += w + 2;
    }
    p.setPen(oleToColor(ForeColor()));
    p.drawText(QRect(x, 0, width() - x - 2, height()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text());
    if (hasFocus()) {
        p.setPen(QPen(oleToColor(ForeColor()), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

} // namespace qvcontrols
