#include "platform/MessageBox.h"

#include "platform/ProgramInfo.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace jx {

namespace {

MessageBoxHandler &currentHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

struct ButtonSpec
{
    QMessageBox::StandardButton button;
    int result;
    QString text = {}; // empty: the standard button's own (translated) caption
};

QList<ButtonSpec> buttonsFor(int style)
{
    switch (style & 7) {
    case OKCancel:
        return {{QMessageBox::Ok, OK}, {QMessageBox::Cancel, Cancel}};
    case AbortRetryIgnore:
        return {{QMessageBox::Abort, Abort}, {QMessageBox::Retry, Retry}, {QMessageBox::Ignore, Ignore}};
    case YesNoCancel:
        return {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}, {QMessageBox::Cancel, Cancel}};
    case YesNo:
        return {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}};
    case RetryCancel:
        return {{QMessageBox::Retry, Retry}, {QMessageBox::Cancel, Cancel}};
    case SaveDiscardCancel:
        return {{QMessageBox::Save, Yes, QStringLiteral("保存")},
                {QMessageBox::Discard, No, QStringLiteral("不保存")},
                {QMessageBox::Cancel, Cancel, QStringLiteral("取消")}};
    default:
        return {{QMessageBox::Ok, OK}};
    }
}

int defaultIndex(int style, qsizetype count)
{
    const int index = (style >> 8) & 3;
    return index < count ? index : 0;
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case Critical:
        return QMessageBox::Critical;
    case Question:
        return QMessageBox::Question;
    case Exclamation:
        return QMessageBox::Warning;
    case Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int defaultMsgResult(int style)
{
    const QList<ButtonSpec> buttons = buttonsFor(style);
    return buttons[defaultIndex(style, buttons.size())].result;
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
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s: %s\n", shownTitle.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return defaultMsgResult(style);
    }

    QMessageBox box(iconFor(style), shownTitle, text, QMessageBox::NoButton, QApplication::activeWindow());
    const QList<ButtonSpec> buttons = buttonsFor(style);
    for (const ButtonSpec &b : buttons) {
        QPushButton *button = box.addButton(b.button);
        if (!b.text.isEmpty())
            button->setText(b.text);
    }
    box.setDefaultButton(buttons[defaultIndex(style, buttons.size())].button);
    // Closing the box with Esc or the title bar answers Cancel when there is
    // one, otherwise the only or default button.
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec &b : buttons) {
        if (b.button == clicked)
            return b.result;
    }
    for (const ButtonSpec &b : buttons) {
        if (b.result == Cancel)
            return Cancel;
    }
    return defaultMsgResult(style);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
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
