#pragma once

#include "jx_platform_export.h"

#include <QList>
#include <QString>

#include <functional>

namespace jx {

// Message box styles: one button set plus one icon plus one default button.
enum MsgStyle : int {
    OKOnly = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    // 保存 / 不保存 / 取消 for a record with unsaved changes; answers Yes, No or Cancel.
    SaveDiscardCancel = 6,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton1 = 0,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};

// The button the user pressed.
enum MsgResult : int {
    OK = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
};

using MessageBoxHandler = std::function<int(const QString &text, int style, const QString &title)>;

// Shows a modal message box and returns the pressed button. An empty title
// shows the program title. When a handler is installed it is called instead
// (with the title as shown) and its answer is returned. Without a widget
// application the text goes to standard error and the default button is
// returned.
JX_PLATFORM_EXPORT int msgBox(const QString &text, int style = OKOnly, const QString &title = QString());

// The box itself, never the handler: for a handler that only arranges the
// screen around the box (the splash steps aside) and then shows it. The box
// is drawn by the presenter the widgets part installs (platform/widgets);
// without one the text goes to standard error and the default button is
// returned.
JX_PLATFORM_EXPORT int showMessageBox(const QString &text, int style = OKOnly, const QString &title = QString());

// Installs a handler (an empty function removes it); returns the previous one.
JX_PLATFORM_EXPORT MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

// Installs what draws the box (an empty function removes it); returns the
// previous one. Kept apart from the handler so that this library needs no
// Qt Widgets: the widgets part installs its box when it is loaded, and a
// command-line program without it answers on standard error.
JX_PLATFORM_EXPORT MessageBoxHandler setMessageBoxPresenter(MessageBoxHandler presenter);

// The answers of the style's buttons, in the order they are shown.
JX_PLATFORM_EXPORT QList<int> msgButtons(int style);

// The answer an unattended box gives: the default button of its button set.
JX_PLATFORM_EXPORT int defaultMsgResult(int style);

// For tests: records every box shown while it lives and answers each with
// the queued answers first, then with the fixed answer.
class JX_PLATFORM_EXPORT ScopedMessageBoxRecorder final
{
public:
    struct Box
    {
        QString text;
        int style = 0;
        QString title;
    };

    explicit ScopedMessageBoxRecorder(int answer = OK);
    ~ScopedMessageBoxRecorder();
    ScopedMessageBoxRecorder(const ScopedMessageBoxRecorder &) = delete;
    ScopedMessageBoxRecorder &operator=(const ScopedMessageBoxRecorder &) = delete;

    void setAnswer(int answer) { m_answer = answer; }
    void queueAnswer(int answer) { m_queue.append(answer); }

    const QList<Box> &boxes() const { return m_boxes; }
    int count() const { return static_cast<int>(m_boxes.size()); }
    // The last box; an empty one when none was shown.
    Box last() const { return m_boxes.isEmpty() ? Box{} : m_boxes.last(); }
    void clear() { m_boxes.clear(); }

private:
    int m_answer;
    QList<int> m_queue;
    QList<Box> m_boxes;
    MessageBoxHandler m_previous;
};

} // namespace jx
