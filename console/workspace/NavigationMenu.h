#pragma once

#include <QString>

#include <functional>

class Recordset;

namespace jx {

class ConsoleSession;
class MainForm;
class MenuIconCache;

// The navigation panel's groups and the menu buttons of the selected group.
// Per group it remembers the entry opened last (settings "_ButTag" + group
// caption); between runs the selected group and the number of group buttons
// shown (section "main" of the configuration's caption).
class NavigationMenu final
{
public:
    // `click` gets a menu button's index when the operator clicks it.
    NavigationMenu(ConsoleSession &session, MainForm &ui, std::function<void(int)> click);

    // One group per system catalogue of the rows, in their order, each with
    // the icon of its first entry.
    void addGroups(::Recordset &rs, MenuIconCache &icons);
    // Selects the remembered group (group 1 when none is, or it has gone)
    // and shows the remembered number of group buttons.
    void restoreGroup();
    // Rebuilds the buttons of a group below the template button, centred,
    // with their icons (when there are icons). Returns the index of the
    // button to open: the remembered entry's, else the first; 0 for none.
    int buildButtons(const QString &group, MenuIconCache *icons);
    // Removes every button but the template.
    void clearButtons();

    QString groupCaption() const;
    // The breadcrumb's last entry, as remembered for the group.
    QString lastCrumb() const;
    // Remembers the breadcrumb's last entry for the selected group.
    void rememberEntry();
    // Stores the selected group, the number of group buttons shown and the
    // group's last entry; nothing when no group is selected.
    void store();

private:
    QString app() const;

    ConsoleSession &m_session;
    MainForm &m_ui;
    std::function<void(int)> m_click;
};

} // namespace jx
