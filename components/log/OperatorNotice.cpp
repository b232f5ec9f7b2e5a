#include "components/log/OperatorNotice.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {
OperatorNotice::Handler &handlerSlot()
{
    static OperatorNotice::Handler handler;
    return handler;
}

void showBox(OperatorNotice::Icon icon, const QString &title, const QString &text)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // No widgets to show a box with: the entry is still in the log file.
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return;
    }
    const auto qicon = icon == OperatorNotice::Icon::Critical ? QMessageBox::Critical
        : icon == OperatorNotice::Icon::Exclamation           ? QMessageBox::Warning
                                                              : QMessageBox::Information;
    QMessageBox box(qicon, title, text, QMessageBox::Ok);
    box.exec();
}
} // namespace

OperatorNotice::Handler OperatorNotice::setHandler(Handler handler)
{
    Handler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

bool OperatorNotice::iconForKind(int32_t kind, Icon &icon)
{
    switch (kind) {
    case 2: icon = Icon::Information; return true;
    case 4: icon = Icon::Exclamation; return true;
    case 8: icon = Icon::Critical; return true;
    default: return false;
    }
}

void OperatorNotice::show(Icon icon, const QString &title, const QString &text)
{
    if (handlerSlot())
        handlerSlot()(icon, title, text);
    else
        showBox(icon, title, text);
}
