#pragma once

#include "jxedit/DataLink.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace jxedit {

/// Scores listings against a customer's wishes, and customers against a
/// listing: each criterion the wish names scores in full within its range,
/// part within a tolerance band beyond it, nothing outside it. The database
/// picks the candidates (deal type, status, districts, bounds widened by the
/// band); only what it returns is scored here.
class ListingMatcher
{
public:
    /// How far beyond a price or area bound a listing still earns part of the criterion.
    static constexpr double kTolerance = 0.10;
    /// How many rooms more or fewer than wished still earn part of the criterion.
    static constexpr int kRoomTolerance = 1;
    /// How many of the best matches are read in full to be shown.
    static constexpr qsizetype kShown = 200;

    /// What a customer looks for; 0 in a bound means no bound.
    struct Wish
    {
        QString dealType;
        QStringList districts; // none: any district
        double priceMin = 0, priceMax = 0, areaMin = 0, areaMax = 0;
        int rooms = 0;
        /// Whether the wish names anything to match by (the deal type alone is not enough).
        bool hasCriteria() const;
    };
    /// What a listing offers.
    struct Offer
    {
        QString dealType, district;
        double price = 0, area = 0;
        int rooms = 0;
    };
    struct Score
    {
        int percent = 0; // 0..100
        bool fits = false; // false: excluded (deal type, district, or a criterion outside its band)
        QStringList reasons;
        QString reasonText() const { return reasons.join(QStringLiteral(" · ")); }
    };
    /// One candidate: its key, its score and, for the best ones, the fields to show.
    struct Match
    {
        QVariant key;
        Score score;
        QVector<QVariant> row; // empty beyond the first `shown`
    };

    explicit ListingMatcher(DataLink link);

    static Score score(const Wish &wish, const Offer &offer);
    /// "西湖区、滨江区" (also typed with commas or blanks) as names, each once.
    static QStringList splitDistricts(const QString &text);
    static QString joinDistricts(const QStringList &names);

    /// Every listing on offer that fits `wish`, best first (ties by key); the
    /// first `shown` with their rows: id, code, dealtype, district, community,
    /// rooms, area, price, agent.
    jx::Result<QVector<Match>> listingsFor(const Wish &wish, qsizetype shown = kShown) const;
    /// Every customer still looking whose wishes `offer` fits, best first (ties
    /// by key); the first `shown` with their rows: id, name, phone, dealtype,
    /// districts, pricemin, pricemax, areamin, areamax, rooms, agent.
    jx::Result<QVector<Match>> customersFor(const Offer &offer, qsizetype shown = kShown) const;

    static QStringList listingColumns();
    static QStringList customerColumns();

private:
    /// Reads the rows to show of the first `shown` matches from `table`.
    jx::Result<> readRows(const QString &table, const QStringList &columns, QVector<Match> &matches, qsizetype shown) const;
    DataLink m_link;
};

} // namespace jxedit
