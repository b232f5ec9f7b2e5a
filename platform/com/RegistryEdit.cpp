#include "platform/com/RegistryEdit.h"

#include "platform/com/RegistryStore.h"

#include <QJsonArray>
#include <QStringList>

namespace com {

namespace {

// Layout of the contents:
// { "<lower-case key path>": { "path": "<as written>", "values": { "<lower name>": [name, value] } } }
const QString kPath = QStringLiteral("path");
const QString kValues = QStringLiteral("values");

// Lower-cased, single separators, no trailing separator: the lookup form.
QString normalise(const QString &keyPath)
{
    return keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\')).toLower();
}

} // namespace

RegistryEdit::RegistryEdit(QJsonObject contents) : m_contents(std::move(contents)) {}

bool RegistryEdit::keyExists(const QString &keyPath) const
{
    const QString k = normalise(keyPath);
    if (k.isEmpty() || !RegistryStore::isRoot(k.section(QLatin1Char('\\'), 0, 0)))
        return false;
    return !k.contains(QLatin1Char('\\')) || m_contents.contains(k);
}

std::optional<QString> RegistryEdit::value(const QString &keyPath, const QString &valueName) const
{
    const QJsonObject key = m_contents.value(normalise(keyPath)).toObject();
    const QJsonValue v = key.value(kValues).toObject().value(valueName.toLower());
    if (!v.isArray())
        return std::nullopt;
    return v.toArray().at(1).toString();
}

bool RegistryEdit::createKey(const QString &keyPath)
{
    const QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || !RegistryStore::isRoot(parts.first()))
        return false;
    QString path = parts.first().toUpper();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        path += QLatin1Char('\\') + parts[i];
        const QString k = normalise(path);
        if (!m_contents.contains(k)) {
            m_contents.insert(k, QJsonObject{{kPath, path}, {kValues, QJsonObject()}});
            m_changed = true;
        }
    }
    return true;
}

bool RegistryEdit::setValue(const QString &keyPath, const QString &valueName, const QString &value)
{
    const QString k = normalise(keyPath);
    if (!k.contains(QLatin1Char('\\')) || !createKey(keyPath))
        return false;
    QJsonObject key = m_contents.value(k).toObject();
    QJsonObject values = key.value(kValues).toObject();
    values.insert(valueName.toLower(), QJsonArray{valueName, value});
    key.insert(kValues, values);
    m_contents.insert(k, key);
    m_changed = true;
    return true;
}

bool RegistryEdit::deleteTree(const QString &keyPath)
{
    const QString k = normalise(keyPath);
    if (!k.contains(QLatin1Char('\\')))
        return false;
    bool removed = false;
    const QStringList names = m_contents.keys();
    for (const QString &name : names) {
        if (name == k || name.startsWith(k + QLatin1Char('\\'))) {
            m_contents.remove(name);
            removed = true;
        }
    }
    m_changed = m_changed || removed;
    return removed;
}

} // namespace com
