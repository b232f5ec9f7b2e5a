#pragma once

#include <QString>

#include <functional>

class Database;

namespace jx {

class MainForm;

// The diagram page's report column: one button per active major report
// below a directory, after the design-time template button.
class ReportMenu final
{
public:
    // `click` gets a report button's index when the operator clicks it.
    ReportMenu(MainForm &ui, std::function<void(int)> click);

    // Rebuilds the column for the directory `code`; false when it has no
    // reports. Raises what the database raises.
    bool load(::Database &db, const QString &code);
    // Takes the buttons but the template away. A report button that opens
    // a directory rebuilds the column from inside its own click, so the old
    // buttons are deleted once that click has returned.
    void clear();

private:
    MainForm &m_ui;
    std::function<void(int)> m_click;
};

} // namespace jx
