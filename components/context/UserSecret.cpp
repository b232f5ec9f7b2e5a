#include "components/context/UserSecret.h"

#include "components/context/Sodium.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>

#ifdef JX_HAVE_LIBSECRET
// GLib names a structure member after Qt's "signals" keyword.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")
#endif

namespace {

const QString kFileName = QStringLiteral("string-cipher.key");

QByteArray freshSecret()
{
    QByteArray secret(UserSecret::kSize, '\0');
    randombytes_buf(secret.data(), static_cast<size_t>(secret.size()));
    return secret;
}

#ifdef JX_HAVE_LIBSECRET
const SecretSchema *schema()
{
    static const SecretSchema s = {"jx.StringCipher",
                                   SECRET_SCHEMA_NONE,
                                   {{"purpose", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                   0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &s;
}

// Without a session bus libsecret would try to start one: not worth a delay
// on a machine that has no desktop session.
bool sessionBusPresent()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")));
}

SecretService *serviceOrNull()
{
    if (!sessionBusPresent())
        return nullptr;
    GError *error = nullptr;
    SecretService *service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error);
    if (error)
        g_error_free(error);
    return service;
}

// The secret kept in the service: nullopt when no service answers, empty when
// it holds none that can be read without unlocking. Nothing here unlocks: an
// unlock puts up a prompt, and sign-in must not wait for someone to answer it.
std::optional<QByteArray> fromService()
{
    SecretService *service = serviceOrNull();
    if (!service)
        return std::nullopt;
    GHashTable *attributes = secret_attributes_build(schema(), "purpose", "string-cipher", nullptr);
    GError *error = nullptr;
    GList *items = secret_service_search_sync(service, schema(), attributes, SECRET_SEARCH_LOAD_SECRETS, nullptr, &error);
    g_hash_table_unref(attributes);
    g_object_unref(service);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    QByteArray secret;
    for (GList *i = items; i && secret.isEmpty(); i = i->next) {
        auto *item = static_cast<SecretItem *>(i->data);
        if (secret_item_get_locked(item))
            continue;
        if (SecretValue *value = secret_item_get_secret(item)) {
            const QByteArray found = QByteArray::fromBase64(QByteArray(secret_value_get_text(value)));
            if (found.size() == UserSecret::kSize)
                secret = found;
            secret_value_unref(value);
        }
    }
    g_list_free_full(items, g_object_unref);
    return secret;
}

// Stores the secret in the default collection when that is open; a locked or
// missing one would need a prompt, so the caller keeps the secret elsewhere.
bool storeInService(const QByteArray &secret)
{
    SecretService *service = serviceOrNull();
    if (!service)
        return false;
    GError *error = nullptr;
    SecretCollection *collection =
        secret_collection_for_alias_sync(service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, &error);
    bool stored = false;
    if (collection && !secret_collection_get_locked(collection)) {
        GHashTable *attributes = secret_attributes_build(schema(), "purpose", "string-cipher", nullptr);
        SecretValue *value = secret_value_new(secret.toBase64().constData(), -1, "text/plain");
        stored = secret_service_store_sync(service, schema(), attributes, SECRET_COLLECTION_DEFAULT,
                                           "JX remembered password key", value, nullptr, &error);
        secret_value_unref(value);
        g_hash_table_unref(attributes);
    }
    if (collection)
        g_object_unref(collection);
    if (error)
        g_error_free(error);
    g_object_unref(service);
    return stored;
}
#endif

} // namespace

UserSecret::UserSecret()
    : m_folder(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("jx")))
{
}

UserSecret::UserSecret(const QString &folder) : m_folder(folder), m_askService(false) {}

QString UserSecret::filePath() const { return QDir(m_folder).filePath(kFileName); }

QByteArray UserSecret::value(bool create) const
{
    m_error.clear();
    if (!jxSodiumReady()) {
        m_error = QStringLiteral("libsodium cannot be used");
        return {};
    }
#ifdef JX_HAVE_LIBSECRET
    if (m_askService) {
        if (const std::optional<QByteArray> kept = fromService()) {
            if (!kept->isEmpty())
                return *kept;
            // The service answers but holds none: an earlier store may have
            // failed (a prompt cancelled) and the secret gone to the file.
            const QByteArray inFile = fromFile(false);
            if (!inFile.isEmpty() || !create)
                return inFile;
            m_error.clear();
            const QByteArray secret = freshSecret();
            if (storeInService(secret))
                return secret;
        }
    }
#endif
    return fromFile(create);
}

QByteArray UserSecret::fromFile(bool create) const
{
    const QString path = filePath();
    const QFileInfo info(path);
    if (info.exists()) {
        constexpr QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther;
        if (!info.isFile() || info.ownerId() != ::geteuid() || (info.permissions() & others)) {
            m_error = QStringLiteral("%1 is not a file only its user can read; it is not used").arg(path);
            return {};
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
            return {};
        }
        const QByteArray secret = f.read(kSize + 1);
        if (secret.size() == kSize)
            return secret;
        m_error = QStringLiteral("%1 is damaged").arg(path);
        return {};
    }
    if (!create)
        return {};
    // Written under a private name with mode 0600 from the start, then linked
    // into place: a reader never sees half a secret, and when two programs
    // make one at once the first link wins and both use it.
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("cannot create the folder %1").arg(m_folder);
        return {};
    }
    const QByteArray secret = freshSecret();
    const QByteArray temp = QFile::encodeName(path + QStringLiteral(".%1.new").arg(::getpid()));
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("cannot write %1").arg(path);
        return {};
    }
    const bool written = ::write(fd, secret.constData(), kSize) == kSize && ::fsync(fd) == 0;
    ::close(fd);
    const bool linked = written && ::link(temp.constData(), QFile::encodeName(path).constData()) == 0;
    ::unlink(temp.constData());
    if (linked)
        return secret;
    if (written && QFileInfo::exists(path))
        return fromFile(false); // another program was first
    m_error = QStringLiteral("cannot write %1").arg(path);
    return {};
}
