#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/drawing/ISubclassingSink.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace qvtoolbar {

class SubclassChain;

// Lets a sink see chosen messages of a window, before and after the
// window's own handling, through a Qt event filter. A "before" call that
// marks the message handled stops it: neither the window nor "after" sees
// it. Several subclasses of one window nest as on the platform: the one
// made last sees a message first, and the "window's own handling" of each
// includes the subclasses made before it. The subclassing ends by itself
// when the window goes away.
class QVTOOLBAR_EXPORT clsSubclass final : public QObject
{
    Q_OBJECT
public:
    clsSubclass();
    ~clsSubclass() override;

    QVariant Tag() const { return m_tag; }
    void SetTag(const QVariant &v) { m_tag = v; }
    // The subclassed window, null when none.
    QObject *hwnd() const { return m_window; }

    // Adds each number not yet listed (wm::AllMessages = every message);
    // true when every number was new.
    bool AddBeforeMsgs(const std::vector<int32_t> &messages);
    bool AddAfterMsgs(const std::vector<int32_t> &messages);

    // False (and nothing changes) when a window is already subclassed. The
    // sink is not owned and must outlive the subclassing.
    bool Subclass(QObject *hWnd, ISubclassingSink *sink);
    // False when no window is subclassed.
    bool UnSubclass();
    // While subclassing: the window's own handling of the event (1 handled,
    // 0 not); otherwise an empty value.
    QVariant CallOrigWndProc(QEvent *event);

private:
    friend class SubclassChain;
    static bool Listed(const std::vector<int32_t> &list, int32_t msg);
    static bool Add(std::vector<int32_t> &list, const std::vector<int32_t> &messages);
    void WindowGone();

    QPointer<QObject> m_window;
    ISubclassingSink *m_sink = nullptr;
    std::vector<int32_t> m_before;
    std::vector<int32_t> m_after;
    QVariant m_tag;
    QMetaObject::Connection m_destroyed;
    QPointer<SubclassChain> m_chain;
};

} // namespace qvtoolbar
