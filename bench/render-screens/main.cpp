// render-screens OUT --photos DIR [--only PREFIX]: renders every screen state of the
// application offscreen, one PNG per state, named by area ("shell-", "screens-", "root-",
// "card-", "results-", "detail-", "preview-", "info-"). Each area registers its own
// renderer in a file of this folder; --only runs the areas whose prefix starts with PREFIX.

#include "RenderRegistry.h"

#include "platform/core/imaging/VipsRuntime.h"

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <cstdio>

namespace renderscreens {

std::vector<Renderer> &renderers() {
  static std::vector<Renderer> all;
  return all;
}

RegisterRenderer::RegisterRenderer(QString prefix, std::function<void(RenderContext &)> render) {
  renderers().push_back({std::move(prefix), std::move(render)});
}

bool RenderContext::save(const QString &name, const QImage &image) {
  const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
  if (image.isNull() || !image.save(path)) {
    std::fprintf(stderr, "render-screens: cannot write %s\n", qPrintable(path));
    return false;
  }
  ++written;
  return true;
}

bool RenderContext::save(const QString &name, QWidget &widget) {
  widget.ensurePolished();
  QCoreApplication::processEvents();
  return save(name, widget.grab().toImage());
}

} // namespace renderscreens

namespace {

int usage() {
  std::fprintf(stderr, "usage: render-screens OUT --photos DIR [--only PREFIX]\n");
  return 2;
}

} // namespace

int main(int argc, char **argv) {
  // libvips writes environment variables while it starts: before any thread exists.
  (void)platform::vipsruntime::ensureStarted();
  qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  renderscreens::RenderContext context;
  QString only;
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--photos") && i + 1 < args.size()) {
      context.photosDir = args[++i];
    } else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) {
      only = args[++i];
    } else if (context.outDir.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
      context.outDir = args[i];
    } else {
      return usage();
    }
  }
  if (context.outDir.isEmpty() || context.photosDir.isEmpty()) {
    return usage();
  }
  if (!QDir().mkpath(context.outDir)) {
    std::fprintf(stderr, "render-screens: cannot create %s\n", qPrintable(context.outDir));
    return 1;
  }
  for (const auto &renderer : renderscreens::renderers()) {
    if (only.isEmpty() || renderer.prefix.startsWith(only)) {
      renderer.render(context);
    }
  }
  std::printf("render-screens: wrote %d images to %s\n", context.written,
              qPrintable(context.outDir));
  return 0;
}
