#pragma once

#include "jxedit/ChangeHistory.h"
#include "jxedit/DataLink.h"
#include "jxedit/DealRules.h"
#include "jxedit/FunctionDefinition.h"

#include <QDate>
#include <functional>
#include <QVariantMap>

namespace jxedit {

/// Reads and writes one record of a function's table. Values are always
/// bound parameters; each write runs in one transaction together with the
/// deal rules it touches and the history of what it changed; each update and
/// delete names the version the record had when it was read, so a change made
/// meanwhile by another workstation is found instead of overwritten.
class RecordStore
{
public:
    enum class Outcome { Done, Refused, Changed, Failed };

    /// `user` is written into the history of every change.
    RecordStore(DataLink link, FunctionDefinition definition, QString user);

    bool load(int id, QVariantMap &values, int &version, QString &why) const;
    /// The record whose code field holds `code` in any letter case; 0 when there is none.
    int idOfCode(const QString &code, QString &why) const;
    /// The neighbour of `id` (forward: next higher key); 0 when there is none.
    int neighbour(int id, bool forward) const;

    /// One more write that belongs to a new record (an offer it accepts or
    /// answers), run inside its insert with the new key; false refuses the insert.
    using Step = std::function<bool(int id, const QVariantMap &values, QString &why)>;

    /// A code left empty is generated from the definition's pattern (into `values`).
    Outcome insert(QVariantMap &values, int &id, QString &why, const Step &step = {}) const;
    /// `force` writes over whatever version is stored (the user chose to save his anyway).
    Outcome update(int id, const QVariantMap &values, int version, bool force, QString &why) const;
    Outcome remove(int id, int version, QString &why) const;

    const ChangeHistory &history() const { return m_history; }
    /// The next code of `pattern` ("FY######", "HTyyyyMMdd###") on `day`.
    bool nextCode(const QString &pattern, const QDate &day, QString &code, QString &why) const;

private:
    bool duplicateCode(const QVariantMap &values, int id, QString &why, bool &failed) const;
    QString shown(const QString &field, const QVariant &value) const;
    FunctionDefinition m_def;
    DataLink m_link;
    ChangeHistory m_history;
    DealRules m_rules;
};

} // namespace jxedit
