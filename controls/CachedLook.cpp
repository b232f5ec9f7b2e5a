#include "controls/CachedLook.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QWidget>

namespace qvcontrols {

void paintCachedLook(QWidget &widget, const QString &key, const std::function<void(QPainter &)> &paint)
{
    QPixmap look;
    if (!QPixmapCache::find(key, &look)) {
        const qreal ratio = widget.devicePixelRatioF();
        look = QPixmap(widget.size() * ratio);
        look.setDevicePixelRatio(ratio);
        look.fill(Qt::transparent);
        QPainter painter(&look);
        paint(painter);
        painter.end();
        QPixmapCache::insert(key, look);
    }
    QPainter(&widget).drawPixmap(0, 0, look);
}

} // namespace qvcontrols
