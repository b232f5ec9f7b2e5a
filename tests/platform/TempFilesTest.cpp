#include "platform/TempFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Restores the system temporary folder after each test.
class TempFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        jx::setTempFolder(m_dir.path());
    }
    void TearDown() override { jx::setTempFolder(QString()); }

    QTemporaryDir m_dir;
};

TEST_F(TempFilesTest, CreatesDistinctEmptyFilesInTheTempFolder)
{
    EXPECT_EQ(jx::tempFolder(), m_dir.path());
    const QString first = jx::createTempFileName(QStringLiteral("tmp"));
    const QString second = jx::createTempFileName(QStringLiteral("tmp"));
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    for (const QString &path : {first, second}) {
        const QFileInfo info(path);
        EXPECT_TRUE(info.isFile()) << path.toStdString();
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(info.absolutePath(), QDir(m_dir.path()).absolutePath());
        EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("tmp")));
        EXPECT_TRUE(info.fileName().endsWith(QStringLiteral(".tmp")));
        bool ok = false;
        info.fileName().mid(3, info.fileName().size() - 7).toUInt(&ok, 16);
        EXPECT_TRUE(ok) << info.fileName().toStdString();
    }
}

TEST_F(TempFilesTest, ManyCallsNeverReuseAName)
{
    QSet<QString> names;
    for (int i = 0; i < 200; ++i) {
        const QString name = jx::createTempFileName(QStringLiteral("tmp"));
        ASSERT_FALSE(name.isEmpty());
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 200);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 200);
}

TEST_F(TempFilesTest, MissingFolderGivesEmptyText)
{
    jx::setTempFolder(m_dir.filePath(QStringLiteral("does/not/exist")));
    EXPECT_EQ(jx::createTempFileName(QStringLiteral("tmp")), QString());
}

TEST(TempFiles, DefaultIsTheSystemFolder)
{
    jx::setTempFolder(QString());
    EXPECT_EQ(jx::tempFolder(), QDir::tempPath());
    jx::setTempFolder(QStringLiteral("/some/where/"));
    EXPECT_EQ(jx::tempFolder(), QStringLiteral("/some/where"));
    jx::setTempFolder(QString());
}

} // namespace
