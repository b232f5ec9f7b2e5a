#pragma once

#include "jxedit/DataLink.h"

#include <QVariantMap>

namespace jxedit {

/// Tells the agents of waiting customers about a listing that came to fit
/// them: a new listing on offer, or one whose price went down. Each pair of
/// listing and customer is told once (jx_matchalert); the rows are written in
/// the transaction of the listing's save, so a failure takes the save back.
class MatchAlerts
{
public:
    /// The score from which a customer hears of a listing.
    static constexpr int kThreshold = 80;

    explicit MatchAlerts(DataLink link);

    /// After a write to fy_house (`before` empty for a new listing): records
    /// the customers the listing now fits who have not been told of it yet.
    jx::Result<> afterListingWrite(int id, const QVariantMap &before, const QVariantMap &after) const;

private:
    DataLink m_link;
};

} // namespace jxedit
