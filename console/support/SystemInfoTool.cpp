#include "console/support/SystemInfoTool.h"

#include "console/support/clsRegistryAccess.h"

#include <QStandardPaths>

namespace jx {

QStringList KnownSystemInfoPrograms()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("xfce4-taskmanager"), QStringLiteral("lshw-gtk")};
}

QString FindSystemInfoTool(const QStringList &candidates, const QStringList &searchPath)
{
    const QString named = clsRegistryAccess().ReadString(QString::fromLatin1(kSystemInfoKey), QString::fromLatin1(kSystemInfoValue), QString());
    if (!named.isEmpty())
        return named;
    for (const QString &candidate : candidates) {
        const QString program = QStandardPaths::findExecutable(candidate, searchPath);
        if (!program.isEmpty())
            return program;
    }
    return QString();
}

} // namespace jx
