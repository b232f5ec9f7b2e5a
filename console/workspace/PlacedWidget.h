#pragma once

#include <QString>

class QWidget;

namespace jx {

// A control of the twips family made under `parent`, named and placed in twips.
template<typename T>
T *placed(QWidget *parent, const QString &name, int left, int top, int width, int height)
{
    T *widget = new T(parent);
    widget->setObjectName(name);
    widget->Move(left, top, width, height);
    return widget;
}

} // namespace jx
