#include "jxedit/ListingMatcher.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace jxedit {

namespace {

// What each criterion weighs in the score; one the wish leaves open weighs nothing.
constexpr int kPriceWeight = 40;
constexpr int kAreaWeight = 25;
constexpr int kRoomsWeight = 15;
constexpr int kDistrictWeight = 20;
// Within the band a criterion earns between all and half of its weight, less the farther out.
constexpr double kBandFloor = 0.5;
// The database's bounds are a hair wider than the band, so rounding never loses a candidate there.
constexpr double kSlack = 1e-6;

const QString kSeparator = QStringLiteral("、");

QString percent(double deviation) { return QStringLiteral("%1%").arg(qMax(1, qRound(deviation * 100))); }

// Where `value` lies against [low, high] (0: no bound): 0 inside, otherwise the
// relative distance beyond the nearer bound, negative below the low one.
double deviation(double value, double low, double high)
{
    if (high > 0 && value > high)
        return (value - high) / high;
    if (low > 0 && value < low)
        return -(low - value) / low;
    return 0;
}

bool withinBand(double dev) { return std::abs(dev) <= ListingMatcher::kTolerance + 1e-9; }
double bandShare(double dev) { return 1.0 - (1.0 - kBandFloor) * std::abs(dev) / ListingMatcher::kTolerance; }

QString roomsText(int difference)
{
    static const QStringList numbers = {QString(), QStringLiteral("一"), QStringLiteral("两"), QStringLiteral("三")};
    const int n = std::abs(difference);
    const QString count = n < numbers.size() ? numbers.at(n) : QString::number(n);
    return (difference < 0 ? QStringLiteral("少") : QStringLiteral("多")) + count + QStringLiteral("室");
}

// Candidates are read with the fields they are scored by only (all of them
// in the matching index, so the database need not visit the table); the
// fields shown are read afterwards for the best ones.
const QString kWishFields = QStringLiteral("id,districts,pricemin,pricemax,areamin,areamax,rooms");
const QString kOfferFields = QStringLiteral("id,district,rooms,area,price");

ListingMatcher::Wish wishOf(const QString &dealType, const QVector<QVariant> &row)
{
    ListingMatcher::Wish w;
    w.dealType = dealType;
    w.districts = ListingMatcher::splitDistricts(row.value(1).toString());
    w.priceMin = row.value(2).toDouble();
    w.priceMax = row.value(3).toDouble();
    w.areaMin = row.value(4).toDouble();
    w.areaMax = row.value(5).toDouble();
    w.rooms = row.value(6).toInt();
    return w;
}

ListingMatcher::Offer offerOf(const QString &dealType, const QVector<QVariant> &row)
{
    ListingMatcher::Offer o;
    o.dealType = dealType;
    o.district = row.value(1).toString();
    o.rooms = row.value(2).toInt();
    o.area = row.value(3).toDouble();
    o.price = row.value(4).toDouble();
    return o;
}

void bestFirst(QVector<ListingMatcher::Match> &matches)
{
    std::sort(matches.begin(), matches.end(), [](const ListingMatcher::Match &a, const ListingMatcher::Match &b) {
        if (a.score.percent != b.score.percent)
            return a.score.percent > b.score.percent;
        return a.key.toLongLong() < b.key.toLongLong();
    });
}

} // namespace

bool ListingMatcher::Wish::hasCriteria() const
{
    return !districts.isEmpty() || priceMin > 0 || priceMax > 0 || areaMin > 0 || areaMax > 0 || rooms > 0;
}

ListingMatcher::ListingMatcher(DataLink link) : m_link(std::move(link)) {}

QStringList ListingMatcher::splitDistricts(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[、,，;；/\\s]+"));
    // Stored lists are in their one form already and split plainly (this runs
    // for every candidate customer); only typed text needs the full split.
    const bool typed = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u',' || c == u'，' || c == u';' || c == u'；' || c == u'/' || c.isSpace();
    });
    QStringList names;
    for (const QString &part : typed ? text.split(separators, Qt::SkipEmptyParts) : text.split(kSeparator, Qt::SkipEmptyParts))
        if (!names.contains(part))
            names << part;
    return names;
}

QString ListingMatcher::joinDistricts(const QStringList &names)
{
    // Never a null text: that would be stored as Null, and the column holds '' for any district.
    return names.isEmpty() ? QStringLiteral("") : names.join(kSeparator);
}

ListingMatcher::Score ListingMatcher::score(const Wish &wish, const Offer &offer)
{
    Score s;
    s.fits = true;
    if (!wish.hasCriteria()) {
        s.fits = false;
        s.reasons << QStringLiteral("客户没有填写需求，无法匹配");
        return s;
    }
    if (wish.dealType != offer.dealType) {
        s.fits = false;
        s.reasons << QStringLiteral("交易类型不符");
        return s;
    }
    double earned = 0;
    int possible = 0;
    if (wish.priceMin > 0 || wish.priceMax > 0) {
        possible += kPriceWeight;
        const double dev = deviation(offer.price, wish.priceMin, wish.priceMax);
        if (dev == 0) {
            earned += kPriceWeight;
            s.reasons << (offer.dealType == u"出租" ? QStringLiteral("租金在预算内") : QStringLiteral("总价在预算内"));
        } else {
            s.reasons << (dev > 0 ? QStringLiteral("超出预算 ") : QStringLiteral("低于预算 ")) + percent(std::abs(dev));
            if (withinBand(dev))
                earned += kPriceWeight * bandShare(dev);
            else
                s.fits = false;
        }
    }
    if (wish.areaMin > 0 || wish.areaMax > 0) {
        possible += kAreaWeight;
        const double dev = deviation(offer.area, wish.areaMin, wish.areaMax);
        if (dev == 0) {
            earned += kAreaWeight;
            s.reasons << QStringLiteral("面积相符");
        } else if (withinBand(dev)) {
            earned += kAreaWeight * bandShare(dev);
            s.reasons << (dev > 0 ? QStringLiteral("面积略大 ") : QStringLiteral("面积略小 ")) + percent(std::abs(dev));
        } else {
            s.fits = false;
            s.reasons << (dev > 0 ? QStringLiteral("面积偏大 ") : QStringLiteral("面积偏小 ")) + percent(std::abs(dev));
        }
    }
    if (wish.rooms > 0) {
        possible += kRoomsWeight;
        const int difference = offer.rooms - wish.rooms;
        if (difference == 0) {
            earned += kRoomsWeight;
            s.reasons << QStringLiteral("房间数相符");
        } else {
            s.reasons << roomsText(difference);
            if (std::abs(difference) <= kRoomTolerance)
                earned += kRoomsWeight * kBandFloor;
            else
                s.fits = false;
        }
    }
    if (wish.districts.isEmpty()) {
        s.reasons << QStringLiteral("不限区域");
    } else {
        possible += kDistrictWeight;
        if (wish.districts.contains(offer.district)) {
            earned += kDistrictWeight;
            s.reasons << QStringLiteral("同区域");
        } else {
            s.fits = false;
            s.reasons << QStringLiteral("不在意向区域");
        }
    }
    s.percent = s.fits ? qBound(0, qRound(100.0 * earned / possible), 100) : 0;
    return s;
}

QStringList ListingMatcher::listingColumns()
{
    return {QStringLiteral("id"),    QStringLiteral("code"), QStringLiteral("dealtype"), QStringLiteral("district"), QStringLiteral("community"),
            QStringLiteral("rooms"), QStringLiteral("area"), QStringLiteral("price"),    QStringLiteral("agent")};
}

QStringList ListingMatcher::customerColumns()
{
    return {QStringLiteral("id"),      QStringLiteral("name"),    QStringLiteral("phone"),   QStringLiteral("dealtype"),
            QStringLiteral("districts"), QStringLiteral("pricemin"), QStringLiteral("pricemax"), QStringLiteral("areamin"),
            QStringLiteral("areamax"), QStringLiteral("rooms"),   QStringLiteral("agent")};
}

jx::Result<QVector<ListingMatcher::Match>> ListingMatcher::listingsFor(const Wish &wish, qsizetype shown) const
{
    if (!wish.hasCriteria())
        return jx::fail(QStringLiteral("客户没有填写需求，无法匹配"));
    QString sql = QStringLiteral("select %1 from fy_house where status='有效' and dealtype=?").arg(kOfferFields);
    QVariantList params{wish.dealType};
    if (!wish.districts.isEmpty()) {
        QStringList marks;
        for (const QString &d : wish.districts) {
            marks << QStringLiteral("?");
            params << d;
        }
        sql += QStringLiteral(" and district in (%1)").arg(marks.join(u','));
    }
    if (wish.priceMax > 0) {
        sql += QStringLiteral(" and price<=?");
        params << wish.priceMax * (1 + kTolerance + kSlack);
    }
    if (wish.priceMin > 0) {
        sql += QStringLiteral(" and price>=?");
        params << wish.priceMin * (1 - kTolerance - kSlack);
    }
    if (wish.areaMax > 0) {
        sql += QStringLiteral(" and area<=?");
        params << wish.areaMax * (1 + kTolerance + kSlack);
    }
    if (wish.areaMin > 0) {
        sql += QStringLiteral(" and area>=?");
        params << wish.areaMin * (1 - kTolerance - kSlack);
    }
    if (wish.rooms > 0) {
        sql += QStringLiteral(" and rooms>=? and rooms<=?");
        params << wish.rooms - kRoomTolerance << wish.rooms + kRoomTolerance;
    }
    const auto rows = m_link.select(sql, params);
    if (!rows)
        return jx::fail(rows.error());
    QVector<Match> out;
    for (const QVector<QVariant> &row : rows->rows) {
        Score s = score(wish, offerOf(wish.dealType, row));
        if (s.fits)
            out.append({row.value(0), std::move(s), {}});
    }
    bestFirst(out);
    if (const auto read = readRows(QStringLiteral("fy_house"), listingColumns(), out, shown); !read)
        return jx::fail(read.error());
    return out;
}

jx::Result<QVector<ListingMatcher::Match>> ListingMatcher::customersFor(const Offer &offer, qsizetype shown) const
{
    // A bound the listing may miss by the band still lets the customer in.
    const double priceHigh = offer.price / (1 + kTolerance) * (1 - kSlack), priceLow = offer.price / (1 - kTolerance) * (1 + kSlack);
    const double areaHigh = offer.area / (1 + kTolerance) * (1 - kSlack), areaLow = offer.area / (1 - kTolerance) * (1 + kSlack);
    // One pass over the covering index: each bound is written so that 0 (no
    // bound) passes without an OR the planner would split into index scans;
    // the district is only narrowed here and checked by name when scored.
    const QString sql = QStringLiteral("select %1 from kh_customer where status='有效' and dealtype=? and (districts='' or districts like ?)"
                                       " and not (pricemax>0 and pricemax<?) and not (pricemin>?)"
                                       " and not (areamax>0 and areamax<?) and not (areamin>?)"
                                       " and (rooms<=0 or (rooms>=? and rooms<=?))")
                            .arg(kWishFields);
    const QVariantList params{offer.dealType, QStringLiteral("%%1%").arg(offer.district), priceHigh, priceLow, areaHigh, areaLow,
                              offer.rooms - kRoomTolerance, offer.rooms + kRoomTolerance};
    const auto rows = m_link.select(sql, params);
    if (!rows)
        return jx::fail(rows.error());
    QVector<Match> out;
    for (const QVector<QVariant> &row : rows->rows) {
        Score s = score(wishOf(offer.dealType, row), offer);
        if (s.fits)
            out.append({row.value(0), std::move(s), {}});
    }
    bestFirst(out);
    if (const auto read = readRows(QStringLiteral("kh_customer"), customerColumns(), out, shown); !read)
        return jx::fail(read.error());
    return out;
}

jx::Result<> ListingMatcher::readRows(const QString &table, const QStringList &columns, QVector<Match> &matches, qsizetype shown) const
{
    const qsizetype count = qMin(qMax<qsizetype>(shown, 0), matches.size());
    if (count == 0)
        return {};
    QStringList marks;
    QVariantList keys;
    QHash<qlonglong, qsizetype> at;
    for (qsizetype i = 0; i < count; ++i) {
        marks << QStringLiteral("?");
        keys << matches.at(i).key;
        at.insert(matches.at(i).key.toLongLong(), i);
    }
    auto rows = m_link.select(QStringLiteral("select %1 from %2 where id in (%3)").arg(columns.join(u','), table, marks.join(u',')), keys);
    if (!rows)
        return jx::fail(rows.error());
    for (QVector<QVariant> &row : rows->rows)
        if (const auto it = at.constFind(row.value(0).toLongLong()); it != at.constEnd())
            matches[*it].row = std::move(row);
    return {};
}

} // namespace jxedit
