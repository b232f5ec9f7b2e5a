#include "platform/PathMapper.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace jx {

namespace {

// The entry of `folder` equal to `name` ignoring case; the exact spelling
// wins, then the first match in sorted order so the result is stable.
QString matchEntry(const QString &folder, const QString &name)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (!dir.exists())
        return QString();
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

QString toLocalPath(const QString &winPath)
{
    QString text = winPath;
    text.replace(u'\\', u'/');
    bool absolute = false;
    if (text.size() >= 2 && text[1] == u':' && text[0].isLetter() && text[0].unicode() < 128) {
        text = text.mid(2);
        absolute = true;
    }
    if (text.startsWith(u'/'))
        absolute = true;

    const QStringList parts = text.split(u'/', Qt::SkipEmptyParts);
    QString result = absolute ? QStringLiteral("/") : QString();
    bool searching = true;
    for (const QString &part : parts) {
        QString component = part;
        if (searching && part != u"." && part != u"..") {
            const QString candidate = result.isEmpty() ? part
                : (result.endsWith(u'/') ? result + part : result + u'/' + part);
            if (!QFileInfo::exists(candidate)) {
                const QString found = matchEntry(result, part);
                if (found.isEmpty())
                    searching = false;
                else
                    component = found;
            }
        }
        if (!result.isEmpty() && !result.endsWith(u'/'))
            result += u'/';
        result += component;
    }
    return result;
}

bool fileExists(const QString &winPath)
{
    const QString local = toLocalPath(winPath);
    return !local.isEmpty() && QFileInfo(local).isFile();
}

bool dirExists(const QString &winPath)
{
    const QString local = toLocalPath(winPath);
    return !local.isEmpty() && QFileInfo(local).isDir();
}

} // namespace jx
