#include "app/shell/components/AlphaBlur.h"

#include <QPainter>
#include <algorithm>
#include <vector>

namespace lumora::alphablur {
namespace {

// One box pass over the `count` alpha values `stride` bytes apart from `alpha`. `line` holds
// the values before the pass, so the running sum reads none it has already written.
void blurLine(uchar *alpha, int count, int stride, int half, Edge edge, std::vector<int> &line) {
  line.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    line[static_cast<std::size_t>(i)] = alpha[i * stride];
  }
  auto at = [&](int i) {
    if (edge == Edge::Extended) {
      return line[static_cast<std::size_t>(std::clamp(i, 0, count - 1))];
    }
    return i >= 0 && i < count ? line[static_cast<std::size_t>(i)] : 0;
  };
  const int width = 2 * half + 1;
  int sum = 0;
  for (int i = -half; i <= half; ++i) {
    sum += at(i);
  }
  for (int i = 0; i < count; ++i) {
    alpha[i * stride] = static_cast<uchar>(sum / width);
    sum += at(i + half + 1) - at(i - half);
  }
}

} // namespace

void blur(QImage &mask, int half, Edge edge) {
  if (mask.isNull()) {
    return;
  }
  std::vector<int> line;
  uchar *bits = mask.bits();
  const int stride = static_cast<int>(mask.bytesPerLine());
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < mask.height(); ++y) {
      blurLine(bits + y * stride, mask.width(), 1, half, edge, line);
    }
    for (int x = 0; x < mask.width(); ++x) {
      blurLine(bits + x, mask.height(), stride, half, edge, line);
    }
  }
}

QImage tinted(const QImage &mask, const QColor &color) {
  QImage image(mask.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(color);
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  painter.drawImage(0, 0, mask);
  painter.end();
  return image;
}

} // namespace lumora::alphablur
