#include "platform/TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace jx {

namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString tempFolder()
{
    const QString &folder = overrideFolder();
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

void setTempFolder(const QString &folder)
{
    QString cleaned = folder;
    while (cleaned.size() > 1 && (cleaned.endsWith(u'/') || cleaned.endsWith(u'\\')))
        cleaned.chop(1);
    overrideFolder() = cleaned;
}

QString createTempFileName(const QString &prefix)
{
    const QDir folder(tempFolder());
    if (!folder.exists())
        return QString();
    // Like the system call: a 16-bit hex number, tried from a random start
    // until a name is free; NewOnly makes creation atomic against races.
    const quint32 start = QRandomGenerator::global()->bounded(0x10000u);
    for (quint32 i = 0; i < 0x10000u; ++i) {
        const quint32 number = ((start + i) & 0xFFFFu);
        if (number == 0)
            continue;
        const QString name = prefix + QString::number(number, 16).toUpper() + QStringLiteral(".tmp");
        const QString path = folder.absoluteFilePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.close();
            return path;
        }
        if (file.error() != QFileDevice::OpenError || QFileInfo::exists(path) == false)
            return QString(); // not a name clash: the folder refuses files
    }
    return QString();
}

} // namespace jx
