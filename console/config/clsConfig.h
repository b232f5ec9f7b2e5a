#pragma once

#include "components/xml/XmlDocument.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace jx {

// The installation's configuration: typed values read once from the XML file
// beside the executable, plus the kept document for further keys.
// Reference-counted: function controls and plug-ins are handed it by
// reference and read it late-bound (Caption, XML.GetValue, ...).
class clsConfig final : public com::Dispatchable<clsConfig>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E0A-3B5D-4C7E-9F10-2A3B4C5D6E0A}";
    static const com::MemberTable<clsConfig> &members();

    clsConfig();
    ~clsConfig();

    // The kept document; nullptr before a successful Init or after Clear.
    XmlDocument *XML() const { return m_xml.get(); }
    void Clear();

    QString Background_main() const { return m_backgroundMain; }
    void setBackground_main(const QString &v) { m_backgroundMain = v; }
    QString Background_splash() const { return m_backgroundSplash; }
    void setBackground_splash(const QString &v) { m_backgroundSplash = v; }
    QString Background_Login() const { return m_backgroundLogin; }
    void setBackground_Login(const QString &v) { m_backgroundLogin = v; }

    // Loads the file and reads every value. False (values untouched) when the
    // file is missing or malformed, or a value cannot be taken (a splash delay
    // outside 0..32767 is refused here rather than failing after start-up).
    bool Init(const QString &fileName);
    QString ConfigFileName() const { return m_fileName; }
    QString MenuFileName() const { return m_menuFileName; }
    QString UpdateFileName() const { return m_updateFileName; }
    void setUpdateFileName(const QString &v) { m_updateFileName = v; }

    // Raises the overflow run-time error when the stored value exceeds 16 bits.
    int16_t TreeWidth() const;
    void setTreeWidth(int16_t v) { m_treeWidth = v; }
    int16_t SplashDelay() const;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &v) { m_caption = v; }
    QString HelpFileName() const { return m_helpFileName; }
    void setHelpFileName(const QString &v) { m_helpFileName = v; }
    double MenuToolWidth() const { return double(m_menuToolWidth); }

    bool AutoRegister() const;
    void setAutoRegister(bool v) { m_autoRegister = v ? QStringLiteral("1") : QStringLiteral("0"); }
    bool AutoResize() const { return m_autoResize; }
    void setAutoResize(bool v) { m_autoResize = v; }

    // Overrides the texts named in a language file; the code is not used.
    bool SetLanguague(const QString &languageFile, const QString &languageCode);

    QString Subject() const { return m_subject; }
    void setSubject(const QString &v) { m_subject = v; }
    QString RootCaption() const { return m_rootCaption; }
    void setRootCaption(const QString &v) { m_rootCaption = v; }
    int32_t MenuMode() const { return m_menuMode; }
    int32_t Navigate() const { return m_navigate; }
    void setNavigate(int32_t v) { m_navigate = v; }
    bool UnFormStatus() const { return m_unFormStatus; }
    void setUnFormStatus(bool v) { m_unFormStatus = v; }

private:
    QString expand(const QString &path, bool lowerCase, bool noAnchor) const;

    QString m_fileName;
    com::ComPtr<XmlDocument> m_xml;
    int32_t m_treeWidth = 0;
    QString m_caption = QStringLiteral("简衡系统");
    QString m_helpFileName;
    QString m_updateFileName;
    QString m_menuFileName;
    int32_t m_menuToolWidth = 0;
    int32_t m_splashDelay = 0;
    int32_t m_menuMode = 0;
    int32_t m_navigate = 0;
    QString m_backgroundMain;
    QString m_backgroundSplash;
    QString m_backgroundLogin;
    QString m_rootCaption;
    QString m_subject;
    QString m_autoRegister;
    bool m_autoResize = false;
    bool m_unFormStatus = false;
};

} // namespace jx
