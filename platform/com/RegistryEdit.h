#pragma once

// One change to the registry, made on a copy of the file's contents that was
// read under the store's lock (see RegistryStore::edit). Also the lookup form
// the store's own reads use, so keys are matched one way everywhere.

#include "platform/com/QvComExport.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace com {

class QVCOM_EXPORT RegistryEdit
{
public:
    explicit RegistryEdit(QJsonObject contents = QJsonObject());

    bool keyExists(const QString &keyPath) const;
    std::optional<QString> value(const QString &keyPath, const QString &valueName = QString()) const;
    // Creates the key and its parents as needed; false for a path outside the roots.
    bool createKey(const QString &keyPath);
    // Values live below a root, never on a root itself.
    bool setValue(const QString &keyPath, const QString &valueName, const QString &value);
    // Removes the key and everything below it; false when there was nothing to remove.
    bool deleteTree(const QString &keyPath);

    bool changed() const { return m_changed; }
    const QJsonObject &contents() const { return m_contents; }

private:
    QJsonObject m_contents;
    bool m_changed = false;
};

} // namespace com
