#include "CalcTestSupport.h"

#include "calctools/RateFile.h"

#include <QCoreApplication>
#include <QDir>
#include "ProgramPaths.h"

namespace {

const QByteArray kRates = R"(<?xml version="1.0" encoding="UTF-8"?>
<root>
  <loan>
    <item id="3" caption="商贷 A" short="6" long="6.55"/>
    <item id="7.6" caption="商贷 B" short="5,5" long="x"/>
    <item id="9" short="1" long="1"/>
    <item id="10" caption="after the gap" short="1" long="1"/>
  </loan>
  <fund>
    <item id="1" caption="公积金 A" short="3.33" long="3.87"/>
  </fund>
</root>
)";

} // namespace

class RateFileTest : public CalcFixture
{
};

TEST_F(RateFileTest, ListStopsAtFirstItemWithoutCaption)
{
    writeRates(kRates);
    const QString file = RateFile::locate();
    ASSERT_FALSE(file.isEmpty());
    QList<RateFile::Item> items;
    ASSERT_TRUE(RateFile::list(file, RateFile::Commercial, items));
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].caption, QStringLiteral("商贷 A"));
    EXPECT_EQ(items[0].id, 3);
    EXPECT_EQ(items[1].id, 8); // 7.6 rounds to a whole number
    ASSERT_TRUE(RateFile::list(file, RateFile::HousingFund, items));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].caption, QStringLiteral("公积金 A"));
}

TEST_F(RateFileTest, LookupChoosesShortUpToSixtyMonths)
{
    writeRates(kRates);
    const QString file = RateFile::locate();
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("3"), RateFile::Commercial, 60), 6.0f);
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("3"), RateFile::Commercial, 72), 6.55f);
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("1"), RateFile::HousingFund, 12), 3.33f);
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("1"), RateFile::HousingFund, 360), 3.87f);
}

TEST_F(RateFileTest, LookupReadsMissingAndOddValuesAsZero)
{
    writeRates(kRates);
    const QString file = RateFile::locate();
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("99"), RateFile::Commercial, 12), 0.0f);
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("7.6"), RateFile::Commercial, 12), 5.0f); // leading number of "5,5"
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("7.6"), RateFile::Commercial, 120), 0.0f);
    EXPECT_FLOAT_EQ(RateFile::lookup(file, QStringLiteral("3"), 2, 12), 0.0f);
    EXPECT_FLOAT_EQ(RateFile::lookup(QString(), QStringLiteral("3"), RateFile::Commercial, 12), 0.0f);
}

TEST_F(RateFileTest, BrokenFileIsNotListed)
{
    writeRates("<root><loan><item caption='x'");
    QList<RateFile::Item> items{{QStringLiteral("stale"), 1}};
    EXPECT_FALSE(RateFile::list(RateFile::locate(), RateFile::Commercial, items));
    EXPECT_TRUE(items.isEmpty());
}

TEST_F(RateFileTest, LocatePrefersProgramFolderThenLibraryFolder)
{
    QTemporaryDir libDir;
    ASSERT_TRUE(libDir.isValid());
    EXPECT_EQ(RateFile::locate(dir.path(), libDir.path()), QString());
    {
        QFile f(libDir.filePath(QStringLiteral("Interest.xml")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(RateFile::locate(dir.path(), libDir.path()), libDir.filePath(QStringLiteral("Interest.xml")));
    // An empty program folder is not the file system root.
    EXPECT_EQ(RateFile::locate(QString(), libDir.path()), libDir.filePath(QStringLiteral("Interest.xml")));
    writeRates(kRates);
    EXPECT_EQ(RateFile::locate(dir.path(), libDir.path()), dir.filePath(QStringLiteral("interest.xml")));
}

TEST_F(RateFileTest, ShippedRateFileListsBothCategories)
{
    const QString shipped = programPath("CALCTOOLS_SOURCE_DIR") + QStringLiteral("/interest.xml");
    QList<RateFile::Item> loans, funds;
    ASSERT_TRUE(RateFile::list(shipped, RateFile::Commercial, loans));
    ASSERT_TRUE(RateFile::list(shipped, RateFile::HousingFund, funds));
    ASSERT_GE(loans.size(), 5);
    ASSERT_GE(funds.size(), 5);
    for (const auto *list : {&loans, &funds}) {
        const int category = list == &loans ? RateFile::Commercial : RateFile::HousingFund;
        for (const RateFile::Item &item : *list) {
            // Each caption carries the date of its rate; both terms are positive and findable by id.
            EXPECT_TRUE(item.caption.contains(QStringLiteral("年"))) << item.caption.toStdString();
            EXPECT_GT(RateFile::lookup(shipped, QString::number(item.id), category, 60), 0.0f);
            EXPECT_GT(RateFile::lookup(shipped, QString::number(item.id), category, 61), 0.0f);
        }
    }
}

TEST(Btool, LibraryFolderIsTheFileHoldingTheTools)
{
    // Linked statically here, so the tools live in the test program itself.
    EXPECT_EQ(QDir(btool::LibraryFolder()).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}
