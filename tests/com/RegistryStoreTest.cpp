#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"
#include "platform/com/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include "ProgramPaths.h"

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RegistryFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir.setAutoRemove(false); // evidence stays when a test fails
        m_file = m_dir.filePath(QStringLiteral("registry.json"));
        com::RegistryStore::setFilePath(m_file);
    }
    void TearDown() override
    {
        com::RegistryStore::setFilePath(QString());
        if (!HasFailure())
            m_dir.remove();
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("JX_REGISTRY_FILE"), m_file);
        return env;
    }
    QTemporaryDir m_dir;
    QString m_file;
};

} // namespace

TEST_F(RegistryFile, TwoProgramsRegisteringAtOnceKeepEveryClass)
{
    const QString go = m_dir.filePath(QStringLiteral("go"));
    const QStringList prefixes = {QStringLiteral("first"), QStringLiteral("second")};
    std::vector<std::unique_ptr<QProcess>> programs;
    for (const QString &prefix : prefixes) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(environment());
        p->start(programPath("QV_REGISTRAR_PATH"), {prefix, QStringLiteral("50"), go});
        ASSERT_TRUE(p->waitForStarted());
        programs.push_back(std::move(p));
    }
    // Both are running and waiting: release them together.
    QFile(go).open(QIODevice::WriteOnly);
    for (auto &p : programs) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    int registered = 0;
    for (const QString &prefix : prefixes) {
        for (int i = 0; i < 50; ++i) {
            const QString progId = QStringLiteral("%1.Class%2").arg(prefix).arg(i);
            CLSID clsid;
            if (FAILED(com::clsidFromProgId(progId, &clsid))) {
                ADD_FAILURE() << "lost " << progId.toStdString();
                continue;
            }
            const auto server = com::RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\")
                                                          + com::guidToString(clsid) + QStringLiteral("\\InprocServer32")).valueOr(std::nullopt);
            EXPECT_EQ(server.value_or(QString()), programPath("QV_REGISTRAR_PATH")) << progId.toStdString();
            ++registered;
        }
    }
    EXPECT_EQ(registered, 100);
    EXPECT_FALSE(QFile::exists(m_file + QStringLiteral(".lock")));
}

TEST_F(RegistryFile, DamagedFileIsReportedAndKeptByteForByte)
{
    const QByteArray damaged = "{\"hkey_classes_root\\\\mine.thing\": {\"path\": \"HKEY_CLASSES_ROOT\\\\Mine.Thing\"";
    {
        QFile f(m_file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(damaged);
    }
    const auto set = com::RegistryStore::setValue(QStringLiteral("HKEY_CLASSES_ROOT\\A.B\\CLSID"), QString(),
                                                  QStringLiteral("{x}"));
    EXPECT_FALSE(set);
    EXPECT_TRUE(set.error().contains(QStringLiteral("damaged"))) << set.error().toStdString();
    EXPECT_TRUE(set.error().contains(m_file)) << set.error().toStdString();
    const auto removed = com::RegistryStore::deleteTree(QStringLiteral("HKEY_CLASSES_ROOT\\Mine.Thing"));
    EXPECT_FALSE(removed.valueOr(false));
    EXPECT_TRUE(removed.error().contains(QStringLiteral("damaged"))) << removed.error().toStdString();
    // Reads say why they found nothing; a root needs no file to be there.
    const auto exists = com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\Mine.Thing"));
    EXPECT_FALSE(exists);
    EXPECT_TRUE(exists.error().contains(QStringLiteral("damaged"))) << exists.error().toStdString();
    EXPECT_FALSE(exists.valueOr(false));
    EXPECT_TRUE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT")).valueOr(false));
    const auto value = com::RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\Mine.Thing"), QStringLiteral("path"));
    EXPECT_FALSE(value);
    EXPECT_TRUE(value.error().contains(m_file)) << value.error().toStdString();

    // The registering program refuses too, and says why.
    QProcess regsvr;
    regsvr.setProcessEnvironment(environment());
    regsvr.start(programPath("QV_REGSVR_PATH"), {programPath("QV_TESTSERVER_PATH")});
    ASSERT_TRUE(regsvr.waitForFinished(30000));
    EXPECT_NE(regsvr.exitCode(), 0);
    const QString said = QString::fromLocal8Bit(regsvr.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("damaged"))) << said.toStdString();

    EXPECT_EQ(readAll(m_file), damaged);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("registry.json")});
}

TEST_F(RegistryFile, AChangeThatIsRefusedWritesNothing)
{
    ASSERT_TRUE(com::RegistryStore::setValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\jx"), QStringLiteral("a"),
                                             QStringLiteral("1")));
    const QByteArray before = readAll(m_file);
    const auto changed = com::RegistryStore::edit([](com::RegistryEdit &e) -> jx::Result<> {
        e.setValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\jx"), QStringLiteral("a"), QStringLiteral("2"));
        if (!e.setValue(QStringLiteral("HKEY_NOWHERE\\x"), QString(), QStringLiteral("v")))
            return jx::fail(QString()); // refused without a reason of its own
        return {};
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(changed.error(), QStringLiteral("the registry change was refused"));
    EXPECT_EQ(readAll(m_file), before);
    EXPECT_EQ(com::RegistryStore::value(QStringLiteral("hkey_current_user\\software\\JX"), QStringLiteral("A")).valueOr(std::nullopt),
              QStringLiteral("1"));
}

TEST_F(RegistryFile, TruncatedLibraryIsRefusedWithAMessage)
{
    // Cut where the loader would still map the code: the rest of the file is missing.
    const QByteArray whole = readAll(programPath("QV_TESTSERVER_PATH"));
    ASSERT_GT(whole.size(), 8192);
    const QString cut = m_dir.filePath(QStringLiteral("cut.so"));
    {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(whole.left(whole.size() / 2));
    }
    QProcess regsvr;
    regsvr.setProcessEnvironment(environment());
    regsvr.start(programPath("QV_REGSVR_PATH"), {cut});
    ASSERT_TRUE(regsvr.waitForFinished(30000));
    EXPECT_EQ(regsvr.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(regsvr.exitCode(), 1);
    const QString said = QString::fromLocal8Bit(regsvr.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("cannot load")) && said.contains(QStringLiteral("damaged")))
        << said.toStdString();
    EXPECT_FALSE(QFile::exists(m_file)); // nothing registered
}
