#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"

#include <QVariantMap>

namespace jxedit {

/// Reads and writes one record of a function's table. Values are always
/// bound parameters; each write runs in one transaction; each update and
/// delete names the version the record had when it was read, so a change made
/// meanwhile by another workstation is found instead of overwritten.
class RecordStore
{
public:
    enum class Outcome { Done, Refused, Changed, Failed };

    RecordStore(DataLink link, FunctionDefinition definition);

    bool load(int id, QVariantMap &values, int &version, QString &why) const;
    /// The record whose code field holds `code`; 0 when there is none.
    int idOfCode(const QString &code, QString &why) const;
    /// The neighbour of `id` (forward: next higher key); 0 when there is none.
    int neighbour(int id, bool forward) const;

    Outcome insert(const QVariantMap &values, int &id, QString &why) const;
    /// `force` writes over whatever version is stored (the user chose to save his anyway).
    Outcome update(int id, const QVariantMap &values, int version, bool force, QString &why) const;
    Outcome remove(int id, int version, QString &why) const;

private:
    bool duplicateCode(const QVariantMap &values, int id, QString &why, bool &failed) const;
    FunctionDefinition m_def;
    DataLink m_link;
};

} // namespace jxedit
