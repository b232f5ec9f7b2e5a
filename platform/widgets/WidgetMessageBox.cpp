#include "platform/widgets/WidgetMessageBox.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace jx {

namespace {

QMessageBox::StandardButton standardButton(int style, int answer)
{
    const bool saveSet = (style & 7) == SaveDiscardCancel;
    switch (answer) {
    case Cancel:
        return QMessageBox::Cancel;
    case Abort:
        return QMessageBox::Abort;
    case Retry:
        return QMessageBox::Retry;
    case Ignore:
        return QMessageBox::Ignore;
    case Yes:
        return saveSet ? QMessageBox::Save : QMessageBox::Yes;
    case No:
        return saveSet ? QMessageBox::Discard : QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

// The record form's set names its buttons after what they do to the record.
QString captionFor(int style, int answer)
{
    if ((style & 7) != SaveDiscardCancel)
        return {}; // the standard button's own (translated) caption
    switch (answer) {
    case Yes:
        return QStringLiteral("保存");
    case No:
        return QStringLiteral("不保存");
    default:
        return QStringLiteral("取消");
    }
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

int execWidgetMessageBox(const QString &text, int style, const QString &title)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return defaultMsgResult(style);
    }

    QMessageBox box(iconFor(style), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    const QList<int> answers = msgButtons(style);
    for (const int answer : answers) {
        QPushButton *button = box.addButton(standardButton(style, answer));
        const QString caption = captionFor(style, answer);
        if (!caption.isEmpty())
            button->setText(caption);
    }
    box.setDefaultButton(standardButton(style, defaultMsgResult(style)));
    // Closing the box with Esc or the title bar answers Cancel when there is
    // one, otherwise the only or default button.
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const int answer : answers) {
        if (standardButton(style, answer) == clicked)
            return answer;
    }
    if (answers.contains(Cancel))
        return Cancel;
    return defaultMsgResult(style);
}

} // namespace jx

namespace {

// Every program that loads this library draws its boxes with it.
void installWidgetMessageBox()
{
    jx::setMessageBoxPresenter(&jx::execWidgetMessageBox);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installWidgetMessageBox)
