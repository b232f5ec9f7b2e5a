#include "console/support/clsRegistryAccess.h"

#include "platform/AnsiCodec.h"
#include "platform/com/RegistryStore.h"

#include <QFileInfo>

#include <array>
#include <utility>

namespace jx {

namespace {

constexpr qsizetype kValueBufferBytes = 255;

// Full name and abbreviation, in the order the abbreviating goes.
const std::array<std::pair<QLatin1StringView, QLatin1StringView>, 7> kRoots = {{
    {QLatin1StringView("HKEY_CURRENT_USER"), QLatin1StringView("HKCU")},
    {QLatin1StringView("HKEY_LOCAL_MACHINE"), QLatin1StringView("HKLM")},
    {QLatin1StringView("HKEY_CLASSES_ROOT"), QLatin1StringView("HKCR")},
    {QLatin1StringView("HKEY_USERS"), QLatin1StringView("HKUS")},
    {QLatin1StringView("HKEY_PERFORMANCE_DATA"), QLatin1StringView("HKPD")},
    {QLatin1StringView("HKEY_DYN_DATA"), QLatin1StringView("HKDD")},
    {QLatin1StringView("HKEY_CURRENT_CONFIG"), QLatin1StringView("HKCC")},
}};

// The store's path of a parsed key; empty when there is no root.
QString storePath(const clsRegistryAccess::ParsedKey &key)
{
    if (key.root.isEmpty())
        return QString();
    return key.subKey.isEmpty() ? key.root : key.root + QLatin1Char('\\') + key.subKey;
}

} // namespace

clsRegistryAccess::ParsedKey clsRegistryAccess::ParseKey(const QString &keyPath)
{
    QString path = keyPath;
    for (const auto &[full, abbreviation] : kRoots)
        path.replace(full, abbreviation, Qt::CaseInsensitive);
    QString rootText;
    ParsedKey parsed;
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    if (slash >= 0) {
        rootText = path.left(4).toUpper();
        parsed.subKey = path.mid(slash + 1);
    } else {
        rootText = path.toUpper();
    }
    for (const auto &[full, abbreviation] : kRoots) {
        if (rootText == abbreviation)
            parsed.root = full;
    }
    return parsed;
}

bool clsRegistryAccess::KeyExists(const QString &keyPath) const
{
    const QString path = storePath(ParseKey(keyPath));
    if (path.isEmpty())
        return false;
    // Full access needs a registry this user can write.
    const QFileInfo file(com::RegistryStore::filePath());
    if (file.exists() && !file.isWritable())
        return false;
    // A registry that cannot be read holds nothing.
    return com::RegistryStore::keyExists(path).valueOr(false);
}

QString clsRegistryAccess::ReadString(const QString &keyPath, const QString &valueName, const QString &defaultValue) const
{
    const QString path = storePath(ParseKey(keyPath));
    if (path.isEmpty() || !com::RegistryStore::keyExists(path).valueOr(false))
        return defaultValue;
    // The name and the value cross as code-page 936 bytes.
    const auto value = com::RegistryStore::value(path, fromAnsi(toAnsi(valueName))).valueOr(std::nullopt);
    if (!value)
        return defaultValue;
    QByteArray bytes = toAnsi(*value);
    if (bytes.size() + 1 > kValueBufferBytes)
        return defaultValue;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return fromAnsi(bytes);
}

} // namespace jx
