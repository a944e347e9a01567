#pragma once

#include <QColor>

class QHBoxLayout;
class QWidget;

/// Small helpers the info center's widgets share for their looks.
namespace lumora::infostyle {

/// Gives a label (or any text widget) the text colour `color`.
void setTextColor(QWidget *label, const QColor &color);

/// A row of buttons or labels: a child of `parent` with a margin-less horizontal layout of
/// `spacing`, returned through `layout`.
QWidget *makeRow(QWidget *parent, int spacing, QHBoxLayout *&layout);

} // namespace lumora::infostyle
