#pragma once

#include <QColor>

class QWidget;

/// Small helpers the info center's widgets share for their looks.
namespace lumora::InfoStyle {

/// Gives a label (or any text widget) the text colour `color`.
void setTextColor(QWidget *label, const QColor &color);

} // namespace lumora::InfoStyle
