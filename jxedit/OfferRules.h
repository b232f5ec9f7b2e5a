#pragma once

#include "jxedit/ChangeHistory.h"
#include "jxedit/DataLink.h"

#include <QString>
#include <QVariantMap>

namespace jxedit {

/// What an offer's definition cannot say: the unit its amount is in, the
/// chain of counter-offers, and accepting one offer of a listing. The writes
/// run inside the caller's transaction (the counter-offer's or the
/// contract's insert), so a refusal or a failure leaves every offer as it was.
class OfferRules
{
public:
    struct Offer
    {
        int id = 0;
        int houseId = 0;
        int customerId = 0;
        int parentId = 0;
        int version = 0;
        QString agent, side, state, offerDate;
        double amount = 0;
        QString houseCode, dealType;
    };

    static const QString kOpen; // 有效

    OfferRules(DataLink link, ChangeHistory history);

    /// The caption of the amount for a listing's kind of deal: 万元 for a
    /// sale, 元/月 for a letting, both named while none is chosen.
    static QString amountCaption(const QString &dealType);
    /// The side that answers `side`.
    static QString otherSide(const QString &side);

    jx::Result<Offer> read(int id) const;
    /// The listing's kind of deal (出售/出租); empty when there is no such listing.
    jx::Result<QString> dealTypeOf(const QVariant &house) const;

    /// Fails with the reason when `offer` cannot be accepted now: it is no
    /// longer open, or its listing has a contract that is not cancelled.
    jx::Result<> checkAccept(const Offer &offer) const;
    /// The contract `contractId` was written from the offer: the offer is
    /// accepted and names it, every other open offer on the listing is
    /// rejected. Fails (the transaction to be rolled back) when the offer is
    /// no longer open or the contract names another listing or customer.
    jx::Result<> accept(int offerId, int contractId, const QVariantMap &contract) const;
    /// The offer `newId` answers `parentId`: it names it, and the answered one
    /// is countered. Fails when the answered offer is no longer open or the
    /// answer names another listing or customer.
    jx::Result<> counter(int parentId, int newId, const QVariantMap &answer) const;

    /// The offers the chain of `id` holds in order: the first offer, the
    /// answers up to `id`, and the answers given to it since:
    /// id, side, amount, offerdate, state, agent.
    jx::Result<DataLink::Rows> chain(int id) const;

private:
    /// Sets an offer's state (and contract) when it still has `from`; fails
    /// with the reason when it no longer has.
    jx::Result<> setState(const Offer &offer, const QString &to, const QVariant &contractId) const;

    DataLink m_link;
    ChangeHistory m_history;
};

} // namespace jxedit
