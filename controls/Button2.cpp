#include "controls/Button2.h"

#include "controls/OleColor.h"

#include <QLinearGradient>
#include <QPainter>

namespace qvcontrols {

Button2::Button2(QWidget *parent) : ImageButton(parent)
{
    setBackColor(0xF5E6D6); // light blue face, as the blue theme's buttons
    setForeColor(0x402000);
    setBorderStyle(1);
    setCheckable(false);
}

void Button2::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor face = (isHovered() || isDown()) ? oleToColor(HoverColor()) : oleToColor(BackColor());
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, face.lighter(isDown() ? 100 : 115));
    g.setColorAt(1, face.darker(isDown() ? 115 : 104));
    p.setBrush(g);
    p.setPen(BorderStyle() == 1 ? QPen(oleToColor(ForeColor()).lighter(250)) : QPen(Qt::NoPen));
    p.drawRoundedRect(r, 4, 4);

    int x = 8;
    const QPixmap pic = Picture();
    if (!pic.isNull()) {
        const int h = std::min({pic.height(), height() - 6, 32});
        const int w = pic.height() > 0 ? pic.width() * h / pic.height() : 0;
        p.drawPixmap(QRect(x, (height() - h) / 2, w, h), pic);
        x += w + 6;
    }
    p.setPen(oleToColor(ForeColor()));
    p.drawText(QRect(x, 0, width() - x - 4, height()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               text());
    if (hasFocus()) {
        p.setPen(QPen(oleToColor(ForeColor()), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 3, 3);
    }
}

} // namespace qvcontrols
