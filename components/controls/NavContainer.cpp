#include "components/controls/NavContainer.h"

#include "components/controls/OleColor.h"

#include <QPainter>

namespace qvcontrols {

NavContainer::NavContainer(QWidget *parent) : QWidget(parent), TwipsGeometry(this) {}

void NavContainer::setBackColor(int32_t ole)
{
    m_backColor = ole;
    update();
}

void NavContainer::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), oleToColor(m_backColor));
}

} // namespace qvcontrols
