#include "platform/MessageBox.h"

#include "platform/ProgramInfo.h"

#include <cstdio>

namespace jx {

namespace {

MessageBoxHandler &currentHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

MessageBoxHandler &currentPresenter()
{
    static MessageBoxHandler presenter;
    return presenter;
}

} // namespace

QList<int> msgButtons(int style)
{
    switch (style & 7) {
    case OKCancel:
        return {OK, Cancel};
    case AbortRetryIgnore:
        return {Abort, Retry, Ignore};
    case YesNoCancel:
    case SaveDiscardCancel:
        return {Yes, No, Cancel};
    case YesNo:
        return {Yes, No};
    case RetryCancel:
        return {Retry, Cancel};
    default:
        return {OK};
    }
}

int defaultMsgResult(int style)
{
    const QList<int> buttons = msgButtons(style);
    const int index = (style >> 8) & 3;
    return buttons[index < buttons.size() ? index : 0];
}

int msgBox(const QString &text, int style, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? ProgramInfo::title() : title;
    if (currentHandler())
        return currentHandler()(text, style, shownTitle);
    return showMessageBox(text, style, shownTitle);
}

int showMessageBox(const QString &text, int style, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? ProgramInfo::title() : title;
    if (currentPresenter())
        return currentPresenter()(text, style, shownTitle);
    std::fprintf(stderr, "%s: %s\n", shownTitle.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    return defaultMsgResult(style);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

MessageBoxHandler setMessageBoxPresenter(MessageBoxHandler presenter)
{
    MessageBoxHandler previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

ScopedMessageBoxRecorder::ScopedMessageBoxRecorder(int answer) : m_answer(answer)
{
    m_previous = setMessageBoxHandler([this](const QString &text, int style, const QString &title) {
        m_boxes.append(Box{text, style, title});
        if (!m_queue.isEmpty())
            return m_queue.takeFirst();
        return m_answer;
    });
}

ScopedMessageBoxRecorder::~ScopedMessageBoxRecorder()
{
    setMessageBoxHandler(std::move(m_previous));
}

} // namespace jx
