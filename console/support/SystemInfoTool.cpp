#include "console/support/SystemInfoTool.h"

#include "console/support/clsRegistryAccess.h"
#include "platform/com/RegistryStore.h"

#include <QStandardPaths>

namespace jx {

QStringList KnownSystemInfoPrograms()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("xfce4-taskmanager"), QStringLiteral("lshw-gtk")};
}

QString RegisterSystemInfoTool(const QStringList &candidates, const QStringList &searchPath)
{
    const QString key = QString::fromLatin1(kSystemInfoKey);
    const QString value = QString::fromLatin1(kSystemInfoValue);
    const QString named = clsRegistryAccess().ReadString(key, value, QString());
    if (!named.isEmpty())
        return named;
    for (const QString &candidate : candidates) {
        const QString program = QStandardPaths::findExecutable(candidate, searchPath);
        if (program.isEmpty())
            continue;
        // A registry that cannot be written only leaves the button without a program.
        return com::RegistryStore::setValue(key, value, program) ? program : QString();
    }
    return QString();
}

} // namespace jx
