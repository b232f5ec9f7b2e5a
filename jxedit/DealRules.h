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
    bool prepare(const QString &table, QVariantMap &values, QString &why) const;
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
    bool renameDistrict(const QString &from, const QString &to, QString &why) const;
    bool settle(const QString &table, const QString &contractField, const QVariant &id, QString &why) const;

    DataLink m_link;
    ChangeHistory m_history;
    MatchAlerts m_alerts;
};

} // namespace jxedit
