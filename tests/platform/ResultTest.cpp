#include "platform/com/Result.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace {

jx::Result<int> parsePositive(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n <= 0)
        return jx::fail(QStringLiteral("“%1”不是正整数").arg(text));
    return n;
}

jx::Result<> checkAll(const QStringList &texts)
{
    for (const QString &t : texts)
        if (const auto n = parsePositive(t); !n)
            return jx::fail(n.error());
    return {};
}

} // namespace

TEST(Result, CarriesTheValueOrTheReasonAndPassesTheReasonOn)
{
    const auto good = parsePositive(QStringLiteral("42"));
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(*good, 42);
    EXPECT_TRUE(good.error().isEmpty());

    const auto bad = parsePositive(QStringLiteral("-3"));
    EXPECT_FALSE(bad);
    EXPECT_EQ(bad.error(), QStringLiteral("“-3”不是正整数"));
    EXPECT_EQ(bad.valueOr(7), 7);

    EXPECT_TRUE(checkAll({QStringLiteral("1"), QStringLiteral("2")}).ok());
    const auto failed = checkAll({QStringLiteral("1"), QStringLiteral("x"), QStringLiteral("0")});
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), QStringLiteral("“x”不是正整数")) << "the first failure is the one reported";
}

TEST(Result, HoldsAValueThatCanOnlyBeMoved)
{
    auto make = [](bool succeed) -> jx::Result<std::unique_ptr<QString>> {
        if (!succeed)
            return jx::fail(QStringLiteral("无法创建"));
        return std::make_unique<QString>(QStringLiteral("对象"));
    };
    auto made = make(true);
    ASSERT_TRUE(made);
    std::unique_ptr<QString> taken = std::move(made).value();
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, QStringLiteral("对象"));
    EXPECT_EQ(make(false).error(), QStringLiteral("无法创建"));
}
