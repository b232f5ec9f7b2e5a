#pragma once

#include <QString>

class QWidget;

/// Colour theme: a folder holding a Qt style sheet ("theme.qss") and the
/// pictures the main window takes from it ("logo.gif", "title.gif", "piclogin.gif").
class ThemeManager
{
public:
    /// Loads the theme from its folder. False when the folder does not exist
    /// or its style sheet cannot be read (a folder without style sheet is accepted).
    bool Load(const QString &name, const QString &folder);
    /// Folder of the loaded theme; "" when none is loaded.
    QString Folder() const { return m_folder; }
    QString Name() const { return m_name; }
    QString StyleSheet() const { return m_styleSheet; }
    /// Applies the theme's style sheet to a window; does nothing without a theme or window.
    void Apply(QWidget *form) const;

    static constexpr const char *kStyleSheetFile = "theme.qss";

private:
    QString m_name, m_folder, m_styleSheet;
    bool m_loaded = false;
};
