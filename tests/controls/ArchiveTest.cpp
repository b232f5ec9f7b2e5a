#include "controls/zLibControl.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using qvcontrols::zLibControl;

namespace {

// Zip files written byte by byte, so that each can lie the way a hostile
// archive would.
struct ZipEntry
{
    QByteArray name;
    QByteArray data;
    bool symlink = false;
    quint32 claimedSize = 0; // the size the header claims; left unset, the entry's real size
};

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put16(QByteArray &out, quint32 v) { out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void put32(QByteArray &out, quint32 v) { put16(out, v & 0xFFFF); put16(out, v >> 16); }

QByteArray makeZip(const std::vector<ZipEntry> &entries)
{
    QByteArray out;
    QByteArray central;
    for (const ZipEntry &e : entries) {
        const quint32 offset = static_cast<quint32>(out.size());
        const quint32 crc = crc32(e.data);
        const quint32 size = static_cast<quint32>(e.data.size());
        const quint32 claimed = e.claimedSize ? e.claimedSize : size;
        put32(out, 0x04034b50);
        put16(out, 20); put16(out, 0x0800); put16(out, 0); // version, UTF-8 names, stored
        put16(out, 0); put16(out, 0x5021);                 // time, date
        put32(out, crc); put32(out, size); put32(out, claimed);
        put16(out, static_cast<quint32>(e.name.size())); put16(out, 0);
        out += e.name;
        out += e.data;

        put32(central, 0x02014b50);
        put16(central, (3 << 8) | 20); // made on Unix, so the mode below counts
        put16(central, 20); put16(central, 0x0800); put16(central, 0);
        put16(central, 0); put16(central, 0x5021);
        put32(central, crc); put32(central, size); put32(central, claimed);
        put16(central, static_cast<quint32>(e.name.size())); put16(central, 0); put16(central, 0);
        put16(central, 0); put16(central, 0);
        put32(central, (e.symlink ? 0120777u : 0100644u) << 16);
        put32(central, offset);
        central += e.name;
    }
    const quint32 centralOffset = static_cast<quint32>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0); put16(out, 0);
    put16(out, static_cast<quint32>(entries.size())); put16(out, static_cast<quint32>(entries.size()));
    put32(out, static_cast<quint32>(central.size())); put32(out, centralOffset);
    put16(out, 0);
    return out;
}

class ArchiveTest : public ::testing::Test
{
protected:
    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("a%1.zip").arg(++m_count));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString target() const { return m_dir.filePath(QStringLiteral("out/icon")); }
    // Every file below the test folder except the archives themselves.
    QStringList filesWritten() const
    {
        QStringList files;
        QDirIterator it(m_dir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.endsWith(QLatin1String(".zip")))
                files << QDir(m_dir.path()).relativeFilePath(f);
        }
        files.sort();
        return files;
    }
    bool extract(const QString &zip)
    {
        // The flags the console passes.
        return m_zip.ExtractArchive(zip, target(), false, true, false, true, false, true);
    }

    QTemporaryDir m_dir;
    zLibControl m_zip;
    int m_count = 0;
};

TEST_F(ArchiveTest, ExtractsKeepingStoredNamesAndOverwritesInsideTheFolder)
{
    const QString zip = write(makeZip({{"房源.gif", "GIF89a-1"}, {"sub/客户.ico", "ICO"}}));
    ASSERT_TRUE(QDir().mkpath(target()));
    QFile old(target() + QStringLiteral("/房源.gif"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    ASSERT_TRUE(extract(zip)) << qPrintable(m_zip.LastError());
    EXPECT_TRUE(m_zip.LastError().isEmpty());
    EXPECT_EQ(filesWritten(), (QStringList{QStringLiteral("out/icon/sub/客户.ico"), QStringLiteral("out/icon/房源.gif")}));
    QFile f(target() + QStringLiteral("/房源.gif"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("GIF89a-1"));

    // Junk paths put the file beside the others; test only writes nothing new.
    ASSERT_TRUE(m_zip.ExtractArchive(zip, target(), true, true, false, true, false, true));
    EXPECT_TRUE(QFile::exists(target() + QStringLiteral("/客户.ico")));
    ASSERT_TRUE(m_zip.ExtractArchive(zip, m_dir.filePath(QStringLiteral("never")), false, true, false, true, true, true));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("never"))));
}

TEST_F(ArchiveTest, RefusesHostileOrBrokenArchivesWholeAndSaysWhy)
{
    const QByteArray good = makeZip({{"a.gif", "GIF89a"}, {"b.gif", QByteArray(4000, 'x')}});
    struct Case
    {
        const char *what;
        QByteArray zip;
        const char *reasonPart;
    };
    const std::vector<Case> cases = {
        {"climbs out", makeZip({{"a.gif", "1"}, {"../x", "evil"}}), "以外"},
        {"absolute", makeZip({{"a.gif", "1"}, {"/tmp/qv-absolute-x", "evil"}}), "绝对路径"},
        {"drive", makeZip({{"C:\\x.gif", "evil"}}), "绝对路径"},
        {"link", makeZip({{"a.gif", "1"}, {"link", "/etc/passwd", true}}), "链接"},
        {"2 GiB claimed", makeZip({{"a.gif", "1"}, {"big.bin", "small", false, 0x80000000u}}), "64 MiB"},
        {"truncated", good.left(good.size() / 2), "损坏"},
        {"540 MiB in all", [] {
             std::vector<ZipEntry> many;
             for (int i = 0; i < 9; ++i)
                 many.push_back({QByteArray("part") + QByteArray::number(i), "x", false, 60u * 1024 * 1024});
             return makeZip(many);
         }(), "512 MiB"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString zip = write(c.zip);
        EXPECT_FALSE(extract(zip));
        EXPECT_TRUE(m_zip.LastError().contains(QString::fromUtf8(c.reasonPart))) << qPrintable(m_zip.LastError());
        EXPECT_TRUE(filesWritten().isEmpty()) << qPrintable(filesWritten().join(QLatin1Char(' ')));
        EXPECT_TRUE(m_zip.ExtractedFiles().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/qv-absolute-x")));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("out/x"))));
    EXPECT_FALSE(m_zip.ExtractArchive(m_dir.filePath(QStringLiteral("missing.zip")), target(), false, true, false,
                                      true, false, true));
    EXPECT_FALSE(m_zip.LastError().isEmpty());
}

TEST_F(ArchiveTest, NeverWritesThroughALinkInsideTheFolder)
{
    QTemporaryDir outside;
    ASSERT_TRUE(QDir().mkpath(target()));
    ASSERT_TRUE(QFile::link(outside.path(), target() + QStringLiteral("/sub")));
    for (const char *name : {"sub/x.gif", "sub/new/x.gif"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(extract(write(makeZip({{name, "evil"}}))));
        // Neither a file nor a folder appeared behind the link.
        EXPECT_TRUE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }
}

} // namespace

// Found by fuzzing: a name that is a file in one entry and a folder in the
// next used to fail half-way, with the first file already in place.
TEST_F(ArchiveTest, AFileAndAFolderOfTheSameNameAreRefusedBeforeAnythingMoves)
{
    for (const auto &entries : {std::vector<ZipEntry>{{"a.gif", "1"}, {"dir", "file"}, {"dir/c.bin", "inside"}},
                                std::vector<ZipEntry>{{"a.gif", "1"}, {"dir/c.bin", "inside"}, {"dir", "file"}}}) {
        EXPECT_FALSE(extract(write(makeZip(entries))));
        EXPECT_TRUE(m_zip.LastError().contains(QStringLiteral("dir"))) << qPrintable(m_zip.LastError());
        EXPECT_TRUE(filesWritten().isEmpty()) << qPrintable(filesWritten().join(QLatin1Char(' ')));
    }
    // A file already on disk where the archive needs a folder.
    ASSERT_TRUE(QDir().mkpath(target()));
    QFile blocker(target() + QStringLiteral("/dir"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(extract(write(makeZip({{"a.gif", "1"}, {"dir/c.bin", "inside"}}))));
    EXPECT_FALSE(QFileInfo::exists(target() + QStringLiteral("/a.gif")));
}
