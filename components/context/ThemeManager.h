#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QString>

class QObject;

/// Colour theme: a folder holding a Qt style sheet ("theme.qss") and the
/// pictures the main window takes from it ("logo.gif", "title.gif", "piclogin.gif").
class JX_COMPONENTS_EXPORT ThemeManager final : public com::Dispatchable<ThemeManager>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E04-3B5D-4C7E-9F10-2A3B4C5D6E04}";
    static const com::MemberTable<ThemeManager> &members();
    using Dispatchable::setLifetimeOwner;

    /// Loads the theme from its folder. False when the folder does not exist
    /// or its style sheet cannot be read (a folder without style sheet is accepted).
    bool Load(const QString &name, const QString &folder);
    /// Folder of the loaded theme; "" when none is loaded.
    QString Folder() const { return m_folder; }
    QString Name() const { return m_name; }
    QString StyleSheet() const { return m_styleSheet; }
    /// Applies the theme's style sheet to a window; does nothing without a theme or window.
    /// Set through the window's styleSheet property, so the runtime objects need no Qt Widgets.
    void Apply(QObject *form) const;

    static constexpr const char *kStyleSheetFile = "theme.qss";

private:
    QString m_name, m_folder, m_styleSheet;
    bool m_loaded = false;
};
