#include "components/context/ThemeManager.h"

#include "platform/PathMapper.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QVariant>

bool ThemeManager::Load(const QString &name, const QString &folder)
{
    const QString path = jx::toLocalPath(folder);
    const QDir dir(path);
    if (path.trimmed().isEmpty() || !dir.exists())
        return false;
    QString sheet;
    QFile file(dir.filePath(QString::fromLatin1(kStyleSheetFile)));
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false;
        sheet = QString::fromUtf8(file.readAll());
    }
    m_name = name;
    m_folder = dir.absolutePath();
    m_styleSheet = sheet;
    m_loaded = true;
    return true;
}

void ThemeManager::Apply(QObject *form) const
{
    if (!form || !m_loaded)
        return;
    form->setProperty("styleSheet", m_styleSheet);
}

const com::MemberTable<ThemeManager> &ThemeManager::members()
{
    // Apply needs a window of this process; code in other libraries applies
    // the theme through the C++ object (implementationOf).
    static const com::MemberTable<ThemeManager> table = com::MemberTable<ThemeManager>()
        .add(QStringLiteral("Load"), [](ThemeManager &self, const com::DispArgs &a) {
            com::requireArgs(a, 2);
            return com::Variant::fromBool(self.Load(com::argText(a, 0), com::argText(a, 1)));
        })
        .add(QStringLiteral("Folder"), [](ThemeManager &self, const com::DispArgs &) { return com::Variant::fromString(self.Folder()); })
        .add(QStringLiteral("Name"), [](ThemeManager &self, const com::DispArgs &) { return com::Variant::fromString(self.Name()); });
    return table;
}
