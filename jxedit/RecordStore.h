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
    /// How a write ended: `done` holds the record's key when it is Done,
    /// otherwise the reason it did not happen.
    struct [[nodiscard]] Written
    {
        Outcome outcome;
        jx::Result<int> done;
    };
    /// A stored record and the version it had when it was read.
    struct Record
    {
        QVariantMap values;
        int version = 0;
    };

    /// `user` is written into the history of every change.
    RecordStore(DataLink link, FunctionDefinition definition, QString user);

    jx::Result<Record> load(int id) const;
    /// The record whose code field holds `code` in any letter case; 0 when there is none.
    jx::Result<int> idOfCode(const QString &code) const;
    /// The neighbour of `id` (forward: next higher key); 0 when there is none.
    int neighbour(int id, bool forward) const;

    /// One more write that belongs to a new record (an offer it accepts or
    /// answers), run inside its insert with the new key; a failure refuses the insert.
    using Step = std::function<jx::Result<>(int id, const QVariantMap &values)>;

    /// A code left empty is generated from the definition's pattern (into `values`).
    Written insert(QVariantMap &values, const Step &step = {}) const;
    /// `force` writes over whatever version is stored (the user chose to save his anyway).
    Written update(int id, const QVariantMap &values, int version, bool force) const;
    Written remove(int id, int version) const;

    const ChangeHistory &history() const { return m_history; }
    /// The next code of `pattern` ("FY######", "HTyyyyMMdd###") on `day`.
    jx::Result<QString> nextCode(const QString &pattern, const QDate &day) const;

private:
    /// Why the code in `values` is refused (another record holds it); empty when it is free.
    jx::Result<QString> duplicateCode(const QVariantMap &values, int id) const;
    QString shown(const QString &field, const QVariant &value) const;
    FunctionDefinition m_def;
    DataLink m_link;
    ChangeHistory m_history;
    DealRules m_rules;
};

} // namespace jxedit
