#include "platform/AnsiCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(AnsiCodec, ChineseTextRoundTripsThroughGbk)
{
    const QString text = QStringLiteral("房地产中介管理系统：贷款总额 1,234.50元");
    const QByteArray ansi = jx::toAnsi(text);
    EXPECT_EQ(ansi.size(), 15 * 2 + 9); // 15 double-byte characters, 9 ASCII
    EXPECT_EQ(jx::fromAnsi(ansi), text);
}

TEST(AnsiCodec, KnownGbkBytes)
{
    // "中文" in code page 936.
    const QByteArray expected("\xD6\xD0\xCE\xC4", 4);
    EXPECT_EQ(jx::toAnsi(QStringLiteral("中文")), expected);
    EXPECT_EQ(jx::fromAnsi(expected), QStringLiteral("中文"));
    EXPECT_TRUE(jx::toAnsi(QString()).isEmpty());
    EXPECT_TRUE(jx::fromAnsi(QByteArray()).isEmpty());
}

TEST(AnsiCodec, UnrepresentableCharactersDoNotCutTheText)
{
    // An emoji is outside GBK: it becomes one "?" and the rest survives.
    const QString text = QStringLiteral("前") + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("后");
    const QByteArray ansi = jx::toAnsi(text);
    EXPECT_EQ(jx::fromAnsi(ansi), QStringLiteral("前?后"));
}

TEST(AnsiCodec, InvalidBytesDecodeAsReplacementAndKeepTheRest)
{
    const QByteArray bytes = QByteArray("a") + QByteArray("\xFF", 1) + QByteArray("\xD6\xD0", 2) + QByteArray("\xD6", 1);
    const QString decoded = jx::fromAnsi(bytes);
    EXPECT_EQ(decoded, QStringLiteral("a") + QChar(0xFFFD) + QStringLiteral("中") + QChar(0xFFFD));
}

} // namespace
