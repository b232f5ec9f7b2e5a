#pragma once

#include <QPixmap>
#include <QString>

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
    QString folder() const;
    // True when the stored name may be used as a file name in the cache.
    static bool isPlainFileName(const QString &name);

private:
    AppContext &m_context;
    qvcontrols::zLibControl &m_archive;
};

} // namespace jx
