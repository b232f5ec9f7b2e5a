#include "platform/com/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace com {

namespace {

QString g_overridePath;

const QStringList &roots()
{
    static const QStringList r = {QStringLiteral("HKEY_CLASSES_ROOT"),     QStringLiteral("HKEY_CURRENT_USER"),
                                  QStringLiteral("HKEY_LOCAL_MACHINE"),    QStringLiteral("HKEY_USERS"),
                                  QStringLiteral("HKEY_PERFORMANCE_DATA"), QStringLiteral("HKEY_DYN_DATA"),
                                  QStringLiteral("HKEY_CURRENT_CONFIG")};
    return r;
}

// Lower-cased, single separators, no trailing separator: the lookup form.
QString normalise(const QString &keyPath)
{
    QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\')).toLower();
}

QString rootOf(const QString &normalised)
{
    return normalised.section(QLatin1Char('\\'), 0, 0);
}

// Layout of the file: { "<lower-case key path>": { "path": "<as written>", "values": { "<lower name>": [name, value] } } }
QJsonObject load()
{
    QFile f(RegistryStore::filePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

bool save(const QJsonObject &o)
{
    const QString path = RegistryStore::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QJsonDocument(o).toJson(QJsonDocument::Indented));
    return f.commit();
}

bool ensureKey(QJsonObject &store, const QString &keyPath)
{
    const QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || !RegistryStore::isRoot(parts.first()))
        return false;
    QString path = parts.first().toUpper();
    for (int i = 1; i < parts.size(); ++i) {
        path += QLatin1Char('\\') + parts[i];
        const QString k = normalise(path);
        if (!store.contains(k))
            store.insert(k, QJsonObject{{QStringLiteral("path"), path}, {QStringLiteral("values"), QJsonObject()}});
    }
    return true;
}

} // namespace

QString RegistryStore::filePath()
{
    if (!g_overridePath.isEmpty())
        return g_overridePath;
    const QByteArray env = qgetenv("JX_REGISTRY_FILE");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/jx/registry.json");
}

void RegistryStore::setFilePath(const QString &path)
{
    g_overridePath = path;
}

bool RegistryStore::isRoot(const QString &name)
{
    return roots().contains(name, Qt::CaseInsensitive);
}

bool RegistryStore::keyExists(const QString &keyPath)
{
    const QString k = normalise(keyPath);
    if (k.isEmpty() || !isRoot(rootOf(k)))
        return false;
    if (!k.contains(QLatin1Char('\\')))
        return true;
    return load().contains(k);
}

std::optional<QString> RegistryStore::value(const QString &keyPath, const QString &valueName)
{
    const QJsonObject store = load();
    const QJsonObject key = store.value(normalise(keyPath)).toObject();
    const QJsonValue v = key.value(QStringLiteral("values")).toObject().value(valueName.toLower());
    if (!v.isArray())
        return std::nullopt;
    return v.toArray().at(1).toString();
}

bool RegistryStore::createKey(const QString &keyPath)
{
    QJsonObject store = load();
    if (!ensureKey(store, keyPath))
        return false;
    return save(store);
}

bool RegistryStore::setValue(const QString &keyPath, const QString &valueName, const QString &value)
{
    QJsonObject store = load();
    if (!ensureKey(store, keyPath))
        return false;
    const QString k = normalise(keyPath);
    if (!k.contains(QLatin1Char('\\')))
        return false; // values live below a root, not on it
    QJsonObject key = store.value(k).toObject();
    QJsonObject values = key.value(QStringLiteral("values")).toObject();
    values.insert(valueName.toLower(), QJsonArray{valueName, value});
    key.insert(QStringLiteral("values"), values);
    store.insert(k, key);
    return save(store);
}

bool RegistryStore::deleteTree(const QString &keyPath)
{
    const QString k = normalise(keyPath);
    if (!k.contains(QLatin1Char('\\')))
        return false;
    QJsonObject store = load();
    bool removed = false;
    for (const QString &name : store.keys()) {
        if (name == k || name.startsWith(k + QLatin1Char('\\'))) {
            store.remove(name);
            removed = true;
        }
    }
    return removed ? save(store) : false;
}

} // namespace com
