#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

/// System symbol names (the names the views use, such as "star.fill" or "trash") drawn from
/// the Breeze icon theme. Outline and filled forms stay distinct: a filled form uses a
/// filled Breeze icon where one exists, otherwise ".circle.fill" / ".seal.fill" knock the
/// glyph out of a filled disc and ".circle" / ".seal" draw it inside a ring. A name without
/// a mapping draws a visible stand-in (a dashed square with a question mark), never nothing.
/// GUI thread only.
namespace platform::symbols {

/// Points Qt at the Breeze theme and the system icon folders. Qt's offscreen platform looks
/// only in its own resources otherwise. Safe to call more than once; `pixmap` calls it.
void installIconTheme();

/// The Breeze icon name the symbol's glyph is drawn from, or an empty string when the
/// symbol is unknown or drawn here without a theme icon.
[[nodiscard]] QString themeIconName(const QString &symbol);

/// Whether `symbol` has a mapping (the ones the application uses all do).
[[nodiscard]] bool isKnown(const QString &symbol);

/// The symbol drawn in `tint` into a square of `pixelSize` device-independent pixels at
/// `devicePixelRatio`. Results are cached by all four arguments.
[[nodiscard]] QPixmap pixmap(const QString &symbol, int pixelSize, const QColor &tint,
                             qreal devicePixelRatio = 1.0);

/// An icon for menus and buttons: the symbol in `tint` at the usual small sizes.
[[nodiscard]] QIcon icon(const QString &symbol, const QColor &tint);

/// Every symbol name with a mapping, for tests and the screenshot tool.
[[nodiscard]] QStringList knownSymbols();

} // namespace platform::symbols
