#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(ProgramInfo, DefaultsComeFromTheExecutableAndTheBuild)
{
    EXPECT_EQ(jx::ProgramInfo::programFolder(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(jx::ProgramInfo::exeName(), QStringLiteral("platform_tests"));
    EXPECT_EQ(jx::ProgramInfo::versionMajor(), JX_VERSION_MAJOR);
    EXPECT_EQ(jx::ProgramInfo::versionMinor(), JX_VERSION_MINOR);
    EXPECT_EQ(jx::ProgramInfo::versionRevision(), JX_VERSION_REVISION);
    EXPECT_EQ(jx::ProgramInfo::versionText(), QStringLiteral("%1.%2.%3")
                                                   .arg(JX_VERSION_MAJOR)
                                                   .arg(JX_VERSION_MINOR)
                                                   .arg(JX_VERSION_REVISION));
    EXPECT_EQ(jx::ProgramInfo::title(), QStringLiteral("JxMain1"));
    EXPECT_TRUE(jx::ProgramInfo::helpFile().isEmpty());
    EXPECT_FALSE(jx::ProgramInfo::fileDescription().isEmpty());
    EXPECT_FALSE(jx::ProgramInfo::copyright().isEmpty());
}

TEST(ProgramInfo, OverridesApplyAndReset)
{
    jx::ProgramInfo::setProgramFolder(QStringLiteral("/opt/jx/"));
    EXPECT_EQ(jx::ProgramInfo::programFolder(), QStringLiteral("/opt/jx"));
    jx::ProgramInfo::setProgramFolder(QString());
    EXPECT_EQ(jx::ProgramInfo::programFolder(), QCoreApplication::applicationDirPath());

    jx::ProgramInfo::setTitle(QStringLiteral("房产"));
    EXPECT_EQ(jx::ProgramInfo::title(), QStringLiteral("房产"));
    jx::ProgramInfo::setTitle(QStringLiteral("JxMain1"));

    jx::ProgramInfo::setExeName(QStringLiteral("JxMain1"));
    EXPECT_EQ(jx::ProgramInfo::exeName(), QStringLiteral("JxMain1"));
    jx::ProgramInfo::setExeName(QString());
    EXPECT_EQ(jx::ProgramInfo::exeName(), QStringLiteral("platform_tests"));

    jx::ProgramInfo::setHelpFile(QStringLiteral("help.chm"));
    EXPECT_EQ(jx::ProgramInfo::helpFile(), QStringLiteral("help.chm"));
    jx::ProgramInfo::setHelpFile(QString());
}

} // namespace
