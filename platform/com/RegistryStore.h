#pragma once

// The registry: a hierarchical store of keys with string values, kept in one
// JSON file per user. Key paths are "ROOT\sub\key" with a full root name
// (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA, HKEY_CURRENT_CONFIG); names compare
// without regard to letter case. The empty value name is the key's default value.
// Server libraries write to it when registered; class creation reads it.
//
// Every change takes the file's lock (a QLockFile beside it), reads the file
// again under that lock, and replaces it atomically (QSaveFile), so programs
// registering at the same time never lose each other's entries. A file that
// cannot be read or parsed is reported and never written over.

#include "platform/com/RegistryEdit.h"
#include "platform/com/Result.h"

#include <QString>

#include <functional>
#include <optional>

namespace com {

class QVCOM_EXPORT RegistryStore
{
public:
    // The per-user file; JX_REGISTRY_FILE in the environment or setFilePath overrides it.
    static QString filePath();
    static void setFilePath(const QString &path);

    static bool isRoot(const QString &name);
    // Reads see the file as the last completed change left it. A file that
    // cannot be read fails with the reason; `.valueOr(false)` and
    // `.valueOr(std::nullopt)` read it as empty.
    static jx::Result<bool> keyExists(const QString &keyPath);
    // The value, nullopt when the key or the value is missing.
    static jx::Result<std::optional<QString>> value(const QString &keyPath, const QString &valueName = QString());

    // Runs `change` on the current contents under the lock and writes the result
    // when it succeeds and changed something. Fails when the file cannot be
    // locked, read, parsed or written, or with the reason `change` refused.
    // `change` must not call back into the store's changes.
    static jx::Result<> edit(const std::function<jx::Result<>(RegistryEdit &)> &change);

    // Single changes, each one edit.
    static jx::Result<> setValue(const QString &keyPath, const QString &valueName, const QString &value);
    static jx::Result<> createKey(const QString &keyPath);
    // Removes the key and everything below it; false when there was nothing to remove.
    static jx::Result<bool> deleteTree(const QString &keyPath);
};

} // namespace com
