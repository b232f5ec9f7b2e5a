#pragma once

// A test installation with its own registry file and a console session
// whose log entries the test reads.

#include "console/startup/ConsoleSession.h"
#include "platform/com/InprocServer.h"
#include "platform/com/RegistryStore.h"
#include "tests/console/FakeLogWriter.h"
#include "tests/console/TestInstallation.h"

#include <QDir>
#include <QFile>

namespace jxtest {

class PluginTestSession
{
public:
    PluginTestSession()
    {
        com::RegistryStore::setFilePath(installation.path(QStringLiteral("registry.json")));
        QDir(installation.folder()).mkpath(QStringLiteral("Plugin"));
        qunsetenv("TP_TRACE");
        qunsetenv("TP_STARTUP");
        qunsetenv("TP_CONFIG_ERROR");
        qunsetenv("TP_INIT_FAIL");
        qunsetenv("TP_INIT_THROW");
        qunsetenv("TP_CLEAR_FAIL");
    }
    ~PluginTestSession()
    {
        session.Shutdown();
        com::RegistryStore::setFilePath(QString());
    }

    // Opens the installation as the console does, without signing in.
    void open(const QString &systemBody = QString())
    {
        installation.writeConfig(systemBody);
        const auto opened = session.OpenInstallation(installation.configFile());
        ASSERT_TRUE(opened) << opened.error().toStdString();
    }
    // Copies a library into the Plugin folder under `name`; its full path.
    QString drop(const QString &library, const QString &name)
    {
        const QString target = installation.path(QStringLiteral("Plugin/") + name);
        EXPECT_TRUE(QFile::copy(library, target));
        return target;
    }
    void dropText(const QString &name, const QByteArray &bytes) { installation.write(QStringLiteral("Plugin/") + name, bytes); }
    static void registerLibrary(const QString &path)
    {
        ASSERT_EQ(com::InprocServer::callRegistration(path, true), S_OK);
    }
    QStringList entriesOfKind(int kind) const { return log.messagesOfKind(kind); }

    TestInstallation installation;
    FakeLogWriter log;
    jx::ConsoleSession session{&log};
};

} // namespace jxtest
