#pragma once

#include "jx_controls_export.h"

#include <QPixmap>
#include <QString>

namespace qvcontrols {

// The one way controls and hosts load pictures from files: GIF, ICO, BMP, PNG
// and JPEG, recognised by their contents rather than their extension. The
// path may be written Windows-style. A missing, empty or broken file gives an
// empty picture.
class JX_CONTROLS_EXPORT PictureLoader final
{
public:
    static QPixmap LoadPicture(const QString &path);
};

} // namespace qvcontrols
