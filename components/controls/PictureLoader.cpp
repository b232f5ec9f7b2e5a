#include "components/controls/PictureLoader.h"

#include "platform/PathMapper.h"

#include <QFileInfo>
#include <QImageReader>

namespace qvcontrols {

QPixmap PictureLoader::LoadPicture(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    const QString local = jx::toLocalPath(path);
    if (!QFileInfo(local).isFile())
        return {};
    QImageReader reader(local);
    reader.setDecideFormatFromContent(true);
    // Icons hold several sizes; take the largest.
    QImage best;
    do {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        if (best.isNull() || image.width() * image.height() > best.width() * best.height())
            best = image;
    } while (reader.supportsAnimation() == false && reader.jumpToNextImage());
    if (best.isNull())
        return {};
    return QPixmap::fromImage(best);
}

} // namespace qvcontrols
