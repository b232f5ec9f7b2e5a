#pragma once

#include <QString>

#include <cstdint>

namespace qvcontrols {
class ControlContainer;
class ControlSite;
class Panel;
} // namespace qvcontrols

namespace jx {

class ConsoleSession;

// The function controls the main window hosts, one per page of the work
// area, each named after its page (TabPages::controlName). One of them is
// current: the one whose page the operator works in.
class PageFunctions final
{
public:
    PageFunctions(ConsoleSession &session, qvcontrols::ControlContainer &controls);

    // The current function's site; null when none is current.
    qvcontrols::ControlSite *current() const;
    // Makes the function of a page current; false when that page hosts none
    // (its function failed to start).
    bool makeCurrent(int page);

    // Creates the control of a menu kind on the page, current from then on,
    // and starts it for the program with the session's context and
    // configuration (taking back what its start left in them). False when the
    // kind has no control or the start said no (logged).
    bool start(qvcontrols::Panel *page, int pageNumber, int32_t programNumber, int32_t kind, const QString &menuName);
    // Shows a started function filling its page.
    void show(int pageNumber, const qvcontrols::Panel *page) const;
    // Fits the function of a page to it; the function gets the focus when
    // the page is shown.
    void fit(int pageNumber, qvcontrols::Panel *page) const;

    // Clears (its member Clear) and removes the function of a page.
    void close(int pageNumber);
    // Clears and removes every function; raises what a Clear raises.
    void closeAll();
    // Asks every function whether it may close; false at the first one the
    // operator keeps.
    bool mayClose() const;

private:
    ConsoleSession &m_session;
    qvcontrols::ControlContainer &m_controls;
    QString m_current;
};

} // namespace jx
