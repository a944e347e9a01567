#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace renderscreens {

/// What every area's renderer gets: where to write and which photographs to show.
struct RenderContext {
  QString outDir;
  QString photosDir;
  /// Files written so far, for the summary line.
  int written = 0;

  /// Saves `image` as OUT/<name>.png; false (with a message on stderr) when it fails.
  bool save(const QString &name, const QImage &image);
  /// Lays out, paints and saves a widget at its current size.
  bool save(const QString &name, QWidget &widget);
};

/// One area's renderer: writes the PNGs whose names begin with `prefix`.
struct Renderer {
  QString prefix;
  std::function<void(RenderContext &)> render;
};

/// The renderers linked into the tool; each area adds one through `RegisterRenderer`.
std::vector<Renderer> &renderers();

/// Registers an area at static-initialisation time:
///   static renderscreens::RegisterRenderer reg{"card-", &renderCards};
struct RegisterRenderer {
  RegisterRenderer(QString prefix, std::function<void(RenderContext &)> render);
};

} // namespace renderscreens
