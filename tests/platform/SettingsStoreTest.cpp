#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.filePath(QStringLiteral("settings"));
        jx::SettingsStore::setRootFolder(m_root);
    }
    void TearDown() override { jx::SettingsStore::setRootFolder(QString()); }

    QTemporaryDir m_dir;
    QString m_root;
    const QString m_app = QStringLiteral("房产中介");
};

TEST_F(SettingsStoreTest, ReadingNeverWrites)
{
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), QStringLiteral("LogonUser"),
                                            QStringLiteral("默认")),
              QStringLiteral("默认"));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), QStringLiteral("x")), QString());
    EXPECT_FALSE(QDir(m_root).exists());

    ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("main"), QStringLiteral("a"), QStringLiteral("1")));
    const QString file = jx::SettingsStore::fileFor(m_app);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("other"), QStringLiteral("b"), QStringLiteral("d")),
              QStringLiteral("d"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// The file is replaced on every write: its inode tells whether it was written.
ino_t inodeOf(const QString &file)
{
    struct stat st {};
    return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(SettingsStoreTest, SeveralKeysInOneWriteAndUnchangedValuesNotRewritten)
{
    const QString main = QStringLiteral("main");
    const QList<std::pair<QString, QString>> signIn{{QStringLiteral("LogonUser"), QStringLiteral("张三")},
                                                    {QStringLiteral("remerber"), QStringLiteral("0")},
                                                    {QStringLiteral("remerberString"), QString()}};
    ASSERT_TRUE(jx::SettingsStore::saveSettings(m_app, main, signIn));
    const QString file = jx::SettingsStore::fileFor(m_app);
    const ino_t written = inodeOf(file);
    ASSERT_NE(written, ino_t(0));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, main, QStringLiteral("logonuser")), QStringLiteral("张三"));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, main, QStringLiteral("remerberString"), QStringLiteral("<none>")), QString());

    // The same sign-in again, also through the single-key call: nothing is written.
    ASSERT_TRUE(jx::SettingsStore::saveSettings(m_app, main, signIn));
    ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("MAIN"), QStringLiteral("REMERBER"), QStringLiteral("0")));
    EXPECT_EQ(inodeOf(file), written);

    // One changed value writes the file, and the others stay.
    ASSERT_TRUE(jx::SettingsStore::saveSettings(m_app, main, {{QStringLiteral("remerber"), QStringLiteral("1")}}));
    EXPECT_NE(inodeOf(file), written);
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, main, QStringLiteral("remerber")), QStringLiteral("1"));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, main, QStringLiteral("LogonUser")), QStringLiteral("张三"));

    // A nameless key refuses the whole batch.
    EXPECT_FALSE(jx::SettingsStore::saveSettings(m_app, main, {{QStringLiteral("a"), QStringLiteral("x")}, {QString(), QStringLiteral("y")}}));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, main, QStringLiteral("a"), QStringLiteral("<none>")), QStringLiteral("<none>"));
}

TEST_F(SettingsStoreTest, TextsRoundTripUnchanged)
{
    const QStringList values = {QStringLiteral("张三"), QStringLiteral("a,b,c"), QStringLiteral("  padded  "),
                                QStringLiteral("0"), QStringLiteral("x=y;z"), QStringLiteral("@Invalid()"),
                                QStringLiteral("line1\r\nline2"), QStringLiteral("C:\\path\\file")};
    for (int i = 0; i < values.size(); ++i) {
        const QString key = QString::number(i + 1) + QStringLiteral("LogonUser");
        ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("main"), key, values[i]));
    }
    for (int i = 0; i < values.size(); ++i) {
        const QString key = QString::number(i + 1) + QStringLiteral("LogonUser");
        EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), key), values[i]) << i;
    }
    EXPECT_TRUE(jx::SettingsStore::fileFor(m_app).startsWith(m_root));
}

TEST_F(SettingsStoreTest, NamesMatchWithoutRegardToCase)
{
    ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("Main"), QStringLiteral("NavPaneActiveItem"),
                                               QStringLiteral("3")));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), QStringLiteral("navpaneactiveitem")),
              QStringLiteral("3"));
    // Saving under another spelling replaces the value instead of adding one.
    ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("MAIN"), QStringLiteral("NAVPANEACTIVEITEM"),
                                               QStringLiteral("4")));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("Main"), QStringLiteral("NavPaneActiveItem")),
              QStringLiteral("4"));
    ASSERT_TRUE(jx::SettingsStore::deleteSetting(m_app, QStringLiteral("main"), QStringLiteral("navPaneActiveItem")));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("Main"), QStringLiteral("NavPaneActiveItem"),
                                            QStringLiteral("gone")),
              QStringLiteral("gone"));
}

TEST_F(SettingsStoreTest, SlashesInNamesAreNotGroups)
{
    ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("main"), QStringLiteral("_ButTag01/02"),
                                               QStringLiteral("v1")));
    ASSERT_TRUE(jx::SettingsStore::saveSetting(m_app, QStringLiteral("main"), QStringLiteral("_ButTag01\\02"),
                                               QStringLiteral("v2")));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), QStringLiteral("_ButTag01/02")),
              QStringLiteral("v1"));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), QStringLiteral("_ButTag01\\02")),
              QStringLiteral("v2"));
    EXPECT_EQ(jx::SettingsStore::getSetting(m_app, QStringLiteral("main"), QStringLiteral("_ButTag01"), QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST_F(SettingsStoreTest, ApplicationsAndSectionsAreSeparate)
{
    ASSERT_TRUE(jx::SettingsStore::saveSetting(QStringLiteral("AppA"), QStringLiteral("settings"),
                                               QStringLiteral("tipsshow"), QStringLiteral("1")));
    ASSERT_TRUE(jx::SettingsStore::saveSetting(QStringLiteral("AppB"), QStringLiteral("settings"),
                                               QStringLiteral("tipsshow"), QStringLiteral("0")));
    ASSERT_TRUE(jx::SettingsStore::saveSetting(QStringLiteral("AppA"), QStringLiteral("main"),
                                               QStringLiteral("tipsshow"), QStringLiteral("main")));
    EXPECT_EQ(jx::SettingsStore::getSetting(QStringLiteral("AppA"), QStringLiteral("settings"), QStringLiteral("tipsshow")),
              QStringLiteral("1"));
    EXPECT_EQ(jx::SettingsStore::getSetting(QStringLiteral("AppB"), QStringLiteral("settings"), QStringLiteral("tipsshow")),
              QStringLiteral("0"));

    ASSERT_TRUE(jx::SettingsStore::deleteSetting(QStringLiteral("AppA"), QStringLiteral("settings")));
    EXPECT_EQ(jx::SettingsStore::getSetting(QStringLiteral("AppA"), QStringLiteral("settings"), QStringLiteral("tipsshow")),
              QString());
    EXPECT_EQ(jx::SettingsStore::getSetting(QStringLiteral("AppA"), QStringLiteral("main"), QStringLiteral("tipsshow")),
              QStringLiteral("main"));
    ASSERT_TRUE(jx::SettingsStore::deleteSetting(QStringLiteral("AppA")));
    EXPECT_FALSE(QFile::exists(jx::SettingsStore::fileFor(QStringLiteral("AppA"))));
    EXPECT_TRUE(QFile::exists(jx::SettingsStore::fileFor(QStringLiteral("AppB"))));

    // Values deleted with the application do not come back with the next save.
    ASSERT_TRUE(jx::SettingsStore::saveSetting(QStringLiteral("AppA"), QStringLiteral("settings"),
                                               QStringLiteral("other"), QStringLiteral("2")));
    EXPECT_EQ(jx::SettingsStore::getSetting(QStringLiteral("AppA"), QStringLiteral("main"), QStringLiteral("tipsshow"),
                                            QStringLiteral("absent")),
              QStringLiteral("absent"));
    EXPECT_EQ(jx::SettingsStore::getSetting(QStringLiteral("AppA"), QStringLiteral("settings"), QStringLiteral("other")),
              QStringLiteral("2"));
}

TEST_F(SettingsStoreTest, UnsafeApplicationKeysStayInsideTheRoot)
{
    const QString app = QStringLiteral("../escape/..");
    ASSERT_TRUE(jx::SettingsStore::saveSetting(app, QStringLiteral("main"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(QFileInfo(jx::SettingsStore::fileFor(app)).absolutePath(), QDir(m_root).absolutePath());
    EXPECT_EQ(jx::SettingsStore::getSetting(app, QStringLiteral("main"), QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_FALSE(jx::SettingsStore::saveSetting(m_app, QString(), QStringLiteral("k"), QStringLiteral("v")));
}

} // namespace
