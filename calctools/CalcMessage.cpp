#include "calctools/CalcMessage.h"

#include <QMessageBox>

namespace calcmsg {

namespace {

Interceptor &interceptor()
{
    static Interceptor hook;
    return hook;
}

} // namespace

int show(const QString &text, int style, const QString &title, QWidget *parent)
{
    if (interceptor())
        return interceptor()(text, style, title);
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(title);
    switch (style & 0x70) {
    case Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return 1;
}

void setInterceptor(Interceptor hook)
{
    interceptor() = std::move(hook);
}

} // namespace calcmsg
