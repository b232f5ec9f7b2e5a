#include "toolbar/drawing/clsSubclass.h"

#include "toolbar/drawing/WindowMessages.h"

#include <algorithm>

namespace qvtoolbar {

// The one event filter of a window that has subclasses: it runs them in the
// platform's nesting (last made first for "before", first made first for
// "after"), so that no subclass swallows a message one made earlier on the
// same window has listed. It lives as a child of the window and goes when
// the last subclass ends or with the window.
class SubclassChain final : public QObject
{
public:
    static SubclassChain *of(QObject *window)
    {
        for (QObject *child : window->children())
            if (auto *chain = dynamic_cast<SubclassChain *>(child))
                return chain;
        return new SubclassChain(window);
    }

    void add(clsSubclass *member) { m_members.emplace_back(member); }
    void remove(clsSubclass *member)
    {
        std::erase_if(m_members, [member](const QPointer<clsSubclass> &m) { return !m || m == member; });
        if (m_members.empty()) {
            // Possibly from inside a sink this chain is calling: go later,
            // but off the window now so a new subclass starts a new chain.
            parent()->removeEventFilter(this);
            setParent(nullptr);
            deleteLater();
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit SubclassChain(QObject *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

    std::vector<QPointer<clsSubclass>> m_members; // first made first
};

bool SubclassChain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != parent())
        return false;
    // A copy: a sink may end a subclassing while it is called.
    const std::vector<QPointer<clsSubclass>> members = m_members;
    int32_t msg = wm::MessageOf(event);
    bool handled = false;
    int32_t result = 0;
    // Each subclass checks its "after" list against the message as it
    // passed it on, that is as its own "before" left it.
    std::vector<std::pair<QPointer<clsSubclass>, int32_t>> after;
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        clsSubclass *s = *it;
        if (!s || s->m_window != watched || !s->m_sink)
            continue;
        if (clsSubclass::Listed(s->m_before, msg)) {
            s->m_sink->Before(handled, result, watched, msg, event);
            if (handled)
                return true;
        }
        if (clsSubclass::Listed(s->m_after, msg))
            after.emplace_back(s, msg);
    }
    if (after.empty())
        return false; // on to the window as usual
    // The window's own handling runs here so that "after" follows it; the
    // event is then not delivered a second time.
    QPointer<QObject> alive(watched);
    result = watched->event(event) ? 1 : 0;
    for (auto it = after.rbegin(); it != after.rend(); ++it) {
        clsSubclass *s = it->first;
        if (!alive || !s || s->m_window != watched || !s->m_sink)
            continue;
        s->m_sink->After(result, watched, it->second, event);
    }
    return true;
}

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
    m_chain = SubclassChain::of(hWnd);
    m_chain->add(this);
    m_destroyed = connect(hWnd, &QObject::destroyed, this, &clsSubclass::WindowGone);
    return true;
}

bool clsSubclass::UnSubclass()
{
    if (!m_window)
        return false;
    if (m_chain)
        m_chain->remove(this);
    m_chain = nullptr;
    disconnect(m_destroyed);
    m_window = nullptr;
    m_sink = nullptr;
    return true;
}

void clsSubclass::WindowGone()
{
    // The window's destruction ends the subclassing (its chain goes with
    // it); this object can subclass another window afterwards.
    disconnect(m_destroyed);
    m_chain = nullptr;
    m_window = nullptr;
    m_sink = nullptr;
}

QVariant clsSubclass::CallOrigWndProc(QEvent *event)
{
    if (!m_window || !event)
        return QVariant();
    return QVariant(int32_t(m_window->event(event) ? 1 : 0));
}

} // namespace qvtoolbar
