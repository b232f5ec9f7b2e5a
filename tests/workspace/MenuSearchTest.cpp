#include "console/workspace/MenuSearch.h"
#include "console/workspace/PinyinSpeller.h"

#include <gtest/gtest.h>

namespace {

std::vector<jx::MenuSearch::Entry> demoEntries()
{
    std::vector<jx::MenuSearch::Entry> out;
    for (const auto &[code, name] : std::initializer_list<std::pair<const char *, const char *>>{
             {"0201", "房源查询"}, {"0202", "房源登记"}, {"0301", "合同登记"}, {"0302", "合同查询"}, {"0401", "客户查询"},
             {"0501", "房贷计算器"}, {"0601", "2号楼A座"}})
        out.push_back({QString::fromLatin1(code), QString::fromUtf8(name), 0, 100, {}, {}});
    return out;
}

QStringList names(const std::vector<const jx::MenuSearch::Entry *> &found)
{
    QStringList out;
    for (const auto *e : found)
        out << e->name;
    return out;
}

TEST(MenuSearch, FindsByNameInitialsSpellingAndCodeBestFirst)
{
    const jx::PinyinSpeller speller;
    ASSERT_TRUE(speller.isValid());
    EXPECT_EQ(speller.initials(QStringLiteral("房源查询")), QStringLiteral("fycx"));
    EXPECT_EQ(speller.spell(QStringLiteral("2号楼A座")),
              (QStringList{QStringLiteral("2"), QStringLiteral("hao"), QStringLiteral("lou"), QStringLiteral("a"),
                           QStringLiteral("zuo")}));

    jx::MenuSearch search;
    search.setEntries(demoEntries());
    search.spell(speller);
    const QStringList none;
    EXPECT_EQ(names(search.find(QStringLiteral("fycx"), none, 10)).value(0), QStringLiteral("房源查询"));
    EXPECT_EQ(names(search.find(QStringLiteral("HTDJ"), none, 10)), QStringList{QStringLiteral("合同登记")});
    EXPECT_EQ(names(search.find(QStringLiteral("0301"), none, 10)).value(0), QStringLiteral("合同登记"));
    EXPECT_EQ(names(search.find(QStringLiteral("fangdai"), none, 10)), QStringList{QStringLiteral("房贷计算器")});
    // Equal fits keep menu order.
    EXPECT_EQ(names(search.find(QStringLiteral("查询"), none, 10)),
              (QStringList{QStringLiteral("房源查询"), QStringLiteral("合同查询"), QStringLiteral("客户查询")}));
    EXPECT_EQ(names(search.find(QStringLiteral("合同"), none, 10)),
              (QStringList{QStringLiteral("合同登记"), QStringLiteral("合同查询")}));
    // Every word must match.
    EXPECT_EQ(names(search.find(QStringLiteral("房源 登记"), none, 10)), QStringList{QStringLiteral("房源登记")});
    EXPECT_TRUE(search.find(QStringLiteral("房源 佣金"), none, 10).empty());
    EXPECT_TRUE(search.find(QStringLiteral("zzzz"), none, 10).empty());
    EXPECT_EQ(search.find(QStringLiteral("查询"), none, 2).size(), 2u);

    // Recent entries lead among equals and when nothing is typed.
    const QStringList recent{QStringLiteral("0401"), QStringLiteral("0302")};
    EXPECT_EQ(names(search.find(QStringLiteral("查询"), recent, 10)),
              (QStringList{QStringLiteral("客户查询"), QStringLiteral("合同查询"), QStringLiteral("房源查询")}));
    // The name as typed beats a recent entry that only contains it.
    EXPECT_EQ(names(search.find(QStringLiteral("房源查询"), recent, 10)).value(0), QStringLiteral("房源查询"));
    const QStringList first = names(search.find(QString(), recent, 3));
    EXPECT_EQ(first, (QStringList{QStringLiteral("客户查询"), QStringLiteral("合同查询"), QStringLiteral("房源查询")}));
}

TEST(MenuSearch, NamesAndCodesAreFoundBeforeTheSpellingIsIn)
{
    jx::MenuSearch search;
    search.setEntries(demoEntries());
    EXPECT_EQ(names(search.find(QStringLiteral("客户"), {}, 10)), QStringList{QStringLiteral("客户查询")});
    EXPECT_EQ(names(search.find(QStringLiteral("050"), {}, 10)), QStringList{QStringLiteral("房贷计算器")});
    EXPECT_TRUE(search.find(QStringLiteral("khcx"), {}, 10).empty());
}

} // namespace
