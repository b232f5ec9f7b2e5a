#pragma once

#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

class AppContext;

namespace qvcontrols {
class zLibControl;
}

namespace jx {

// The stored icons of navigation groups and menu buttons, written once into
// the folder "icon" below the temporary folder and loaded from there. A
// cached icon is never refreshed.
class MenuIconCache final
{
public:
    MenuIconCache(AppContext &context, qvcontrols::zLibControl &archive) : m_context(context), m_archive(archive) {}

    // The picture of the icon stored for the code, or an empty picture when
    // there is none. A stored file name is only ever a name inside the cache
    // folder: one that holds a folder separator of either kind, or is "." or
    // "..", gets no file. Errors of the query raise to the caller.
    QPixmap LoadMenuIcon(const QString &code, int type = 1);
    // Reads the stored icons of many codes in one statement, for a group of
    // buttons; LoadMenuIcon answers those codes from it until forget(). A
    // failed read leaves LoadMenuIcon asking per code, as it does without.
    void prefetch(const QStringList &codes, int type = 1);
    void forget();
    QString folder() const;
    // True when the stored name may be used as a file name in the cache.
    static bool isPlainFileName(const QString &name);

private:
    QPixmap pictureOf(const QString &name, const QString &compressed, const QVariant &contents);

    struct StoredIcon
    {
        QString filename;
        QString compressed;
        QVariant contents;
    };
    AppContext &m_context;
    // Rows read by prefetch, by menu code; m_prefetchedCodes says which codes
    // were asked for, so a code without a row is known to have no icon.
    QHash<QString, StoredIcon> m_prefetched;
    QSet<QString> m_prefetchedCodes;
    int m_prefetchedType = 0;
    qvcontrols::zLibControl &m_archive;
};

} // namespace jx
