#include "platform/com/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <sys/stat.h>

namespace com {

namespace {

// How long a change waits for another program's change to finish.
constexpr int kLockWaitMs = 20000;

struct OverridePath
{
    QMutex lock;
    QString path;
};

OverridePath &overridePath()
{
    static OverridePath o;
    return o;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The contents last read, with what the file was then: every creation by
// class name asks the registry, and the file changes rarely. A change by any
// program replaces the file (a new inode), so a file that still has the same
// inode, size and time holds what was read.
struct ReadCache
{
    QMutex lock;
    QString path;
    struct stat file = {};
    QJsonObject contents;
};

ReadCache &readCache()
{
    static ReadCache c;
    return c;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec
        && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::optional<QJsonObject> readFile(const QString &path, QString *error);

// The file's contents; a missing file is an empty registry.
std::optional<QJsonObject> load(const QString &path, QString *error)
{
    struct stat now = {};
    if (::stat(QFile::encodeName(path).constData(), &now) != 0)
        return readFile(path, error);
    ReadCache &cache = readCache();
    {
        QMutexLocker locked(&cache.lock);
        if (cache.path == path && sameFile(cache.file, now))
            return cache.contents;
    }
    std::optional<QJsonObject> contents = readFile(path, error);
    struct stat after = {};
    // Kept only when the file did not change while it was read.
    if (contents && ::stat(QFile::encodeName(path).constData(), &after) == 0 && sameFile(now, after)) {
        QMutexLocker locked(&cache.lock);
        cache.path = path;
        cache.file = now;
        cache.contents = *contents;
    }
    return contents;
}

std::optional<QJsonObject> readFile(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.exists())
        return QJsonObject();
    if (!f.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot read the registry file %1: %2").arg(path, f.errorString()));
        return std::nullopt;
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setError(error, QStringLiteral("the registry file %1 is damaged (%2 at byte %3); it was left as it is")
                            .arg(path, parseError.errorString())
                            .arg(parseError.offset));
        return std::nullopt;
    }
    if (!doc.isObject()) {
        setError(error, QStringLiteral("the registry file %1 holds no registry; it was left as it is").arg(path));
        return std::nullopt;
    }
    return doc.object();
}

bool save(const QString &path, const QJsonObject &contents, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(contents).toJson(QJsonDocument::Indented)) < 0
        || !f.commit()) {
        setError(error, QStringLiteral("cannot write the registry file %1: %2").arg(path, f.errorString()));
        return false;
    }
    return true;
}

} // namespace

QString RegistryStore::filePath()
{
    {
        OverridePath &o = overridePath();
        QMutexLocker lock(&o.lock);
        if (!o.path.isEmpty())
            return o.path;
    }
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
    OverridePath &o = overridePath();
    QMutexLocker lock(&o.lock);
    o.path = path;
}

bool RegistryStore::isRoot(const QString &name)
{
    static const QStringList roots = {QStringLiteral("HKEY_CLASSES_ROOT"),     QStringLiteral("HKEY_CURRENT_USER"),
                                      QStringLiteral("HKEY_LOCAL_MACHINE"),    QStringLiteral("HKEY_USERS"),
                                      QStringLiteral("HKEY_PERFORMANCE_DATA"), QStringLiteral("HKEY_DYN_DATA"),
                                      QStringLiteral("HKEY_CURRENT_CONFIG")};
    return roots.contains(name, Qt::CaseInsensitive);
}

bool RegistryStore::keyExists(const QString &keyPath, QString *error)
{
    return RegistryEdit(load(filePath(), error).value_or(QJsonObject())).keyExists(keyPath);
}

std::optional<QString> RegistryStore::value(const QString &keyPath, const QString &valueName, QString *error)
{
    return RegistryEdit(load(filePath(), error).value_or(QJsonObject())).value(keyPath, valueName);
}

bool RegistryStore::edit(const std::function<bool(RegistryEdit &)> &change, QString *error)
{
    if (error)
        error->clear();
    const QString path = QFileInfo(filePath()).absoluteFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setError(error, QStringLiteral("cannot create the folder of the registry file %1").arg(path));
        return false;
    }
    // Threads of this process queue here; other programs at the lock file.
    static QMutex inProcess;
    QMutexLocker threadLock(&inProcess);
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        setError(error, lock.error() == QLockFile::LockFailedError
                            ? QStringLiteral("the registry file %1 is being changed by another program").arg(path)
                            : QStringLiteral("cannot lock the registry file %1").arg(path));
        return false;
    }
    // Read again under the lock: what another program wrote meanwhile must be kept.
    std::optional<QJsonObject> contents = load(path, error);
    if (!contents)
        return false;
    RegistryEdit e(std::move(*contents));
    if (!change(e)) {
        if (error && error->isEmpty())
            *error = QStringLiteral("the registry change was refused");
        return false;
    }
    return !e.changed() || save(path, e.contents(), error);
}

bool RegistryStore::setValue(const QString &keyPath, const QString &valueName, const QString &value, QString *error)
{
    return edit(
        [&](RegistryEdit &e) {
            if (e.setValue(keyPath, valueName, value))
                return true;
            setError(error, QStringLiteral("not a key that can hold values: %1").arg(keyPath));
            return false;
        },
        error);
}

bool RegistryStore::createKey(const QString &keyPath, QString *error)
{
    return edit(
        [&](RegistryEdit &e) {
            if (e.createKey(keyPath))
                return true;
            setError(error, QStringLiteral("not a registry key: %1").arg(keyPath));
            return false;
        },
        error);
}

bool RegistryStore::deleteTree(const QString &keyPath, QString *error)
{
    bool removed = false;
    const bool ok = edit(
        [&](RegistryEdit &e) {
            removed = e.deleteTree(keyPath);
            return true;
        },
        error);
    return ok && removed;
}

} // namespace com
