// The record store on its own, on both engines: generated codes, the step run
// inside an insert, versions that changed meanwhile, duplicate codes and the
// delete guard, each with the reason the user is shown.

#include "FunctionHost.h"

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "jxedit/RecordStore.h"

#include <QDate>

namespace {

using jxedit::RecordStore;
using Outcome = RecordStore::Outcome;

class RecordStoreTest : public FunctionHost
{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        link = jxedit::DataLink::fromContext(&context).valueOr(jxedit::DataLink());
        ASSERT_TRUE(link.isValid());
        auto def = jxedit::FunctionDefinition::load(link, 1001);
        ASSERT_TRUE(def) << def.error().toStdString();
        store = std::make_unique<RecordStore>(link, *def, QStringLiteral("admin"));
    }

    QVariantMap listing(const QString &code = QString()) const
    {
        return {{QStringLiteral("code"), code},
                {QStringLiteral("dealtype"), QStringLiteral("出售")},
                {QStringLiteral("district"), QStringLiteral("西湖区")},
                {QStringLiteral("community"), QStringLiteral("存储小区")},
                {QStringLiteral("rooms"), 2},
                {QStringLiteral("area"), 80},
                {QStringLiteral("price"), 300},
                {QStringLiteral("agent"), QStringLiteral("王志强")},
                {QStringLiteral("status"), QStringLiteral("有效")},
                {QStringLiteral("regdate"), QStringLiteral("2026-01-05")}};
    }
    int listingsOfTheTest()
    {
        return scalar(QStringLiteral("select count(*) from fy_house where community='存储小区'")).toInt();
    }
    // A listing written through the store; its key, or 0 after a failed check.
    int added(const QString &code = QString())
    {
        QVariantMap values = listing(code);
        const RecordStore::Written written = store->insert(values);
        EXPECT_EQ(written.outcome, Outcome::Done) << written.done.error().toStdString();
        return written.done.valueOr(0);
    }

    jxedit::DataLink link;
    std::unique_ptr<RecordStore> store;
};

TEST_P(RecordStoreTest, AFailingStepRefusesTheInsertWithItsReasonAndLeavesNothingWritten)
{
    const int before = listingsOfTheTest();
    int stepId = 0;
    QString stepCode;
    QVariantMap values = listing();
    const RecordStore::Written refused = store->insert(values, [&](int id, const QVariantMap &written) -> jx::Result<> {
        stepId = id;
        stepCode = written.value(QStringLiteral("code")).toString();
        return jx::fail(QStringLiteral("出价已关闭"));
    });
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    ASSERT_FALSE(refused.done);
    EXPECT_EQ(refused.done.error(), QStringLiteral("出价已关闭"));
    EXPECT_GT(stepId, 0);
    EXPECT_TRUE(stepCode.startsWith(QStringLiteral("FY"))) << stepCode.toStdString();
    EXPECT_EQ(listingsOfTheTest(), before) << "the refused insert was rolled back";

    // The same insert with a step that agrees: the step sees the key the record is stored under.
    values = listing();
    const RecordStore::Written done = store->insert(values, [&](int id, const QVariantMap &) -> jx::Result<> {
        stepId = id;
        return {};
    });
    ASSERT_EQ(done.outcome, Outcome::Done) << done.done.error().toStdString();
    ASSERT_TRUE(done.done);
    EXPECT_EQ(*done.done, stepId);
    const auto loaded = store->load(*done.done);
    ASSERT_TRUE(loaded) << loaded.error().toStdString();
    EXPECT_EQ(loaded->version, 1);
    EXPECT_EQ(loaded->values.value(QStringLiteral("code")).toString(), values.value(QStringLiteral("code")).toString());
    EXPECT_EQ(listingsOfTheTest(), before + 1);
}

TEST_P(RecordStoreTest, AVersionChangedMeanwhileIsFoundAndForcingWritesOverIt)
{
    const int id = added();
    ASSERT_GT(id, 0);
    const QVariantMap change{{QStringLiteral("price"), 280}};
    const RecordStore::Written stale = store->update(id, change, 0, false);
    EXPECT_EQ(stale.outcome, Outcome::Changed);
    EXPECT_EQ(stale.done.error(), QStringLiteral("记录<%1>在打开后已被他人修改").arg(id));
    const auto unchanged = store->load(id);
    ASSERT_TRUE(unchanged) << unchanged.error().toStdString();
    EXPECT_EQ(unchanged->version, 1);
    EXPECT_DOUBLE_EQ(unchanged->values.value(QStringLiteral("price")).toDouble(), 300);

    const RecordStore::Written forced = store->update(id, change, 0, true);
    ASSERT_EQ(forced.outcome, Outcome::Done) << forced.done.error().toStdString();
    const auto changed = store->load(id);
    ASSERT_TRUE(changed) << changed.error().toStdString();
    EXPECT_EQ(changed->version, 2);
    EXPECT_DOUBLE_EQ(changed->values.value(QStringLiteral("price")).toDouble(), 280);

    const auto gone = store->load(987654);
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.error(), QStringLiteral("记录<987654>不存在，可能已被删除"));
}

TEST_P(RecordStoreTest, ACodeAnotherRecordHoldsInAnyLetterCaseIsRefusedAndFoundByIt)
{
    const int id = added(QStringLiteral("FY900001"));
    ASSERT_GT(id, 0);
    const int before = listingsOfTheTest();
    QVariantMap values = listing(QStringLiteral(" fy900001 "));
    const RecordStore::Written refused = store->insert(values);
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    EXPECT_TRUE(refused.done.error().endsWith(QStringLiteral("FY900001 已存在，不能重复"))) << refused.done.error().toStdString();
    EXPECT_EQ(listingsOfTheTest(), before);

    const auto found = store->idOfCode(QStringLiteral(" fy900001 "));
    ASSERT_TRUE(found) << found.error().toStdString();
    EXPECT_EQ(*found, id);
    const auto none = store->idOfCode(QStringLiteral("FY999999"));
    ASSERT_TRUE(none) << none.error().toStdString();
    EXPECT_EQ(*none, 0);
}

TEST_P(RecordStoreTest, TheNextCodeFollowsTheHighestAndAPatternWithoutOrPastItsDigitsIsRefused)
{
    ASSERT_GT(added(QStringLiteral("FQ0041")), 0);
    const auto next = store->nextCode(QStringLiteral("FQ####"), QDate(2026, 3, 1));
    ASSERT_TRUE(next) << next.error().toStdString();
    EXPECT_EQ(*next, QStringLiteral("FQ0042"));

    const auto noDigits = store->nextCode(QStringLiteral("FQ"), QDate(2026, 3, 1));
    ASSERT_FALSE(noDigits);
    EXPECT_EQ(noDigits.error(), QStringLiteral("编号规则“FQ”没有序号位"));

    ASSERT_GT(added(QStringLiteral("FZ9")), 0);
    const auto usedUp = store->nextCode(QStringLiteral("FZ#"), QDate(2026, 3, 1));
    ASSERT_FALSE(usedUp);
    EXPECT_EQ(usedUp.error(), QStringLiteral("编号“FZ”的序号已用完，请手工填写编号"));
}

TEST_P(RecordStoreTest, AGuardedRecordStaysAStaleOneIsReportedAndAFreeOneGoes)
{
    const int id = added();
    ASSERT_GT(id, 0);
    const RecordStore::Written stale = store->remove(id, 7);
    EXPECT_EQ(stale.outcome, Outcome::Changed);
    EXPECT_EQ(stale.done.error(), QStringLiteral("记录<%1>在打开后已被他人修改或删除").arg(id));
    EXPECT_TRUE(store->load(id));

    const int guarded = added();
    ASSERT_GT(guarded, 0);
    ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into gj_follow (id,houseid,agent,content,followdate) values (?,?,?,?,?)"),
                                    {98001, guarded, QStringLiteral("王志强"), QStringLiteral("看过"), QStringLiteral("2026-01-06")}))
        << t.db->LastError().Description().toStdString();
    const RecordStore::Written refused = store->remove(guarded, 1);
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    EXPECT_EQ(refused.done.error(), QStringLiteral("该房源已有合同、跟进、带看或出价记录，不能删除"));
    EXPECT_TRUE(store->load(guarded));

    const RecordStore::Written removed = store->remove(id, 1);
    ASSERT_EQ(removed.outcome, Outcome::Done) << removed.done.error().toStdString();
    EXPECT_FALSE(store->load(id));
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordStoreTest, ::testing::Values("sqlite", "postgres"));

} // namespace
