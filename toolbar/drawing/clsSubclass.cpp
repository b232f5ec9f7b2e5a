#include "toolbar/drawing/clsSubclass.h"

#include "toolbar/drawing/WindowMessages.h"

#include <algorithm>

namespace qvtoolbar {

clsSubclass::clsSubclass() = default;

clsSubclass::~clsSubclass()
{
    UnSubclass();
}

bool clsSubclass::Listed(const std::vector<int32_t> &list, int32_t msg)
{
    return std::find(list.begin(), list.end(), wm::AllMessages) != list.end()
        || std::find(list.begin(), list.end(), msg) != list.end();
}

bool clsSubclass::Add(std::vector<int32_t> &list, const std::vector<int32_t> &messages)
{
    bool allNew = true;
    for (int32_t m : messages) {
        if (std::find(list.begin(), list.end(), m) != list.end())
            allNew = false;
        else
            list.push_back(m);
    }
    return allNew;
}

bool clsSubclass::AddBeforeMsgs(const std::vector<int32_t> &messages)
{
    return Add(m_before, messages);
}

bool clsSubclass::AddAfterMsgs(const std::vector<int32_t> &messages)
{
    return Add(m_after, messages);
}

bool clsSubclass::Subclass(QObject *hWnd, ISubclassingSink *sink)
{
    if (m_window || !hWnd)
        return false;
    m_window = hWnd;
    m_sink = sink;
    hWnd->installEventFilter(this);
    m_destroyed = connect(hWnd, &QObject::destroyed, this, &clsSubclass::WindowGone);
    return true;
}

bool clsSubclass::UnSubclass()
{
    if (!m_window)
        return false;
    m_window->removeEventFilter(this);
    disconnect(m_destroyed);
    m_window = nullptr;
    m_sink = nullptr;
    return true;
}

void clsSubclass::WindowGone()
{
    // The window's destruction ends the subclassing; this object can
    // subclass another window afterwards.
    disconnect(m_destroyed);
    m_window = nullptr;
    m_sink = nullptr;
}

QVariant clsSubclass::CallOrigWndProc(QEvent *event)
{
    if (!m_window || !event)
        return QVariant();
    return QVariant(int32_t(m_window->event(event) ? 1 : 0));
}

bool clsSubclass::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || !m_sink)
        return false;
    int32_t msg = wm::MessageOf(event);
    const bool before = Listed(m_before, msg);
    const bool after = Listed(m_after, msg);
    if (!before && !after)
        return false; // straight to the window, no sink call
    bool handled = false;
    int32_t result = 0;
    if (before) {
        m_sink->Before(handled, result, watched, msg, event);
        if (handled)
            return true;
    }
    if (!after)
        return false;
    // The window's own handling runs here so that "after" follows it; the
    // event is then not delivered a second time.
    QPointer<QObject> alive(watched);
    result = watched->event(event) ? 1 : 0;
    if (alive && m_window == watched && m_sink)
        m_sink->After(result, watched, msg, event);
    return true;
}

} // namespace qvtoolbar
