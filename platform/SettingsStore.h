#pragma once

#include "jx_platform_export.h"

#include <QList>
#include <QString>

#include <utility>

namespace jx {

// Per-user text settings addressed by application key, section and key, one
// INI file per application key below the root folder. Section and key names
// match without regard to letter case, as in the Windows settings store.
// Reading never writes anything.
class JX_PLATFORM_EXPORT SettingsStore final
{
public:
    // The stored text, or defaultValue when there is none.
    static QString getSetting(const QString &app, const QString &section, const QString &key,
                              const QString &defaultValue = QString());
    // Stores the text; false when the file could not be written. A value
    // that is already stored as it stands is not written again.
    static bool saveSetting(const QString &app, const QString &section, const QString &key,
                            const QString &value);
    // Stores several keys of one section with one write of the file (none
    // when every value is already stored as it stands).
    static bool saveSettings(const QString &app, const QString &section,
                             const QList<std::pair<QString, QString>> &values);
    // Deletes one key; with an empty key the whole section, with an empty
    // section too every setting of the application. False on a write error.
    static bool deleteSetting(const QString &app, const QString &section = QString(),
                              const QString &key = QString());

    // Folder holding the files; defaults to a folder below the user's
    // configuration folder. An empty text restores the default.
    static QString rootFolder();
    static void setRootFolder(const QString &path);

    // Full path of the file for an application key.
    static QString fileFor(const QString &app);
};

} // namespace jx
