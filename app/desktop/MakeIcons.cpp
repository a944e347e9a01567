// pindle-make-icons SVG OUTDIR: renders the app mark into the hicolor PNG sizes
// (OUTDIR/<n>x<n>/apps/pindle.png) at build time, so the installed icons come from the
// same SVG as the window icon.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: pindle-make-icons SVG OUTDIR\n");
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "pindle-make-icons: cannot read %s\n", argv[1]);
    return 1;
  }
  for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    const QString dir =
        QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!QDir().mkpath(dir) || !image.save(dir + QStringLiteral("/pindle.png"))) {
      std::fprintf(stderr, "pindle-make-icons: cannot write %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
