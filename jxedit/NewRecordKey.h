#pragma once

#include <QString>
#include <QVariantMap>

namespace jxedit {

/// The text key that asks a record form for a new record with some fields
/// already given ("new?customerid=12&houseid=40"): another record opens the
/// form with it, as a function window receives any text key. No code of a
/// record can take this form, since codes hold no '?'.
class NewRecordKey
{
public:
    static QString make(const QVariantMap &fields);
    /// False when `key` is not such a key; `fields` then stays empty.
    static bool parse(const QString &key, QVariantMap &fields);
};

} // namespace jxedit
