#pragma once

#include "toolbar/control/StdPicture.h"
#include "toolbar/control/clsToolbarItem.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <memory>

namespace tbtest {

// Pins caption metrics for the lifetime of the object: every caption
// measures width = 5 * characters + 5, height 13 ("OK" gives 15 x 13).
struct PinnedMetrics
{
    PinnedMetrics()
    {
        qvtoolbar::clsToolbarItem::SetTextMeasurer([](const QString &t, const qvtoolbar::StdFont &) {
            return QSize(5 * int(t.size()) + 5, 13);
        });
    }
    ~PinnedMetrics() { qvtoolbar::clsToolbarItem::SetTextMeasurer(nullptr); }
};

inline qvtoolbar::PictureRef solidBitmap(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return std::make_shared<qvtoolbar::StdPicture>(qvtoolbar::StdPicture::Bitmap, img);
}

// RGB of a surface pixel as (r, g, b).
inline QColor px(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

} // namespace tbtest
