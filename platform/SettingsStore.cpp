#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace jx {

namespace {

QString &overrideRoot()
{
    static QString root;
    return root;
}

// QSettings treats "/" and "\" in names as group separators; keep them as
// plain characters by escaping them (and the escape character itself).
QString escapeName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%')
            out += QStringLiteral("%25");
        else if (c == u'/')
            out += QStringLiteral("%2F");
        else if (c == u'\\')
            out += QStringLiteral("%5C");
        else
            out += c;
    }
    return out;
}

// File names cannot hold every character an application key may contain.
QString safeFileName(const QString &app)
{
    QString out;
    for (const QChar c : app) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<'
            || c == u'>' || c == u'|' || c.unicode() < 32)
            out += u'_';
        else
            out += c;
    }
    if (out.isEmpty() || out == u"." || out == u"..")
        out = QStringLiteral("_") + out;
    return out;
}

// The stored spelling of `name` among `existing`, ignoring case; `name`
// itself when none matches.
QString storedName(const QStringList &existing, const QString &name)
{
    for (const QString &e : existing) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return name;
}

QString findSection(QSettings &s, const QString &section)
{
    return storedName(s.childGroups(), escapeName(section));
}

QString findKey(QSettings &s, const QString &key)
{
    return storedName(s.childKeys(), escapeName(key));
}

bool finish(QSettings &s)
{
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace

QString SettingsStore::rootFolder()
{
    if (!overrideRoot().isEmpty())
        return overrideRoot();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/JxSuite");
}

void SettingsStore::setRootFolder(const QString &path)
{
    overrideRoot() = path;
}

QString SettingsStore::fileFor(const QString &app)
{
    return rootFolder() + u'/' + safeFileName(app) + QStringLiteral(".ini");
}

QString SettingsStore::getSetting(const QString &app, const QString &section, const QString &key,
                                  const QString &defaultValue)
{
    const QString path = fileFor(app);
    if (!QFile::exists(path))
        return defaultValue;
    QSettings s(path, QSettings::IniFormat);
    const QString group = findSection(s, section);
    s.beginGroup(group);
    const QString name = findKey(s, key);
    if (!s.contains(name))
        return defaultValue;
    return s.value(name).toString();
}

bool SettingsStore::saveSetting(const QString &app, const QString &section, const QString &key,
                                const QString &value)
{
    return saveSettings(app, section, {{key, value}});
}

bool SettingsStore::saveSettings(const QString &app, const QString &section,
                                 const QList<std::pair<QString, QString>> &values)
{
    if (section.isEmpty())
        return false;
    for (const auto &entry : values) {
        if (entry.first.isEmpty())
            return false;
    }
    if (!QDir().mkpath(rootFolder()))
        return false;
    // Every write locks, rewrites and syncs the whole file to disk: the
    // sign-in stores several keys, mostly unchanged, on every start.
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.beginGroup(findSection(s, section));
    bool changed = false;
    for (const auto &[key, value] : values) {
        const QString name = findKey(s, key);
        const QVariant stored = s.value(name);
        if (stored.isValid() && stored.toString() == value)
            continue;
        s.setValue(name, value);
        changed = true;
    }
    s.endGroup();
    return !changed || finish(s);
}

bool SettingsStore::deleteSetting(const QString &app, const QString &section, const QString &key)
{
    const QString path = fileFor(app);
    if (!QFile::exists(path))
        return true;
    QSettings s(path, QSettings::IniFormat);
    if (section.isEmpty()) {
        // Clear through QSettings first so its in-process cache of the file
        // cannot bring the values back on the next save.
        s.clear();
        if (!finish(s))
            return false;
        return QFile::remove(path);
    }
    const QString group = findSection(s, section);
    if (key.isEmpty()) {
        s.remove(group);
    } else {
        s.beginGroup(group);
        s.remove(findKey(s, key));
        s.endGroup();
    }
    return finish(s);
}

} // namespace jx
