#include "components/log/OperatorNotice.h"

#include "platform/MessageBox.h"

#include <QStringList>

namespace {
OperatorNotice::Handler &handlerSlot()
{
    static OperatorNotice::Handler handler;
    return handler;
}

// The texts of the AlreadyShown scopes alive, innermost last.
QStringList &shownTexts()
{
    static QStringList texts;
    return texts;
}

void showBox(OperatorNotice::Icon icon, const QString &title, const QString &text)
{
    const int style = icon == OperatorNotice::Icon::Critical ? jx::Critical
        : icon == OperatorNotice::Icon::Exclamation           ? jx::Exclamation
                                                              : jx::Information;
    jx::msgBox(text, jx::OKOnly | style, title);
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
    if (shownTexts().contains(text))
        return;
    if (handlerSlot())
        handlerSlot()(icon, title, text);
    else
        showBox(icon, title, text);
}

OperatorNotice::AlreadyShown::AlreadyShown(const QString &text)
{
    shownTexts().append(text);
}

OperatorNotice::AlreadyShown::~AlreadyShown()
{
    shownTexts().removeLast();
}
