#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/InprocServer.h"
#include "platform/com/RegistryStore.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include "ProgramPaths.h"

namespace {

class ServerModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_file = m_dir.filePath(QStringLiteral("registry.json"));
        com::RegistryStore::setFilePath(m_file);
    }
    void TearDown() override { com::RegistryStore::setFilePath(QString()); }
    QTemporaryDir m_dir;
    QString m_file;
};

} // namespace

// The console links the interface library, so its symbols are the process's
// first answer for any name: JXTool must still register its own classes.
TEST_F(ServerModule, JXToolRegistersItsOwnClassesBesideTheInterfaceLibrary)
{
    ASSERT_NE(dlopen(programPath("QV_EXTPLUGUI_PATH").toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL), nullptr) << dlerror();
    const QString jxtool = QFileInfo(programPath("QV_JXTOOL_PATH")).absoluteFilePath();

    ASSERT_EQ(com::InprocServer::callRegistration(jxtool, true), S_OK) << com::takeErrorInfo().description.toStdString();

    CLSID clsid;
    ASSERT_EQ(com::clsidFromProgId(QStringLiteral("jxTools.calcTool"), &clsid), S_OK);
    EXPECT_EQ(com::guidToString(clsid), QStringLiteral("{B3C9E1A4-6F2D-4D8B-9A7E-5C1F0D2E3A49}"));
    EXPECT_EQ(com::RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") + com::guidToString(clsid)
                                        + QStringLiteral("\\InprocServer32")).valueOr(std::nullopt),
              jxtool);
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\qvExtPluginUI.PluginParameters")).valueOr(false));

    ASSERT_EQ(com::InprocServer::callRegistration(jxtool, false), S_OK);
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\jxTools.calcTool")).valueOr(false));
}

TEST_F(ServerModule, ADescriptionThatCannotBeParsedFailsRegistrationWithItsReason)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JX_REGISTRY_FILE"), m_file);
    QProcess regsvr;
    regsvr.setProcessEnvironment(env);
    regsvr.start(programPath("QV_REGSVR_PATH"), {programPath("QV_BROKENSERVER_PATH")});
    ASSERT_TRUE(regsvr.waitForFinished(30000));
    EXPECT_EQ(regsvr.exitCode(), 1);
    const QString said = QString::fromLocal8Bit(regsvr.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("type library line 3: incomplete declaration"))) << said.toStdString();
    EXPECT_FALSE(QFile::exists(m_file));
}
