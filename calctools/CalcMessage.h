#pragma once

#include <QString>

#include <functional>

class QWidget;

// The calculators' message boxes go through here so that tests can answer them.
namespace calcmsg {

enum Style {
    OkOnly = 0,
    Critical = 16,
    Exclamation = 48,
    Information = 64,
};

// Shows a message box with an OK button; returns the button pressed (1 = OK).
int show(const QString &text, int style, const QString &title, QWidget *parent = nullptr);

// Replaces the box with a function (tests); an empty function restores the box.
using Interceptor = std::function<int(const QString &text, int style, const QString &title)>;
void setInterceptor(Interceptor interceptor);

} // namespace calcmsg
