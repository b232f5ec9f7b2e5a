#include "console/workspace/bFiles.h"

#include "platform/AnsiCodec.h"
#include "platform/TempFiles.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace jx {

QString GetTempFileName(const QString &prefix)
{
    return createTempFileName(prefix);
}

namespace {

// A field's stored bytes. A binary column arrives as bytes and is written as
// it is. A text column arrives as a string: one holding only code units up to
// 0xFF carries the bytes of the old system's single-byte strings and is
// written back unit for unit; one holding wider characters was decoded from
// the product's code page (GBK), which is what the diagram files declare and
// the XML reader converts from, so it goes back into that code page (UTF-8
// would be read as GBK and turn every Chinese text to garbage).
QByteArray fieldBytes(const QVariant &field)
{
    if (field.typeId() == QMetaType::QByteArray)
        return field.toByteArray();
    const QString text = field.toString();
    const bool singleByte = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
    return singleByte ? text.toLatin1() : toAnsi(text);
}

} // namespace

bool SaveFieldToFile(const QString &filePath, const QVariant &field, bool overwrite)
{
    // A Null field is no contents: an empty file would pass for a cached copy and never be renewed.
    if (!field.isValid() || field.isNull())
        return false;
    if (filePath.isEmpty() || (!overwrite && QFileInfo::exists(filePath)))
        return false;
    const QByteArray bytes = fieldBytes(field);
    // Written aside and renamed, so a failure never leaves half a file behind.
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
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
