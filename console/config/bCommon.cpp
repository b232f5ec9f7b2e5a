#include "console/config/bCommon.h"

#include "platform/Numeric.h"

#include "platform/PathMapper.h"
#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>

namespace jx {

QString AppPath()
{
    return ProgramInfo::programFolder();
}

void SetAppPath(const QString &folder)
{
    ProgramInfo::setProgramFolder(folder);
}

bool IsAnchoredPath(const QString &path)
{
    return path.contains(QLatin1Char(':')) || path.startsWith(QLatin1Char('/'))
        || path.startsWith(QLatin1String("\\\\"));
}

QString ExpandPath(const QString &path, bool noAnchor, const QDate &today)
{
    const QString text = trimBlanks(path.toLower());
    if (text.isEmpty())
        return QString();
    return SubstitutePlaceholders(text, noAnchor, today);
}

QString SubstitutePlaceholders(QString text, bool noAnchor, const QDate &today)
{
    text.replace(QLatin1String("%app.path%"), AppPath());
    const QString year = QString::number(today.year()).rightJustified(4, QLatin1Char('0'));
    text.replace(QLatin1String("%year%"), year);
    text.replace(QLatin1String("%shortyear%"), year.right(2));
    if (!noAnchor) {
        if (!IsAnchoredPath(text))
            text = AppPath() + QLatin1Char('\\') + text;
        text.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    }
    return text;
}

QString FullPath(const QString &path)
{
    const QString trimmed = trimBlanks(path);
    if (IsAnchoredPath(trimmed))
        return trimmed;
    QString text = AppPath() + QLatin1Char('\\') + trimmed;
    text.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return text;
}

QString LocalPath(const QString &path)
{
    return toLocalPath(path);
}

bool MakeFolders(QString &path)
{
    const QStringList parts = path.split(QLatin1Char('\\'));
    QString sofar;
    for (int i = 0; i < parts.size(); ++i) {
        sofar = i == 0 ? parts.at(0) : sofar + QLatin1Char('\\') + parts.at(i);
        const QString local = LocalPath(sofar);
        if (!local.isEmpty())
            QDir().mkdir(local); // failures (exists, no right) are expected and ignored
    }
    return !path.isEmpty() && QFileInfo::exists(LocalPath(path));
}

bool SetWindowOpacity(QWidget *window, int percent)
{
    if (!window)
        return false;
    if (percent > 100)
        percent = 100;
    if (percent < 0)
        percent = 0;
    const int alpha = percent * 255 / 100;
    window->setWindowOpacity(alpha / 255.0);
    return true;
}

} // namespace jx
