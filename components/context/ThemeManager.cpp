#include "components/context/ThemeManager.h"

#include "platform/PathMapper.h"

#include <QDir>
#include <QFile>
#include <QWidget>

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

void ThemeManager::Apply(QWidget *form) const
{
    if (!form || !m_loaded)
        return;
    form->setStyleSheet(m_styleSheet);
}
