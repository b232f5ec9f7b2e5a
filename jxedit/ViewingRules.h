#pragma once

#include "jxedit/ChangeHistory.h"
#include "jxedit/DataLink.h"

#include <QDateTime>
#include <QStringList>
#include <QVariantMap>

namespace jxedit {

/// What a viewing's record needs beyond its columns: before saving, the
/// viewings it clashes with (the same agent or the same listing at an
/// overlapping time) and a listing no longer on the market, for the user to
/// confirm; inside the save's transaction, the customer's follow-up that
/// carries the feedback of a done viewing, written once and kept up to date.
class ViewingRules
{
public:
    static constexpr const char *kTable = "dk_viewing";
    static bool appliesTo(const QString &table) { return table == QLatin1String(kTable); }

    explicit ViewingRules(DataLink link);

    /// The minute of the day an 'HH:mm' text names; -1 when it names none.
    static int minuteOfDay(const QString &time);
    /// Whether the viewing's date and time lie before `now`.
    static bool inThePast(const QVariantMap &viewing, const QDateTime &now);

    /// Warnings about saving `after` as viewing `id` (0 for a new one) over
    /// `before` (empty for a new one); none when neither its time, its
    /// listing nor its agent changed (unless it was cancelled before), or
    /// when it is cancelled.
    /// A failure when the database could not be read.
    jx::Result<QStringList> warnings(int id, const QVariantMap &before, const QVariantMap &after) const;

    /// After viewing `id` was written as `after`, in the same transaction: a
    /// done viewing with feedback or an outcome has one follow-up of its
    /// customer about its listing, added the first time and updated after.
    jx::Result<> writeFollowUp(int id, const QVariantMap &after, const ChangeHistory &history) const;

    /// The follow-up's text for a viewing's outcome and feedback.
    static QString followUpText(const QString &outcome, const QString &feedback);

private:
    // Each adds its warnings to `out`, after those found before.
    jx::Result<> clashes(int id, const QVariantMap &after, QStringList &out) const;
    jx::Result<> offMarket(const QVariantMap &after, QStringList &out) const;

    DataLink m_link;
};

} // namespace jxedit
