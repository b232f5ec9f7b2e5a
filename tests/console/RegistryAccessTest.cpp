#include "console/support/clsRegistryAccess.h"

#include "platform/com/RegistryStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RegistryAccess : public ::testing::Test
{
protected:
    void SetUp() override { com::RegistryStore::setFilePath(m_dir.filePath(QStringLiteral("registry.json"))); }
    void TearDown() override { com::RegistryStore::setFilePath(QString()); }
    QTemporaryDir m_dir;
    jx::clsRegistryAccess m_registry;
};

} // namespace

TEST_F(RegistryAccess, ParsesRootsByNameOrAbbreviationInAnyCase)
{
    using jx::clsRegistryAccess;
    const auto progId = clsRegistryAccess::ParseKey(QStringLiteral("hkey_classes_root\\jxTools.calcTool\\CLSID"));
    EXPECT_EQ(progId.root, QStringLiteral("HKEY_CLASSES_ROOT"));
    EXPECT_EQ(progId.subKey, QStringLiteral("jxTools.calcTool\\CLSID"));
    EXPECT_EQ(clsRegistryAccess::ParseKey(QStringLiteral("hklm\\Software")).root, QStringLiteral("HKEY_LOCAL_MACHINE"));
    EXPECT_EQ(clsRegistryAccess::ParseKey(QStringLiteral("HKUS")).root, QStringLiteral("HKEY_USERS"));
    EXPECT_EQ(clsRegistryAccess::ParseKey(QStringLiteral("HKEY_DYN_DATA")).root, QStringLiteral("HKEY_DYN_DATA"));
    EXPECT_TRUE(clsRegistryAccess::ParseKey(QStringLiteral("HKCC")).subKey.isEmpty());
    // A full root name inside the sub-key is abbreviated too.
    EXPECT_EQ(clsRegistryAccess::ParseKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\hkey_current_config\\x")).subKey,
              QStringLiteral("Software\\HKCC\\x"));
    EXPECT_TRUE(clsRegistryAccess::ParseKey(QStringLiteral("HKEY_NOWHERE\\x")).root.isEmpty());
    EXPECT_TRUE(clsRegistryAccess::ParseKey(QStringLiteral("HK\\CR")).root.isEmpty());
}

TEST_F(RegistryAccess, KeyExistsForRegisteredClassesAndRoots)
{
    ASSERT_TRUE(com::RegistryStore::setValue(QStringLiteral("HKEY_CLASSES_ROOT\\jxTools.calcTool\\CLSID"), QString(),
                                             QStringLiteral("{B3C9E1A4-6F2D-4D8B-9A7E-5C1F0D2E3A49}")));
    EXPECT_TRUE(m_registry.KeyExists(QStringLiteral("hkey_classes_root\\jxtools.calctool")));
    EXPECT_TRUE(m_registry.KeyExists(QStringLiteral("HKCR\\jxTools.calcTool\\CLSID")));
    EXPECT_FALSE(m_registry.KeyExists(QStringLiteral("HKCR\\jxTools.other")));
    EXPECT_FALSE(m_registry.KeyExists(QStringLiteral("HKCU\\jxTools.calcTool")));
    EXPECT_TRUE(m_registry.KeyExists(QStringLiteral("HKCR")));
    EXPECT_FALSE(m_registry.KeyExists(QStringLiteral("HKXX")));
}

TEST_F(RegistryAccess, ReadsStringsThatFitTheBufferInCodePage936)
{
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSInfo");
    auto put = [&](const QString &name, const QString &value) {
        ASSERT_TRUE(com::RegistryStore::setValue(key, name, value));
    };
    put(QStringLiteral("Path"), QStringLiteral("/usr/bin/系统信息"));
    put(QStringLiteral("Long"), QString(300, QLatin1Char('x')));
    put(QStringLiteral("Fits"), QString(254, QLatin1Char('x')));
    put(QStringLiteral("TooLong"), QString(255, QLatin1Char('x')));
    put(QStringLiteral("WideFits"), QStringLiteral("房").repeated(127));   // 254 bytes
    put(QStringLiteral("WideTooLong"), QStringLiteral("房").repeated(128)); // 256 bytes
    put(QStringLiteral("Nul"), QStringLiteral("before") + QChar(0) + QStringLiteral("after"));
    put(QStringLiteral("NotInCodePage"), QStringLiteral("a😀b"));

    const QString d = QStringLiteral("默认");
    EXPECT_EQ(m_registry.ReadString(QStringLiteral("hklm\\software\\microsoft\\shared tools\\msinfo"), QStringLiteral("path"), d),
              QStringLiteral("/usr/bin/系统信息"));
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("Missing"), d), d);
    EXPECT_EQ(m_registry.ReadString(key + QStringLiteral("\\Nowhere"), QStringLiteral("Path"), d), d);
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("Long"), d), d);
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("Fits"), d), QString(254, QLatin1Char('x')));
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("TooLong"), d), d);
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("WideFits"), d), QStringLiteral("房").repeated(127));
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("WideTooLong"), d), d);
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("Nul"), d), QStringLiteral("before"));
    EXPECT_EQ(m_registry.ReadString(key, QStringLiteral("NotInCodePage"), d), QStringLiteral("a?b"));
    EXPECT_EQ(m_registry.ReadString(QStringLiteral("HKEY_NOWHERE\\x"), QStringLiteral("Path"), d), d);
}
