#include "toolbar/control/ThemeColorSet.h"

#include "toolbar/control/ToolbarColors.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QStyle>

namespace qvtoolbar {

namespace {
constexpr int32_t rgb(uint32_t hex)
{
    return static_cast<int32_t>(((hex >> 16) & 0xFF) | (hex & 0xFF00) | ((hex & 0xFF) << 16));
}

// Columns Blue, Silver, Olive, Visual2005, Norton2004 (values as RRGGBB).
const ThemeColorSet kColumns[5] = {
    {rgb(0xDDECFE), rgb(0x81A9E2), rgb(0x3B619C), rgb(0x002D96), rgb(0xFFF5CE), rgb(0xFFCF8E),
     rgb(0xFED38E), rgb(0xFE914E), rgb(0x76A7F1), rgb(0x003591), rgb(0xFFF4CC), rgb(0xFFC57D)},
    {rgb(0xF4F4FB), rgb(0x9997B4), rgb(0x7C7C94), rgb(0x4B4B6F), rgb(0xFFF5CE), rgb(0xFFCF8E),
     rgb(0xFED38E), rgb(0xFE914E), rgb(0xB4B3C8), rgb(0x767492), rgb(0xFFF4CC), rgb(0xFFC57D)},
    {rgb(0xF7F9E1), rgb(0xB5C58F), rgb(0x608058), rgb(0x3F5D38), rgb(0xFFF5CE), rgb(0xFFCF8E),
     rgb(0xFED38E), rgb(0xFE914E), rgb(0xB1C38D), rgb(0x60776B), rgb(0xFFF4CC), rgb(0xFFC57D)},
    {rgb(0xF8F8F2), rgb(0xC2C2AB), rgb(0x919173), rgb(0x316AC5), rgb(0xBFD1EF), rgb(0xBFD1EF),
     rgb(0x95B3E4), rgb(0x95B3E4), rgb(0xD0D0C6), rgb(0x949477), rgb(0xBFD1EF), rgb(0xBFD1EF)},
    {rgb(0xFFEFA5), rgb(0xD9AC01), rgb(0x755B1E), rgb(0x755B1E), rgb(0xFFF5CE), rgb(0xFFCF8E),
     rgb(0xFED38E), rgb(0xFE914E), rgb(0xF5B35A), rgb(0x755B1E), rgb(0xFFF4CC), rgb(0xFFC57D)},
};

void setOrange(ThemeColorSet &s)
{
    const ThemeColorSet &b = kColumns[Blue];
    s.OverTop = b.OverTop;
    s.OverBottom = b.OverBottom;
    s.PressedTop = b.PressedTop;
    s.PressedBottom = b.PressedBottom;
    s.ChevronHotTop = b.ChevronHotTop;
    s.ChevronHotBottom = b.ChevronHotBottom;
}

void setSix(ThemeColorSet &s, const ThemeColorSet &c)
{
    s.BarLight = c.BarLight;
    s.BarDark = c.BarDark;
    s.SeparatorColor = c.SeparatorColor;
    s.BorderColor = c.BorderColor;
    s.ChevronTop = c.ChevronTop;
    s.ChevronBottom = c.ChevronBottom;
}

SchemeNameProvider &provider()
{
    static SchemeNameProvider p;
    return p;
}

// Default mapping of a Linux desktop (see toolbar/DESIGN.md): the classic
// "Windows" widget style counts as unthemed; otherwise the hue of the
// palette's highlight colour picks the nearest XP scheme.
QString defaultSchemeName()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QString();
    QStyle *style = QApplication::style();
    if (!style || style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0)
        return QString();
    const QColor hl = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    const int hue = hl.hsvHue();
    if (hl.hsvSaturation() < 40 || hue < 0)
        return QStringLiteral("Metallic");
    if (hue >= 180 && hue <= 260)
        return QStringLiteral("NormalColor");
    if (hue >= 60 && hue < 180)
        return QStringLiteral("HomeStead");
    return QStringLiteral("Metallic");
}
} // namespace

ThemeColorSet ThemeColorSet::Column(ThemeConst theme)
{
    if (theme >= Blue && theme <= Norton2004)
        return kColumns[theme];
    return kColumns[Silver];
}

void ThemeColorSet::SetThemeColors(ThemeConst theme)
{
    setOrange(*this);
    switch (theme) {
    case Blue:
    case Olive:
    case Norton2004:
        setSix(*this, kColumns[theme]);
        break;
    case Visual2005:
        *this = kColumns[Visual2005];
        break;
    default:
        setSix(*this, kColumns[Silver]);
        break;
    }
}

void ThemeColorSet::DetectThemeColors(const QString &schemeName)
{
    setOrange(*this);
    if (schemeName == QLatin1String("NormalColor"))
        setSix(*this, kColumns[Blue]);
    else if (schemeName == QLatin1String("HomeStead"))
        setSix(*this, kColumns[Olive]);
    else
        setSix(*this, kColumns[Silver]);
}

void SetSchemeNameProvider(SchemeNameProvider p)
{
    provider() = std::move(p);
}

QString CurrentSchemeName()
{
    QString name = provider() ? provider()() : defaultSchemeName();
    const int nul = name.indexOf(QChar(0));
    if (nul >= 0)
        name.truncate(nul);
    return name;
}

} // namespace qvtoolbar
