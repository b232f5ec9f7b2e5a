#include "console/support/b64.h"

#include "platform/AnsiCodec.h"
#include "platform/com/RuntimeError.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jx::b64;

namespace {

// Base64 text wrapped after every `width` characters with `lineBreak`.
QByteArray wrapped(const QByteArray &base64, int width, const QByteArray &lineBreak)
{
    QByteArray out;
    for (qsizetype i = 0; i < base64.size(); i += width) {
        if (i > 0)
            out += lineBreak;
        out += base64.mid(i, width);
    }
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(b64, DecodesWhatQtEncodesForEveryLengthAndWrapping)
{
    QRandomGenerator random(20261209);
    for (int length = 0; length <= 300; ++length) {
        QByteArray data(length, '\0');
        for (char &c : data)
            c = static_cast<char>(random.bounded(256));
        const QByteArray base64 = data.toBase64();
        SCOPED_TRACE(length);
        EXPECT_EQ(Base64Decode(StripLineBreaks(base64)), data);
        // The product's own files (72 columns, LF), mail-style lines and no padding at all.
        EXPECT_EQ(Base64Decode(StripLineBreaks(wrapped(base64, 72, "\n"))), data);
        EXPECT_EQ(Base64Decode(StripLineBreaks(wrapped(base64, 76, "\r\n"))), data);
        EXPECT_EQ(Base64Decode(data.toBase64(QByteArray::OmitTrailingEquals)), data);
    }
}

TEST(b64, PaddingEndsDecodingAndTheLengthFollowsTheGroups)
{
    EXPECT_EQ(Base64Decode("QQ=="), QByteArray("A"));
    EXPECT_EQ(Base64Decode("QUI="), QByteArray("AB"));
    EXPECT_EQ(Base64Decode("QUJDRE"), Base64Decode("QUJDRE=="));
    EXPECT_EQ(Base64Decode("QUJDRE"), QByteArray("ABCD"));
    // A marker in the middle stops there; the rest of the output stays zero.
    EXPECT_EQ(Base64Decode("QQ==QUJD"), QByteArray("A\0\0\0\0\0", 6));
    // A byte above 233 ends decoding silently, the full length kept.
    EXPECT_EQ(Base64Decode("QUJD\xEA" "UJD"), QByteArray("ABC\0\0\0", 6));
    // Outside the alphabet a byte is not skipped: it decodes as the value 255.
    EXPECT_EQ(Base64Decode("!!!!"), QByteArray("\xFF\xFF\xFF"));
    EXPECT_EQ(DecodeTable().size(), 234u);
    EXPECT_EQ(DecodeTable()['='], 64);
    EXPECT_EQ(DecodeTable()[233], 255);
}

TEST(b64, LineBreaksGoWhereverTheyStandAndNothingElse)
{
    const QByteArray line1(72, 'Q');
    const QByteArray line2(72, 'U');
    EXPECT_EQ(Base64Decode(StripLineBreaks(line1 + "\n" + line2)), Base64Decode(line1 + line2));
    // Unwrapped text keeps its 73rd byte (a fixed-column strip would drop it).
    const QByteArray long1 = QByteArray(200, 'x').toBase64();
    EXPECT_EQ(StripLineBreaks(long1), long1);
    EXPECT_EQ(StripLineBreaks("ab\r\ncd\n"), QByteArray("abcd"));
    // Last byte on what was a dropped position: kept when it is data.
    const QByteArray exactly73(73, 'A');
    EXPECT_EQ(StripLineBreaks(exactly73), exactly73);
}

TEST(b64, EncodedWordsGiveTheirGb2312Text)
{
    const QString caption = QStringLiteral("房源登记");
    const QString word = QStringLiteral("=?gb2312?B?") + QString::fromLatin1(jx::toAnsi(caption).toBase64())
        + QStringLiteral("?=");
    EXPECT_EQ(DecodeEncodedWord(word), caption);
    EXPECT_EQ(Base64DecodeText(QString::fromLatin1(wrapped(jx::toAnsi(caption.repeated(20)).toBase64(), 72, "\n"))),
              caption.repeated(20));

    const QString otherCase = QStringLiteral("=?GB2312?b?") + QString::fromLatin1(jx::toAnsi(caption).toBase64())
        + QStringLiteral("?=");
    EXPECT_EQ(DecodeEncodedWord(otherCase), otherCase);
    EXPECT_EQ(DecodeEncodedWord(QStringLiteral("房源查询")), QStringLiteral("房源查询"));
    EXPECT_EQ(DecodeEncodedWord(QString()), QString());
    EXPECT_EQ(DecodeEncodedWord(QStringLiteral("=?gb2312?B?") + QStringLiteral("?=")), QString());
    try {
        DecodeEncodedWord(QStringLiteral("=?gb2312?B?Q"));
        FAIL() << "a word shorter than its marker was accepted";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.description(), QStringLiteral("无效的过程调用或参数"));
    }
}

TEST(b64, DecodesToWholeFilesAndRaisesWhenItCannotWrite)
{
    QTemporaryDir dir;
    const QByteArray icon = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
    const QString path = dir.filePath(QStringLiteral("icon.png"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100, 'z')); // longer than what replaces it
    }
    Base64DecodeToFile(path, QString::fromLatin1(wrapped(icon.toBase64(), 72, "\n")));
    EXPECT_EQ(readAll(path), icon);

    const QString untouched = dir.filePath(QStringLiteral("none.png"));
    Base64DecodeToFile(untouched, QString());
    EXPECT_FALSE(QFile::exists(untouched));

    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/icon.png"));
    try {
        Base64DecodeToFile(nowhere, QStringLiteral("QQ=="));
        FAIL() << "wrote into a missing folder";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 76);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("no"))));
}
