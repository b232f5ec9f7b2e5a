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
    jx::Result<QStringList> names() const;
    /// Whether one of that name is kept.
    jx::Result<bool> exists(const QString &name) const;
    /// Keeps the conditions under the name, replacing one of that name.
    jx::Result<> save(const QString &name, const QString &conditions) const;
    /// The conditions kept under the name; a failure also when there is none of that name.
    jx::Result<QString> load(const QString &name) const;
    jx::Result<> remove(const QString &name) const;

    /// The name trimmed, when it is usable.
    static jx::Result<QString> checkName(const QString &name);
    static constexpr int kNameLength = 50;

private:
    DataLink m_link;
    QString m_user;
    int m_progId = 0;
};

} // namespace jxedit
