#pragma once

#include "jxedit/ChangeHistory.h"
#include "jxedit/DataLink.h"

#include <QVariantMap>

namespace jxedit {

/// The rules that hold the records of a deal together: a listing is signed
/// once, a signed listing is sold (or let) and its customer served until the
/// contract is cancelled, and the commissions of a contract never add up to
/// more than its commission. Both steps run inside the transaction of the
/// write they belong to, so a refusal or a failure leaves nothing behind.
class DealRules
{
public:
    DealRules(DataLink link, ChangeHistory history);

    /// Before a write to `table`: false with the reason when it would break a
    /// rule. `before` is empty for a new record, `after` for a delete.
    bool check(const QString &table, int id, const QVariantMap &before, const QVariantMap &after, QString &why) const;
    /// After the write: brings the listings and customers the write touched
    /// into line with their contracts.
    bool apply(const QString &table, int id, const QVariantMap &before, const QVariantMap &after, QString &why) const;

private:
    bool checkContract(int id, const QVariantMap &before, const QVariantMap &after, QString &why) const;
    bool checkCommission(int id, const QVariantMap &after, QString &why) const;
    bool checkListing(int id, const QVariantMap &after, QString &why) const;
    /// Sets a record's status from whether a contract in force names it.
    bool settle(const QString &table, const QString &contractField, const QVariant &id, QString &why) const;

    DataLink m_link;
    ChangeHistory m_history;
};

} // namespace jxedit
