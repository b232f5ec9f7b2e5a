// The bank rate file (interest.xml) on arbitrary bytes: both lists and lookups
// on both sides of the five-year boundary.

#include "FuzzScratch.h"

#include "calctools/RateFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    const QString file = scratch.write(QStringLiteral("interest.xml"), data, size);
    for (int category : {int(RateFile::Commercial), int(RateFile::HousingFund), 7}) {
        QList<RateFile::Item> items;
        if (RateFile::list(file, category, items)) {
            for (const RateFile::Item &item : items)
                RateFile::lookup(file, QString::number(item.id), category, 61);
        }
        RateFile::lookup(file, QStringLiteral("1"), category, 12);
    }
    return 0;
}
