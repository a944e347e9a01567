#pragma once

// Helpers of the shell's renderer: schemes, photographs from --photos, a grid of photo tiles
// and the main window with its menus.

#include "RenderRegistry.h"

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace renderscreens::shellrender {

enum class Scheme { dark, light };

/// "<base>-dark" or "<base>-light".
[[nodiscard]] QString name(const QString &base, Scheme scheme);
/// Puts `root` into `scheme`, shows it offscreen and lets layouts settle.
void prepare(QWidget &root, Scheme scheme);
/// Runs the event loop until `done` or one second.
void spinUntil(const std::function<bool()> &done);
/// The index-th photograph of the --photos folder (cycling), filling `size` (aspect fill);
/// a grey stand-in when the folder has none.
[[nodiscard]] QPixmap photo(RenderContext &ctx, int index, QSize size);

/// A photo with rounded corners, as the grid's cards and the detail tiles show one.
class PhotoTile : public QWidget {
public:
  PhotoTile(QPixmap pixmap, qreal radius, QWidget *parent = nullptr);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QPixmap m_pixmap;
  qreal m_radius;
};

/// A screen of twelve photo tiles in four columns, as a results grid looks.
[[nodiscard]] QWidget *photoScreen(RenderContext &ctx, QWidget *parent);
/// The first tile's rectangle in the screen's parent.
[[nodiscard]] QRect firstTileRect(QWidget *screen);
/// Every known symbol with its name, in a grid.
void fillSymbolGrid(QWidget &sheet, Scheme scheme);
/// The main window at 1150 × 780 and 900 × 600, and each of its menus open.
void renderWindows(RenderContext &ctx, Scheme scheme);

} // namespace renderscreens::shellrender
