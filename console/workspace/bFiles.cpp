#include "console/workspace/bFiles.h"

#include "platform/TempFiles.h"

#include <QFileInfo>
#include <QSaveFile>

namespace jx {

QString GetTempFileName(const QString &prefix)
{
    return createTempFileName(prefix);
}

bool SaveFieldToFile(const QString &filePath, const QVariant &field, bool overwrite)
{
    if (filePath.isEmpty() || (!overwrite && QFileInfo::exists(filePath)))
        return false;
    const QByteArray bytes = field.typeId() == QMetaType::QByteArray ? field.toByteArray() : field.toString().toUtf8();
    // Written aside and renamed, so a failure never leaves half a file behind.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

QString FileNameFromPath(const QString &path, bool stripExtension)
{
    QString name;
    const qsizetype slash = path.lastIndexOf(u'\\');
    if (slash >= 0)
        name = path.mid(slash + 1);
    else if (path.indexOf(u':') == 1)
        name = path.mid(2);
    else
        name = path;
    if (stripExtension) {
        const qsizetype dot = name.indexOf(u'.');
        if (dot >= 0)
            name = name.left(dot);
    }
    return name;
}

} // namespace jx
