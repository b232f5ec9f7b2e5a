#pragma once

#include <QList>
#include <QString>

// The bank rate file (interest.xml): commercial ("loan") and housing-fund
// ("fund") items with an id, a caption and the short- and long-term annual
// rates in percent.
class RateFile final
{
public:
    enum Category { Commercial = 0, HousingFund = 1 };

    struct Item
    {
        QString caption;
        int id = 0;
    };

    // Path of the rate file: the program folder's "interest.xml", else the library
    // folder's "Interest.xml" (or "interest.xml"); empty when there is none.
    static QString locate();
    static QString locate(const QString &programFolder, const QString &libraryFolder);

    // Items of a category in document order, up to the first one without a caption.
    // False when the file cannot be loaded.
    static bool list(const QString &file, int category, QList<Item> &items);

    // Annual rate of the item with this id: "long" for terms over 60 months, else "short".
    // 0 for a missing file, item or attribute, or an unknown category; a rate
    // beyond the single-precision range raises overflow (6).
    static float lookup(const QString &file, const QString &id, int category, int months);
};
