#include "console/workspace/MenuIconCache.h"

#include "console/workspace/MenuQueries.h"
#include "console/workspace/bFiles.h"

#include "components/context/AppContext.h"
#include "components/controls/PictureLoader.h"
#include "components/controls/zLibControl.h"
#include "components/data/Database.h"
#include "platform/Numeric.h"
#include "platform/PathMapper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace jx {

bool MenuIconCache::isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(u'\\')
        && !name.contains(QChar(0));
}

QString MenuIconCache::folder() const
{
    QString temp = toLocalPath(m_context.Environment().TempPath());
    while (temp.size() > 1 && temp.endsWith(u'/'))
        temp.chop(1);
    return temp + QStringLiteral("/icon");
}

QPixmap MenuIconCache::LoadMenuIcon(const QString &code, int type)
{
    ::Database *db = m_context.Database();
    if (!db)
        return {};
    Recordset rs = db->Query(MenuQueries::Q3(type, code), 1).Recordset();
    if (rs.Eof()) {
        rs.Close();
        return {};
    }
    const QString name = toText(rs.Fields(QStringLiteral("filename")));
    if (!isPlainFileName(name)) {
        rs.Close();
        return {};
    }
    const QString cache = folder();
    const QString path = QDir(cache).filePath(name);
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(cache);
        const QVariant contents = rs.Fields(QStringLiteral("contents"));
        if (clng(val(toText(rs.Fields(QStringLiteral("iscompress"))))) != 1) {
            SaveFieldToFile(path, contents, true);
        } else {
            const QString tmp = GetTempFileName(QStringLiteral("tmp"));
            if (!tmp.isEmpty()) {
                SaveFieldToFile(tmp, contents, true);
                // The archive control keeps stored names inside the folder it is given.
                m_archive.ExtractArchive(tmp, cache, false, true, false, true, false, true);
                QFile::remove(tmp);
            }
        }
    }
    rs.Close();
    return qvcontrols::PictureLoader::LoadPicture(path);
}

} // namespace jx
