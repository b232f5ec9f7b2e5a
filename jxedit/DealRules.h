#pragma once

#include "jxedit/ChangeHistory.h"
#include "jxedit/DataLink.h"
#include "jxedit/MatchAlerts.h"

#include <QVariantMap>

namespace jxedit {

/// The rules that hold the records of a deal together: a listing is signed
/// once, a signed listing is sold (or let) and its customer served until the
/// contract is cancelled, and the commissions of a contract never add up to
/// more than its commission. A customer's wished districts name districts
/// that exist, and follow a district's new name. A listing that comes to fit
/// waiting customers is told to their agents. Every step runs inside the
/// transaction of the write it belongs to, so a refusal or a failure leaves
/// nothing behind.
class DealRules
{
public:
    DealRules(DataLink link, ChangeHistory history);

    /// Before a write to `table`: puts what the user typed into the form it is
    /// stored in (a customer's districts, and the first of them as his
    /// district); false with the reason when it names what does not exist.
    jx::Result<> prepare(const QString &table, QVariantMap &values) const;
    /// Before a write to `table`: false with the reason when it would break a
    /// rule. `before` is empty for a new record, `after` for a delete.
    jx::Result<> check(const QString &table, int id, const QVariantMap &before, const QVariantMap &after) const;
    /// After the write: brings the listings and customers the write touched
    /// into line with their contracts.
    jx::Result<> apply(const QString &table, int id, const QVariantMap &before, const QVariantMap &after) const;

private:
    jx::Result<> checkContract(int id, const QVariantMap &before, const QVariantMap &after) const;
    jx::Result<> checkCommission(int id, const QVariantMap &after) const;
    jx::Result<> checkListing(int id, const QVariantMap &after) const;
    /// Sets a record's status from whether a contract in force names it.
    jx::Result<> renameDistrict(const QString &from, const QString &to) const;
    jx::Result<> settle(const QString &table, const QString &contractField, const QVariant &id) const;

    DataLink m_link;
    ChangeHistory m_history;
    MatchAlerts m_alerts;
};

} // namespace jxedit
