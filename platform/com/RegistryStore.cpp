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

jx::Result<QJsonObject> readFile(const QString &path);

// The file's contents; a missing file is an empty registry.
jx::Result<QJsonObject> load(const QString &path)
{
    struct stat now = {};
    if (::stat(QFile::encodeName(path).constData(), &now) != 0)
        return readFile(path);
    ReadCache &cache = readCache();
    {
        QMutexLocker locked(&cache.lock);
        if (cache.path == path && sameFile(cache.file, now))
            return cache.contents;
    }
    jx::Result<QJsonObject> contents = readFile(path);
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

jx::Result<QJsonObject> readFile(const QString &path)
{
    QFile f(path);
    if (!f.exists())
        return QJsonObject();
    if (!f.open(QIODevice::ReadOnly))
        return jx::fail(QStringLiteral("cannot read the registry file %1: %2").arg(path, f.errorString()));
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return jx::fail(QStringLiteral("the registry file %1 is damaged (%2 at byte %3); it was left as it is")
                            .arg(path, parseError.errorString())
                            .arg(parseError.offset));
    if (!doc.isObject())
        return jx::fail(QStringLiteral("the registry file %1 holds no registry; it was left as it is").arg(path));
    return doc.object();
}

jx::Result<> save(const QString &path, const QJsonObject &contents)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(contents).toJson(QJsonDocument::Indented)) < 0
        || !f.commit())
        return jx::fail(QStringLiteral("cannot write the registry file %1: %2").arg(path, f.errorString()));
    return {};
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

jx::Result<bool> RegistryStore::keyExists(const QString &keyPath)
{
    // A root is there whatever the file holds.
    if (RegistryEdit().keyExists(keyPath))
        return true;
    const auto contents = load(filePath());
    if (!contents)
        return jx::fail(contents.error());
    return RegistryEdit(*contents).keyExists(keyPath);
}

jx::Result<std::optional<QString>> RegistryStore::value(const QString &keyPath, const QString &valueName)
{
    const auto contents = load(filePath());
    if (!contents)
        return jx::fail(contents.error());
    return RegistryEdit(*contents).value(keyPath, valueName);
}

jx::Result<> RegistryStore::edit(const std::function<jx::Result<>(RegistryEdit &)> &change)
{
    const QString path = QFileInfo(filePath()).absoluteFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return jx::fail(QStringLiteral("cannot create the folder of the registry file %1").arg(path));
    // Threads of this process queue here; other programs at the lock file.
    static QMutex inProcess;
    QMutexLocker threadLock(&inProcess);
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return jx::fail(lock.error() == QLockFile::LockFailedError
                            ? QStringLiteral("the registry file %1 is being changed by another program").arg(path)
                            : QStringLiteral("cannot lock the registry file %1").arg(path));
    // Read again under the lock: what another program wrote meanwhile must be kept.
    jx::Result<QJsonObject> contents = load(path);
    if (!contents)
        return jx::fail(contents.error());
    RegistryEdit e(std::move(*contents));
    if (const auto changed = change(e); !changed)
        return jx::fail(changed.error().isEmpty() ? QStringLiteral("the registry change was refused") : changed.error());
    if (!e.changed())
        return {};
    return save(path, e.contents());
}

jx::Result<> RegistryStore::setValue(const QString &keyPath, const QString &valueName, const QString &value)
{
    return edit([&](RegistryEdit &e) -> jx::Result<> {
        if (e.setValue(keyPath, valueName, value))
            return {};
        return jx::fail(QStringLiteral("not a key that can hold values: %1").arg(keyPath));
    });
}

jx::Result<> RegistryStore::createKey(const QString &keyPath)
{
    return edit([&](RegistryEdit &e) -> jx::Result<> {
        if (e.createKey(keyPath))
            return {};
        return jx::fail(QStringLiteral("not a registry key: %1").arg(keyPath));
    });
}

jx::Result<bool> RegistryStore::deleteTree(const QString &keyPath)
{
    bool removed = false;
    const auto done = edit([&](RegistryEdit &e) -> jx::Result<> {
        removed = e.deleteTree(keyPath);
        return {};
    });
    if (!done)
        return jx::fail(done.error());
    return removed;
}

} // namespace com
