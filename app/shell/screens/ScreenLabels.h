#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

/// Small helpers the phase screens share for their plain labels: a label with a font, its
/// text colour through the palette, and a label that shows a system symbol.
namespace lumora::screenlabels {

/// A label with `text` in `font`; `wraps` lets it take as many lines as it needs (Chinese
/// breaks between any two characters).
[[nodiscard]] QLabel *make(const QString &text, const QFont &font, QWidget *parent,
                           bool wraps = false);
/// Sets the colour the widget draws its text in.
void setTextColor(QWidget *widget, const QColor &color);
/// The width a screen offers its texts: its own less `padding`, or unbounded before any
/// layout gave it a size (a screen built at Qt's default width would otherwise size its
/// wrapped texts for a sliver and ask the window for their height).
[[nodiscard]] int offeredWidth(const QWidget *screen, int padding);
/// Gives a wrapping label the width it is offered up to `maxWidth`, and the height its
/// text needs at that width (layouts do not ask a centred label for it).
void fitWrapped(QLabel *label, int offered, int maxWidth);
/// Gives a wrapping label the height its text needs at `width`, leaving its width to the
/// layout.
void setWrappedHeight(QLabel *label, int width);
/// Shows `symbol` at `pixelSize` in `tint` in the label (fixed to that size).
void setSymbol(QLabel *label, const QString &symbol, int pixelSize, const QColor &tint);

} // namespace lumora::screenlabels
