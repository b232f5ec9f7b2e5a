#include "platform/PathMapper.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PathMapperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("app/Images/Sub Dir")));
        writeFile(QStringLiteral("app/Images/Logo.GIF"));
        writeFile(QStringLiteral("app/Images/Sub Dir/图标.ico"));
    }

    void writeFile(const QString &relative)
    {
        QFile f(m_dir.filePath(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    // The temporary folder written the way the product writes paths.
    QString winRoot() const { return QStringLiteral("C:") + QString(m_dir.path()).replace(u'/', u'\\'); }

    QTemporaryDir m_dir;
};

TEST_F(PathMapperTest, FindsMixedCaseFileThroughLowerCaseWindowsPath)
{
    const QString win = winRoot() + QStringLiteral("\\app\\images\\logo.gif");
    EXPECT_EQ(jx::toLocalPath(win), m_dir.filePath(QStringLiteral("app/Images/Logo.GIF")));
    EXPECT_TRUE(jx::fileExists(win));
    EXPECT_FALSE(jx::dirExists(win));
    EXPECT_TRUE(jx::dirExists(winRoot() + QStringLiteral("\\APP\\IMAGES\\sub dir")));
    EXPECT_TRUE(jx::fileExists(winRoot() + QStringLiteral("\\app\\images\\SUB DIR\\图标.ICO")));
}

TEST_F(PathMapperTest, ExactComponentsAndSeparatorsAreKept)
{
    const QString mixed = m_dir.path() + QStringLiteral("\\app//Images\\\\Logo.GIF\\");
    EXPECT_EQ(jx::toLocalPath(mixed), m_dir.filePath(QStringLiteral("app/Images/Logo.GIF")));
}

TEST_F(PathMapperTest, UnmatchedTailStaysAsWritten)
{
    const QString win = winRoot() + QStringLiteral("\\APP\\Missing\\New.TXT");
    EXPECT_EQ(jx::toLocalPath(win), m_dir.filePath(QStringLiteral("app/Missing/New.TXT")));
    EXPECT_FALSE(jx::fileExists(win));
    EXPECT_FALSE(jx::dirExists(win));
}

TEST_F(PathMapperTest, RelativePathsResolveAgainstTheCurrentFolder)
{
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    const QString local = jx::toLocalPath(QStringLiteral("APP\\images\\LOGO.gif"));
    const bool exists = jx::fileExists(QStringLiteral("app\\IMAGES\\logo.GIF"));
    QDir::setCurrent(saved);
    EXPECT_EQ(local, QStringLiteral("app/Images/Logo.GIF"));
    EXPECT_TRUE(exists);
}

TEST(PathMapper, DriveAloneAndEmptyText)
{
    EXPECT_EQ(jx::toLocalPath(QStringLiteral("C:\\")), QStringLiteral("/"));
    EXPECT_EQ(jx::toLocalPath(QStringLiteral("d:")), QStringLiteral("/"));
    EXPECT_EQ(jx::toLocalPath(QString()), QString());
    EXPECT_FALSE(jx::fileExists(QString()));
    EXPECT_FALSE(jx::dirExists(QString()));
}

} // namespace
