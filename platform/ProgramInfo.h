#pragma once

#include "jx_platform_export.h"

#include <QString>

namespace jx {

// Facts about the running program: where it lives, its version and the
// texts of its version resource. Setters exist so that start-up code and
// tests can override what is derived from the executable.
class JX_PLATFORM_EXPORT ProgramInfo final
{
public:
    // Folder of the executable, without a trailing separator.
    static QString programFolder();
    static void setProgramFolder(const QString &folder); // "" restores the default

    // Base name of the executable (without folder and extension).
    static QString exeName();
    static void setExeName(const QString &name);

    static int versionMajor();
    static int versionMinor();
    static int versionRevision();
    // "major.minor.revision"
    static QString versionText();

    static QString title(); // default "JxMain1"
    static void setTitle(const QString &title);

    static QString helpFile(); // default empty: no help
    static void setHelpFile(const QString &file);

    static QString fileDescription();
    static void setFileDescription(const QString &text);
    static QString copyright();
    static void setCopyright(const QString &text);
    static QString trademarks();
    static void setTrademarks(const QString &text);
    static QString companyName();
    static void setCompanyName(const QString &text);
};

} // namespace jx
