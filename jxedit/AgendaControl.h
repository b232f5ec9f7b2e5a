#pragma once

#include "jxedit/AgendaView.h"
#include "jxedit/FunctionControl.h"

class QComboBox;
class QLabel;
class QScrollArea;

namespace jxedit {

/// "JxEdit.oagenda", 带看日程: the viewings of a day or a week as a calendar
/// (hours down, days across), per agent or for the team, moved a day or a
/// week at a time; Enter or a double-click opens the viewing's record. A
/// user holding 处理他人记录 (bit 128) on the program, or an administrator,
/// sees the team and may pick one agent; anyone else sees his own viewings.
/// Cancelled viewings are left out. Py_Init(context, configuration, program
/// number); "today" is the operation date.
class AgendaControl final : public FunctionControl
{
public:
    AgendaControl();

    AgendaView *view() const { return m_view; }
    QDate firstDay() const { return m_first; }
    int days() const { return m_days; }
    /// Shows one day (1) or the week (7) around the first day shown.
    void setSpan(int days);
    /// Moves a day or a week back or forward.
    void step(int direction);
    void goToday();
    bool refresh();
    bool teamView() const { return m_team; }

protected:
    bool start(const com::DispArgs &args) override;

private:
    /// The span and agent choosers and the shown dates, above the calendar.
    QWidget *chooserBar();
    void open(int id);

    AgendaView *m_view;
    QScrollArea *m_scroll;
    QComboBox *m_agent, *m_span;
    QLabel *m_range;
    QDate m_first;
    int m_days = 7;
    bool m_team = false;
    int m_recordProgram = 0;
};

} // namespace jxedit
