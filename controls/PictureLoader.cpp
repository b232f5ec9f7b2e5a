#include "controls/PictureLoader.h"

#include "platform/PathMapper.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>

namespace qvcontrols {

QPixmap PictureLoader::LoadPicture(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    const QString local = jx::toLocalPath(path);
    const QFileInfo file(local);
    if (!file.isFile())
        return {};
    // The same icon is shown by many buttons and diagram nodes: decoded once
    // per file as it stands (Qt's own pixmap cache, as QPixmap::load uses).
    const QString key = QStringLiteral("qvcontrols.picture:%1:%2:%3")
                            .arg(file.absoluteFilePath())
                            .arg(file.size())
                            .arg(file.lastModified().toMSecsSinceEpoch());
    if (QPixmap cached; QPixmapCache::find(key, &cached))
        return cached;
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
    const QPixmap picture = QPixmap::fromImage(best);
    QPixmapCache::insert(key, picture);
    return picture;
}

} // namespace qvcontrols
