#pragma once

#include <QString>

#include <functional>

class QPainter;
class QWidget;

namespace qvcontrols {

// Paints `widget` from Qt's pixmap cache: the look named `key` (which must
// name everything the look depends on, size and pixel ratio included) is drawn
// once by `paint` onto a transparent pixmap the widget's size, and copied from
// there by every widget that looks the same.
void paintCachedLook(QWidget &widget, const QString &key, const std::function<void(QPainter &)> &paint);

} // namespace qvcontrols
