#include "toolbar/control/ToolbarEnums.h"

namespace qvtoolbar {

namespace {
const char *const kThemeNames[] = {"Blue", "Silver", "Olive", "Visual2005", "Norton2004", "Autodetect"};
}

QString BtnStyleName(BtnStyleCont style)
{
    switch (style) {
    case NormalButton: return QStringLiteral("Normal button");
    case CheckButton: return QStringLiteral("Check button");
    case DropdownButton: return QStringLiteral("Dropdown button");
    }
    return QString();
}

QString ThemeName(ThemeConst theme)
{
    if (theme < Blue || theme > Autodetect)
        return QString();
    return QString::fromLatin1(kThemeNames[theme]);
}

bool ThemeFromName(const QString &name, ThemeConst *theme)
{
    for (int i = Blue; i <= Autodetect; ++i) {
        if (name.compare(QLatin1String(kThemeNames[i]), Qt::CaseInsensitive) == 0) {
            if (theme)
                *theme = static_cast<ThemeConst>(i);
            return true;
        }
    }
    return false;
}

} // namespace qvtoolbar
