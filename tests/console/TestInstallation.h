#pragma once

// A real installation in a temporary folder: a configuration file beside a
// SQLite product database loaded from the demo schema and seed, with the demo
// users' passwords (admin/admin123, clerk/clerk123). The program folder and
// the per-user settings point into it while it lives.

#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QVariantList>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

namespace jxtest {

class TestInstallation
{
public:
    TestInstallation()
    {
        EXPECT_TRUE(m_dir.isValid());
        EXPECT_TRUE(QFile::copy(templateDatabase(), path(QStringLiteral("jx.db"))));
        QFile::setPermissions(path(QStringLiteral("jx.db")), QFile::ReadOwner | QFile::WriteOwner);
        jx::ProgramInfo::setProgramFolder(m_dir.path());
        jx::SettingsStore::setRootFolder(path(QStringLiteral("settings")));
        // The user's data folder (where the string cipher keeps its secret) is the installation's own.
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
        // Nor may a test reach the desktop's keyring of whoever runs it.
        m_oldBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        if (qgetenv("JX_TEST_SECRET_SERVICE") != "1") {
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
            QDir().mkpath(path(QStringLiteral("run")));
            QFile::setPermissions(path(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("run"))));
        }
    }
    ~TestInstallation()
    {
        restore("XDG_DATA_HOME", m_oldDataHome);
        restore("DBUS_SESSION_BUS_ADDRESS", m_oldBus);
        restore("XDG_RUNTIME_DIR", m_oldRuntime);
        // A failing test keeps its installation to be read.
        m_dir.setAutoRemove(!::testing::Test::HasFailure());
        jx::ProgramInfo::setProgramFolder(QString());
        jx::SettingsStore::setRootFolder(QString());
    }
    TestInstallation(const TestInstallation &) = delete;
    TestInstallation &operator=(const TestInstallation &) = delete;

    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // The console's configuration file (program base name JxMain1).
    QString configFile() const { return path(QStringLiteral("JxMain1.exe.Config")); }

    // Writes the configuration: caption "简衡测试", the given <system> body and
    // the database node (the installation's jx.db unless told otherwise).
    void writeConfig(const QString &systemBody = QString(),
                     const QString &databaseNode = QStringLiteral("<database driver=\"sqlite\" file=\"jx.db\"/>"))
    {
        write(QStringLiteral("JxMain1.exe.Config"),
              (QStringLiteral("<configuration><system><caption>简衡测试</caption>") + systemBody + QStringLiteral("</system>")
               + databaseNode + QStringLiteral("<log folder=\"log\" show=\"0\"/></configuration>"))
                  .toUtf8());
    }
    void write(const QString &name, const QByteArray &content)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    // Runs a statement on the installation's database before a session opens it.
    void execute(const QString &sql, const QVariantList &params = {})
    {
        Database db;
        ASSERT_TRUE(db.OpenDirect(QStringLiteral("sqlite"), path(QStringLiteral("jx.db")))) << db.LastError().Description().toStdString();
        ASSERT_TRUE(db.ExecuteParams(sql, params)) << db.LastError().Description().toStdString();
    }
    void setOption(int group, const QString &key, const QString &value)
    {
        execute(QStringLiteral("delete from jx_option where groupno=? and keyname=?"), {group, key});
        execute(QStringLiteral("insert into jx_option (groupno, keyname, keyno, optvalue) values (?, ?, 0, ?)"), {group, key, value});
    }
    void setText(const QString &key, const QString &text)
    {
        execute(QStringLiteral("delete from jx_text where section='main' and keyname=?"), {key});
        execute(QStringLiteral("insert into jx_text (section, keyname, textvalue) values ('main', ?, ?)"), {key, text});
    }

    static QString readDemo(const char *name)
    {
        QFile f(programPath("JX_DEMO_DIR") + QStringLiteral("/") + QString::fromLatin1(name));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    }

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    // Built once per test run: hashing the passwords is deliberately slow.
    static QString templateDatabase()
    {
        static QTemporaryDir dir;
        static const QString file = [] {
            const QString target = dir.filePath(QStringLiteral("template.db"));
            QFile(target).open(QIODevice::WriteOnly);
            Database db;
            const bool ok = db.OpenDirect(QStringLiteral("sqlite"), target) && db.ExecuteScript(readDemo("schema.sql"))
                && db.ExecuteScript(readDemo("seed.sql"))
                && db.ExecuteParams(QStringLiteral("update jx_user set pwhash=? where username='admin'"), {CurrentUser::hashPassword(QStringLiteral("admin123"))})
                && db.ExecuteParams(QStringLiteral("update jx_user set pwhash=? where username='clerk'"), {CurrentUser::hashPassword(QStringLiteral("clerk123"))});
            EXPECT_TRUE(ok) << db.LastError().Description().toStdString();
            return target;
        }();
        return file;
    }

    QTemporaryDir m_dir;
    QByteArray m_oldDataHome;
    QByteArray m_oldBus;
    QByteArray m_oldRuntime;
};

} // namespace jxtest
