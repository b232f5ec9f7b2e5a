#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QImage>

#include <memory>

namespace qvtoolbar {

// A picture object: a bitmap (type 1) or an icon (type 3). Sizes are
// reported in HIMETRIC as picture objects do; the pixels are a QImage.
class QVTOOLBAR_EXPORT StdPicture final
{
public:
    enum Type { Bitmap = 1, Icon = 3 };

    StdPicture(Type type, QImage image);

    Type type() const { return m_type; }
    const QImage &image() const { return m_image; }
    // HIMETRIC extent (1/100 mm) at 96 pixels per inch.
    double widthHimetric() const;
    double heightHimetric() const;

private:
    Type m_type;
    QImage m_image;
};

using PictureRef = std::shared_ptr<StdPicture>;

} // namespace qvtoolbar
