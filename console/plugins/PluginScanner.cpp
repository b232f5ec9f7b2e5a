#include "console/plugins/PluginScanner.h"

#include "console/plugins/PluginScanLine.h"
#include "console/support/clsRegistryAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace jx {

namespace {

const QString kHostName = QStringLiteral("plugin-host");

PluginScan rejectedAs(const QString &path, const QString &reason)
{
    PluginScan scan;
    scan.rejected.append({path, reason});
    return scan;
}

} // namespace

PluginScanner::PluginScanner()
{
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(kHostName));
    if (beside.isFile() && beside.isExecutable())
        m_host = beside.absoluteFilePath();
}

PluginScan PluginScanner::scan(const QString &programFolder) const
{
    PluginScan all;
    for (const QString &path : PluginLibraries(programFolder)) {
        const PluginScan one = scanLibrary(path);
        all.rows += one.rows;
        all.rejected += one.rejected;
    }
    return all;
}

PluginScan PluginScanner::scanLibrary(const QString &path) const
{
    QProcess host;
    // The helper's own diagnostics would only interleave with the console's.
    host.setProcessChannelMode(QProcess::SeparateChannels);
    // The scan shows no window; it needs no display either.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    host.setProcessEnvironment(environment);
    host.start(m_host, {QStringLiteral("--scan"), path});
    if (!host.waitForStarted(int(m_timeLimit.count())))
        return rejectedAs(path, QStringLiteral("无法启动扫描程序 %1（%2）").arg(m_host, host.errorString()));
    if (!host.waitForFinished(int(m_timeLimit.count()))) {
        host.kill();
        host.waitForFinished(-1);
        return rejectedAs(path, QStringLiteral("没有响应"));
    }
    if (host.exitStatus() == QProcess::CrashExit)
        return rejectedAs(path, QStringLiteral("加载时崩溃"));

    PluginScan scan;
    const QList<QByteArray> lines = host.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines)
        DecodeScanLine(line, scan);
    // Only what the helper said about this library counts.
    scan.rows.removeIf([&](const PluginRow &row) { return row.descriptor.path != path; });
    scan.rejected.removeIf([&](const PluginRejection &r) { return r.path != path; });
    if (scan.rows.isEmpty() && scan.rejected.isEmpty()) {
        const QString said = QString::fromLocal8Bit(host.readAllStandardError()).trimmed();
        return rejectedAs(path, QStringLiteral("扫描程序没有给出结果（退出码 %1%2）")
                                    .arg(host.exitCode())
                                    .arg(said.isEmpty() ? QString() : QStringLiteral("：") + said));
    }
    // Created by ProgID when registered, as the manager will create it to run it.
    const clsRegistryAccess registry;
    for (PluginRow &row : scan.rows)
        row.descriptor.registered = registry.KeyExists(QStringLiteral("HKEY_CLASSES_ROOT\\") + row.descriptor.progId)
                                        ? CreatedByProgId
                                        : CreatedFromFile;
    return scan;
}

} // namespace jx
