// The bank rate file (interest.xml) on arbitrary bytes: both lists and lookups
// on both sides of the five-year boundary. A rate beyond the single-precision
// range raises overflow, which the calculator shows: that is its contract.

#include "FuzzScratch.h"

#include "calctools/RateFile.h"
#include "platform/com/RuntimeError.h"

namespace {
void lookup(const QString &file, const QString &id, int category, int months)
{
    try {
        RateFile::lookup(file, id, category, months);
    } catch (const com::RuntimeError &e) {
        if (e.number() != 6)
            throw;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    const QString file = scratch.write(QStringLiteral("interest.xml"), data, size);
    for (int category : {int(RateFile::Commercial), int(RateFile::HousingFund), 7}) {
        QList<RateFile::Item> items;
        if (RateFile::list(file, category, items)) {
            for (const RateFile::Item &item : items)
                lookup(file, QString::number(item.id), category, 61);
        }
        lookup(file, QStringLiteral("1"), category, 12);
    }
    return 0;
}
