#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

// A PostgreSQL server of the test's own, so that stopping it disturbs no
// other test. PostgreSQL refuses to run as root: then it runs as postgres.
class PrivatePgServer
{
public:
    bool start(QString &why)
    {
        const QStringList found = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        if (found.isEmpty()) {
            why = QStringLiteral("PostgreSQL is not installed");
            return false;
        }
        m_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(found.last());
        if (::geteuid() == 0 && !run(QStringLiteral("/bin/chown"), {QStringLiteral("postgres"), m_dir.path()}, false))
            return fail(why, QStringLiteral("cannot hand the folder to postgres"));
        if (!run(m_bin + QStringLiteral("initdb"), {QStringLiteral("-D"), data(), QStringLiteral("-U"), QStringLiteral("jxtest"),
                                                     QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8")}))
            return fail(why, QStringLiteral("initdb failed"));
        // Another test process may hold a port already: a few are tried.
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = 56000 + int((QCoreApplication::applicationPid() + attempt * 197) % 1000);
            if (resume())
                return true;
        }
        return fail(why, QStringLiteral("the server does not start"));
    }
    bool resume()
    {
        return run(m_bin + QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), data(), QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")), QStringLiteral("-w"),
                    QStringLiteral("-o"),
                    QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2").arg(m_port).arg(m_dir.path()),
                    QStringLiteral("start")});
    }
    bool stop()
    {
        return run(m_bin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"),
                                                       QStringLiteral("-w"), QStringLiteral("stop")});
    }
    ~PrivatePgServer()
    {
        if (!m_bin.isEmpty())
            stop();
    }
    int port() const { return m_port; }
    QString connection() const { return QStringLiteral("host=127.0.0.1;port=%1;user=jxtest;database=postgres").arg(m_port); }

private:
    QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    static bool fail(QString &why, const QString &text)
    {
        why = text;
        return false;
    }
    bool run(const QString &program, const QStringList &args, bool asServerUser = true)
    {
        QProcess p;
        if (asServerUser && ::geteuid() == 0)
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args);
        else
            p.start(program, args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    int m_port = 0;
};
