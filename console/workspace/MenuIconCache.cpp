#include "console/workspace/MenuIconCache.h"

#include "console/workspace/MenuQueries.h"
#include "console/workspace/bFiles.h"

#include "components/context/AppContext.h"
#include "controls/PictureLoader.h"
#include "controls/zLibControl.h"
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
    if (type == m_prefetchedType && m_prefetchedCodes.contains(code)) {
        const auto row = m_prefetched.constFind(code);
        return row == m_prefetched.cend() ? QPixmap() : pictureOf(row->filename, row->compressed, row->contents);
    }
    ::Database *db = m_context.Database();
    if (!db)
        return {};
    Recordset rs = db->Query(MenuQueries::Q3(type, code), 1).Recordset();
    if (rs.Eof()) {
        rs.Close();
        return {};
    }
    const QString name = toText(rs.Fields(QStringLiteral("filename")));
    const QPixmap picture = isPlainFileName(name) ? pictureOf(name, toText(rs.Fields(QStringLiteral("iscompress"))),
                                                              rs.Fields(QStringLiteral("contents")))
                                                  : QPixmap();
    rs.Close();
    return picture;
}

void MenuIconCache::prefetch(const QStringList &codes, int type)
{
    forget();
    ::Database *db = m_context.Database();
    if (!db || codes.isEmpty())
        return;
    QHash<QString, StoredIcon> rows;
    // Bound values, a few hundred to a statement: engines limit how many one takes.
    constexpr qsizetype kChunk = 500;
    for (qsizetype from = 0; from < codes.size(); from += kChunk) {
        const QStringList chunk = codes.mid(from, kChunk);
        QVariantList params{type};
        for (const QString &code : chunk)
            params << code;
        QStringList marks(chunk.size(), QStringLiteral("?"));
        QueryResult result = db->QueryParams(QStringLiteral("SELECT menucode,filename,iscompress,contents FROM xt_menuPilot WHERE type=? and menuCode in (")
                                                 + marks.join(u',') + u')',
                                             params);
        if (!db->LastError().Description().isEmpty()) {
            // Asked again one by one, where the error reaches the caller as before.
            db->ResetError();
            return;
        }
        for (Recordset rs = result.Recordset(); !rs.Eof(); rs.MoveNext()) {
            const QString code = toText(rs.Fields(QStringLiteral("menucode")));
            if (rows.contains(code))
                continue;
            rows.insert(code, {toText(rs.Fields(QStringLiteral("filename"))), toText(rs.Fields(QStringLiteral("iscompress"))),
                               rs.Fields(QStringLiteral("contents"))});
        }
    }
    m_prefetched = std::move(rows);
    m_prefetchedCodes = QSet<QString>(codes.cbegin(), codes.cend());
    m_prefetchedType = type;
}

void MenuIconCache::forget()
{
    m_prefetched.clear();
    m_prefetchedCodes.clear();
    m_prefetchedType = 0;
}

QPixmap MenuIconCache::pictureOf(const QString &name, const QString &compressed, const QVariant &contents)
{
    if (!isPlainFileName(name))
        return {};
    const QString cache = folder();
    const QString path = QDir(cache).filePath(name);
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(cache);
        if (clng(val(compressed)) != 1) {
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
    return qvcontrols::PictureLoader::LoadPicture(path);
}

} // namespace jx
