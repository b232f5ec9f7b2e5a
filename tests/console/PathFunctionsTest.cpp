#include "console/config/bCommon.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PathFunctions : public ::testing::Test
{
protected:
    void SetUp() override { jx::SetAppPath(QStringLiteral("/opt/Jx App")); }
    void TearDown() override { jx::SetAppPath(QString()); }
};

TEST_F(PathFunctions, ExpandPathOfBlankGivesEmptyWithoutProgramFolder)
{
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("   "), false), QString());
}

TEST_F(PathFunctions, ExpandPathReplacesAppPathKeepingFolderCase)
{
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("%app.path%\\images\\Logo.GIF"), false), QStringLiteral("/opt/Jx App\\images\\logo.gif"));
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("%APP.PATH%\\x"), false), QStringLiteral("/opt/Jx App\\x"));
}

TEST_F(PathFunctions, ExpandPathYearPlaceholders)
{
    const QDate day(2009, 6, 1);
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("bg\\%year%\\a.jpg"), false, day), QStringLiteral("/opt/Jx App\\bg\\2009\\a.jpg"));
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("bg\\%shortyear%\\a.jpg"), false, day), QStringLiteral("/opt/Jx App\\bg\\09\\a.jpg"));
}

TEST_F(PathFunctions, ExpandPathLeavesDrivePathsUnanchored)
{
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("D:\\pics\\a.jpg"), false), QStringLiteral("d:\\pics\\a.jpg"));
    EXPECT_EQ(jx::ExpandPath(QStringLiteral(" Rel\\A.jpg "), true), QStringLiteral("rel\\a.jpg"));
}

TEST_F(PathFunctions, ExpandPathCollapsesDoubledSeparators)
{
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("\\\\pics\\\\a.jpg"), false), QStringLiteral("\\pics\\a.jpg"));
    EXPECT_EQ(jx::ExpandPath(QStringLiteral("pics\\\\a.jpg"), false), QStringLiteral("/opt/Jx App\\pics\\a.jpg"));
}

TEST_F(PathFunctions, ExpandPathDoesNotAnchorAnExpandedLocalFolderTwice)
{
    // The program folder here is an absolute local path without a drive.
    const QString expanded = jx::ExpandPath(QStringLiteral("%app.path%\\a.jpg"), false);
    EXPECT_EQ(expanded.count(QStringLiteral("/opt/Jx App")), 1);
}

TEST_F(PathFunctions, FullPathKeepsUncAndAnchorsRelative)
{
    EXPECT_EQ(jx::FullPath(QStringLiteral("\\\\server\\share\\a.config")), QStringLiteral("\\\\server\\share\\a.config"));
    EXPECT_EQ(jx::FullPath(QStringLiteral(" a.config ")), QStringLiteral("/opt/Jx App\\a.config"));
    EXPECT_EQ(jx::FullPath(QStringLiteral("Sub\\A.Config")), QStringLiteral("/opt/Jx App\\Sub\\A.Config"));
    EXPECT_EQ(jx::FullPath(QStringLiteral("c:\\X.config")), QStringLiteral("c:\\X.config"));
}

TEST(MakeFoldersTest, CreatesEveryLevelAndLeavesExistingAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString path = dir.path() + QStringLiteral("\\a\\b\\c");
    EXPECT_TRUE(jx::MakeFolders(path));
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("/a/b/c")).exists());

    QFile marker(dir.path() + QStringLiteral("/a/b/c/keep.txt"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write("x");
    marker.close();
    EXPECT_TRUE(jx::MakeFolders(path));
    EXPECT_TRUE(marker.exists());
}

TEST(MakeFoldersTest, FalseWhenTheFolderCannotBeMade)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QString path = dir.path() + QStringLiteral("\\file\\sub");
    EXPECT_FALSE(jx::MakeFolders(path));
}

} // namespace
