#include "toolbar/control/StdPicture.h"

namespace qvtoolbar {

StdPicture::StdPicture(Type type, QImage image)
    : m_type(type)
    , m_image(std::move(image))
{
}

double StdPicture::widthHimetric() const
{
    return m_image.width() * 2540.0 / 96.0;
}

double StdPicture::heightHimetric() const
{
    return m_image.height() * 2540.0 / 96.0;
}

} // namespace qvtoolbar
