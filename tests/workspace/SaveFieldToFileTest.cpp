#include "console/workspace/MenuIconCache.h"
#include "console/workspace/bFiles.h"

#include "TestInstallation.h"
#include "components/context/AppContext.h"
#include "controls/zLibControl.h"
#include "components/data/Database.h"
#include "platform/AnsiCodec.h"
#include "platform/com/ComPtr.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray everyByte()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

TEST(SaveFieldToFile, ANullFieldWritesNothingAndLeavesAnExistingFileAsItWas)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.bin"), existing = dir.filePath("existing.bin");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old contents");
    f.close();
    // No value at all, and a Null of a column's type as the database driver hands it.
    for (const QVariant &null : {QVariant(), QVariant(QMetaType::fromType<QByteArray>()), QVariant(QMetaType::fromType<QString>())}) {
        EXPECT_FALSE(jx::SaveFieldToFile(fresh, null, true));
        EXPECT_FALSE(QFileInfo::exists(fresh));
        EXPECT_FALSE(jx::SaveFieldToFile(existing, null, true));
        EXPECT_EQ(contentsOf(existing), QByteArray("old contents"));
    }
}

TEST(SaveFieldToFile, BytesAndTextAreWrittenAsTheBytesTheyHold)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.bin");
    EXPECT_TRUE(jx::SaveFieldToFile(path, everyByte(), true));
    EXPECT_EQ(contentsOf(path), everyByte());

    // A string of single-byte code units is those bytes, not their UTF-8.
    EXPECT_TRUE(jx::SaveFieldToFile(path, QString::fromLatin1(everyByte()), true));
    EXPECT_EQ(contentsOf(path), everyByte());

    // Chinese text decoded from the product's code page goes back into it.
    const QString chinese = QStringLiteral("<pilot caption=\"房源登记\"/>");
    EXPECT_TRUE(jx::SaveFieldToFile(path, chinese, true));
    EXPECT_EQ(contentsOf(path), jx::toAnsi(chinese));
    EXPECT_EQ(jx::fromAnsi(contentsOf(path)), chinese);

    // Not replaced without overwrite; an empty value is an empty file.
    EXPECT_FALSE(jx::SaveFieldToFile(path, QByteArray("new"), false));
    EXPECT_EQ(contentsOf(path), jx::toAnsi(chinese));
    EXPECT_TRUE(jx::SaveFieldToFile(path, QByteArray(""), true));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

// A menu icon whose row has no contents yet gets no cached file, so the icon
// stored later is fetched and shown.
TEST(SaveFieldToFile, AnIconWithoutContentsIsFetchedOnceItHasSome)
{
    jxtest::TestInstallation installation;
    auto db = com::ComPtr<Database>::adopt(new Database());
    auto context = com::ComPtr<AppContext>::adopt(new AppContext());
    ASSERT_TRUE(db->OpenDirect(QStringLiteral("sqlite"), installation.path(QStringLiteral("jx.db"))));
    ASSERT_TRUE(context->Attach(db.get()));
    context->Environment().SetTempPath(installation.path(QStringLiteral("temp")));
    qvcontrols::zLibControl archive;
    jx::MenuIconCache cache(*context, archive);

    ASSERT_TRUE(db->ExecuteParams(QStringLiteral("delete from xt_menuPilot where type=1 and menuCode=?"), {QStringLiteral("77")}));
    ASSERT_TRUE(db->ExecuteParams(QStringLiteral("insert into xt_menuPilot (type, menuCode, filename, iscompress, contents) "
                                                 "values (1, ?, ?, 0, NULL)"),
                                  {QStringLiteral("77"), QStringLiteral("later.png")}));
    EXPECT_TRUE(cache.LoadMenuIcon(QStringLiteral("77")).isNull());
    EXPECT_FALSE(QFileInfo::exists(cache.folder() + QStringLiteral("/later.png")));

    QImage img(6, 6, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buffer, "PNG"));
    ASSERT_TRUE(db->ExecuteParams(QStringLiteral("update xt_menuPilot set contents=? where type=1 and menuCode=?"),
                                  {png, QStringLiteral("77")}));
    const QPixmap icon = cache.LoadMenuIcon(QStringLiteral("77"));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.toImage().pixel(2, 2), qRgb(0, 0, 255));
}
