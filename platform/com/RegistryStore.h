#pragma once

// The registry: a hierarchical store of keys with string values, kept in one
// JSON file per user. Key paths are "ROOT\sub\key" with a full root name
// (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA, HKEY_CURRENT_CONFIG); names compare
// without regard to letter case. The empty value name is the key's default value.
// Server libraries write to it when registered; class creation reads it.

#include "platform/com/QvComExport.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace com {

class QVCOM_EXPORT RegistryStore
{
public:
    // The per-user file; JX_REGISTRY_FILE in the environment or setFilePath overrides it.
    static QString filePath();
    static void setFilePath(const QString &path);

    static bool isRoot(const QString &name);
    static bool keyExists(const QString &keyPath);
    static std::optional<QString> value(const QString &keyPath, const QString &valueName = QString());
    // Creates the key and its parents as needed.
    static bool setValue(const QString &keyPath, const QString &valueName, const QString &value);
    static bool createKey(const QString &keyPath);
    // Removes the key and everything below it.
    static bool deleteTree(const QString &keyPath);
};

} // namespace com
