// Measures how evenly a filmed transition spreads its change over the frames.
//
//   frame-steps DIR [--band Y0 Y1] [--from N] [--max SHARE]
//
// DIR holds the frames of one film (0001.png, 0002.png, …, as bench/drive-window's film step
// writes them). Over the band of rows Y0…Y1 (default: all rows), the change of the whole
// film is the sum of the absolute differences, channel by channel, between the last frame and
// frame N (default 1); each frame's step is the same sum between it and the frame before. A
// transition that moves smoothly spreads its change over many frames; one that holds the old
// picture and then swaps carries nearly all of it in one step. Prints each frame's share of
// the change and the largest; exits 1 when the largest share exceeds SHARE (default 1/3), 2
// on bad input.

#include <QDir>
#include <QImage>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Options {
  QString dir;
  int bandTop = 0;
  int bandBottom = -1;
  int from = 1;
  double maxShare = 1.0 / 3.0;
};

bool parse(int argc, char **argv, Options &options) {
  if (argc < 2) {
    return false;
  }
  options.dir = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--band" && i + 2 < argc) {
      options.bandTop = std::atoi(argv[i + 1]);
      options.bandBottom = std::atoi(argv[i + 2]);
      i += 2;
    } else if (arg == "--from" && i + 1 < argc) {
      options.from = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--max" && i + 1 < argc) {
      options.maxShare = std::atof(argv[++i]);
    } else {
      return false;
    }
  }
  return true;
}

/// The sum of absolute channel differences of two frames over the rows top…bottom.
double difference(const QImage &a, const QImage &b, int top, int bottom) {
  double sum = 0;
  const int width = std::min(a.width(), b.width());
  for (int y = top; y < bottom; ++y) {
    const auto *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
    const auto *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      sum += std::abs(qRed(ra[x]) - qRed(rb[x])) + std::abs(qGreen(ra[x]) - qGreen(rb[x])) +
             std::abs(qBlue(ra[x]) - qBlue(rb[x]));
    }
  }
  return sum;
}

QImage load(const QString &path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

} // namespace

int main(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: frame-steps DIR [--band Y0 Y1] [--from N] [--max SHARE]\n");
    return 2;
  }
  const QDir dir(options.dir);
  const QStringList names = dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
  if (names.size() < options.from + 1) {
    std::fprintf(stderr, "frame-steps: fewer than two frames in %s\n", qPrintable(options.dir));
    return 2;
  }
  const QImage first = load(dir.filePath(names[options.from - 1]));
  const QImage last = load(dir.filePath(names.back()));
  const int bottom = options.bandBottom < 0 ? first.height() : options.bandBottom;
  const int top = std::clamp(options.bandTop, 0, first.height());
  const int end = std::clamp(bottom, top, std::min(first.height(), last.height()));
  const double total = difference(first, last, top, end);
  if (total <= 0) {
    std::printf("no change over rows %d…%d\n", top, end);
    return 0;
  }
  double largest = 0;
  QImage previous = first;
  for (qsizetype i = options.from; i < names.size(); ++i) {
    const QImage frame = load(dir.filePath(names[i]));
    const double share = difference(previous, frame, top, std::min(end, frame.height())) / total;
    std::printf("%s %.3f\n", qPrintable(names[i]), share);
    largest = std::max(largest, share);
    previous = frame;
  }
  std::printf("largest step %.3f of the change over rows %d…%d\n", largest, top, end);
  return largest > options.maxShare ? 1 : 0;
}
