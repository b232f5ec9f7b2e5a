#pragma once

#include "jxedit/DataLink.h"

#include <QString>
#include <QStringList>

namespace jxedit {

/// The searches a user kept for one program, by name (`jx_savedsearch`): the
/// conditions are kept as the search panel's text, read back against the
/// definition as it is when they are chosen again.
class SavedSearches
{
public:
    SavedSearches() = default;
    SavedSearches(const DataLink &link, const QString &user, int progId);

    /// The names, in order.
    bool names(QStringList &out, QString &why) const;
    bool exists(const QString &name, bool &found, QString &why) const;
    /// Keeps the conditions under the name, replacing one of that name.
    bool save(const QString &name, const QString &conditions, QString &why) const;
    /// False with the reason also when there is none of that name.
    bool load(const QString &name, QString &conditions, QString &why) const;
    bool remove(const QString &name, QString &why) const;

    /// A usable name, trimmed; false with the reason.
    static bool checkName(QString &name, QString &why);
    static constexpr int kNameLength = 50;

private:
    DataLink m_link;
    QString m_user;
    int m_progId = 0;
};

} // namespace jxedit
