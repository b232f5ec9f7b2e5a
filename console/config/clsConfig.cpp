#include "console/config/clsConfig.h"

#include "platform/Numeric.h"
#include "console/config/bCommon.h"
#include "platform/MessageBox.h"
#include "platform/com/RuntimeError.h"
#include "platform/ErrorText.h"

#include <QDate>
#include <QFileInfo>

#include <exception>

namespace jx {

namespace {
const QString kPrefix = QStringLiteral("/configuration/") + QStringLiteral("system");
const QString kLanguagePrefix = QStringLiteral("//language/system");
// Texts from the configuration end up in window titles and labels: a caption
// of megabytes freezes the window and breaks the display connection.
constexpr qsizetype kMaxCaption = 256;
constexpr qsizetype kMaxText = 4096;

QString bounded(const QString &text, qsizetype limit)
{
    return text.size() > limit ? text.left(limit) : text;
}
} // namespace

clsConfig::clsConfig() = default;
clsConfig::~clsConfig() = default;

void clsConfig::Clear()
{
    m_xml.reset();
}

int16_t clsConfig::TreeWidth() const
{
    return cint(double(m_treeWidth));
}

int16_t clsConfig::SplashDelay() const
{
    return cint(double(m_splashDelay));
}

bool clsConfig::AutoRegister() const
{
    return m_autoRegister == QLatin1String("1") || m_autoRegister == QLatin1String("true");
}

QString clsConfig::expand(const QString &path, bool lowerCase, bool noAnchor) const
{
    return SubstitutePlaceholders(lowerCase ? path.toLower() : path, noAnchor);
}

bool clsConfig::Init(const QString &fileName)
{
    try {
        m_fileName = trimBlanks(fileName);
        auto doc = com::ComPtr<XmlDocument>::adopt(new XmlDocument());
        int flags = 99;
        doc->Initialize(flags);
        if (!doc->Load(LocalPath(m_fileName), 0))
            return false;

        auto text = [&doc](const QString &key) { return bounded(toText(doc->GetValue(kPrefix + key)), kMaxText); };
        auto whole = [&text](const QString &key) { return clng(val(text(key))); };

        // Read everything first so that a refused value leaves the object as it was.
        int32_t treeWidth = clng(val(toText(doc->GetAttribute(kPrefix + QStringLiteral("/settings/treeWidth"), QStringLiteral("default")))));
        if (treeWidth < 30)
            treeWidth = 30;
        const QString caption = bounded(text(QStringLiteral("/caption")), kMaxCaption);
        const QString help = expand(text(QStringLiteral("/help")), true, false);
        QString menu = text(QStringLiteral("/menu"));
        if (!menu.isEmpty())
            menu = expand(menu, true, false);
        const int32_t menuToolWidth = whole(QStringLiteral("/menutoolwidth"));
        const QString update = trimBlanks(text(QStringLiteral("/update")));
        const QString bgLogin = text(QStringLiteral("/settings/background/login"));
        const QString bgSplash = text(QStringLiteral("/settings/background/splash"));
        const QString bgMain = text(QStringLiteral("/settings/background/main"));
        const int32_t splashDelay = whole(QStringLiteral("/settings/splashdelay"));
        if (splashDelay < 0 || splashDelay > 32767)
            return false;
        const QString rootCaption = bounded(text(QStringLiteral("/rootcaption")), kMaxCaption);
        const QString subject = bounded(text(QStringLiteral("/subject")), kMaxCaption);
        const QString autoRegister = trimBlanks(text(QStringLiteral("/settings/autoregister"))).toLower();
        const QVariant autoResizeNode = doc->GetValue(kPrefix + QStringLiteral("/settings/autoresize"));
        const bool autoResize = autoResizeNode.isNull() ? true : val(toText(autoResizeNode)) != 0.0;
        const int32_t menuMode = whole(QStringLiteral("/menumode"));
        const int32_t navigate = whole(QStringLiteral("/navigate"));
        const bool unFormStatus = val(text(QStringLiteral("/unformstatus"))) != 0.0;

        m_xml = std::move(doc);
        m_treeWidth = treeWidth;
        m_caption = caption;
        m_helpFileName = help;
        m_menuFileName = menu;
        m_menuToolWidth = menuToolWidth;
        m_updateFileName = update;
        m_backgroundLogin = bgLogin;
        m_backgroundSplash = bgSplash;
        m_backgroundMain = bgMain;
        m_splashDelay = splashDelay;
        m_rootCaption = rootCaption;
        m_subject = subject;
        m_autoRegister = autoRegister;
        m_autoResize = autoResize;
        m_menuMode = menuMode;
        m_navigate = navigate;
        m_unFormStatus = unFormStatus;
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool clsConfig::SetLanguague(const QString &languageFile, const QString &)
{
    try {
        if (!QFileInfo::exists(LocalPath(languageFile)))
            return false;
        XmlDocument doc;
        int flags = 99;
        doc.Initialize(flags);
        if (!doc.Load(LocalPath(languageFile), 0))
            return false;
        auto text = [&doc](const QString &key) { return bounded(toText(doc.GetValue(kLanguagePrefix + key)), kMaxText); };
        m_backgroundLogin = text(QStringLiteral("/settings/background/login"));
        m_backgroundSplash = text(QStringLiteral("/settings/background/splash"));
        m_backgroundMain = text(QStringLiteral("/settings/background/main"));
        m_caption = bounded(text(QStringLiteral("/caption")), kMaxCaption);
        m_helpFileName = text(QStringLiteral("/help"));
        m_menuFileName = text(QStringLiteral("/menu"));
        m_updateFileName = text(QStringLiteral("/update"));
        m_rootCaption = bounded(text(QStringLiteral("/rootcaption")), kMaxCaption);
        m_subject = bounded(text(QStringLiteral("/subject")), kMaxCaption);
        return true;
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("设置语言时出错，原因：") + errorText(e),
                      Exclamation, QStringLiteral("错误："));
        return false;
    }
}

namespace {
using Config = clsConfig;
using com::DispArgs;
using com::Variant;

void addText(com::MemberTable<Config> &t, const char *name, QString (Config::*get)() const, void (Config::*set)(const QString &))
{
    com::MemberTable<Config>::Setter setter;
    if (set)
        setter = [set](Config &self, const DispArgs &, const VARIANT &v) { (self.*set)(com::toQVariant(v).toString()); };
    t.add(QLatin1String(name), [get](Config &self, const DispArgs &) { return Variant::fromString((self.*get)()); }, setter);
}
} // namespace

const com::MemberTable<clsConfig> &clsConfig::members()
{
    static const com::MemberTable<Config> table = [] {
        com::MemberTable<Config> t;
        addText(t, "Caption", &Config::Caption, &Config::setCaption);
        addText(t, "UpdateFileName", &Config::UpdateFileName, &Config::setUpdateFileName);
        addText(t, "HelpFileName", &Config::HelpFileName, &Config::setHelpFileName);
        addText(t, "Subject", &Config::Subject, &Config::setSubject);
        addText(t, "RootCaption", &Config::RootCaption, &Config::setRootCaption);
        addText(t, "Background_main", &Config::Background_main, &Config::setBackground_main);
        addText(t, "Background_splash", &Config::Background_splash, &Config::setBackground_splash);
        addText(t, "Background_Login", &Config::Background_Login, &Config::setBackground_Login);
        addText(t, "ConfigFileName", &Config::ConfigFileName, nullptr);
        addText(t, "MenuFileName", &Config::MenuFileName, nullptr);
        t.add(QStringLiteral("XML"), [](Config &self, const DispArgs &) {
            return self.XML() ? self.XML()->toVariant() : Variant::fromDispatch(nullptr);
        });
        t.add(QStringLiteral("TreeWidth"), [](Config &self, const DispArgs &) { return Variant::fromInt16(self.TreeWidth()); });
        t.add(QStringLiteral("SplashDelay"), [](Config &self, const DispArgs &) { return Variant::fromInt16(self.SplashDelay()); });
        t.add(QStringLiteral("MenuToolWidth"), [](Config &self, const DispArgs &) { return Variant::fromDouble(self.MenuToolWidth()); });
        t.add(QStringLiteral("MenuMode"), [](Config &self, const DispArgs &) { return Variant::fromInt32(self.MenuMode()); });
        t.add(
            QStringLiteral("Navigate"), [](Config &self, const DispArgs &) { return Variant::fromInt32(self.Navigate()); },
            [](Config &self, const DispArgs &, const VARIANT &v) { self.setNavigate(com::toQVariant(v).toInt()); });
        t.add(
            QStringLiteral("AutoRegister"), [](Config &self, const DispArgs &) { return Variant::fromBool(self.AutoRegister()); },
            [](Config &self, const DispArgs &, const VARIANT &v) { self.setAutoRegister(com::toQVariant(v).toBool()); });
        t.add(
            QStringLiteral("AutoResize"), [](Config &self, const DispArgs &) { return Variant::fromBool(self.AutoResize()); },
            [](Config &self, const DispArgs &, const VARIANT &v) { self.setAutoResize(com::toQVariant(v).toBool()); });
        t.add(
            QStringLiteral("UnFormStatus"), [](Config &self, const DispArgs &) { return Variant::fromBool(self.UnFormStatus()); },
            [](Config &self, const DispArgs &, const VARIANT &v) { self.setUnFormStatus(com::toQVariant(v).toBool()); });
        return t;
    }();
    return table;
}

} // namespace jx
