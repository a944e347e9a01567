#include "app/results/MonthHeaderPainter.h"

#include "app/results/ResultsLayout.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Texts.h"

#include <QFontMetricsF>
#include <QPainter>

namespace lumora::monthheaderpainter {
namespace {

constexpr double kSidePadding = 20;
constexpr double kTopPadding = 8 + 2; // the sticky header's 8 plus the header's own 2
constexpr double kBottomPadding = 8;
constexpr double kSpacing = 8;
constexpr int kTitlePixels = 13;
constexpr int kCountPixels = 11;

} // namespace

QPixmap render(const QString &title, std::int64_t groupCount, int width, bool pinned,
               const Theme &theme, qreal devicePixelRatio) {
  const int height = ResultsLayout::kHeaderHeight;
  QPixmap pixmap(QSize(qMax(width, 1), height) * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::TextAntialiasing);
  if (pinned) {
    // The material is a translucent fill; over the window's own background it hides the
    // cards that scroll beneath the header, as a blurred bar would.
    painter.fillRect(QRectF(0, 0, width, height), theme.windowBackground);
    painter.fillRect(QRectF(0, 0, width, height), theme.barMaterial);
    painter.fillRect(QRectF(0, height - 1, width, 1), theme.primaryAt(0.08));
  }
  // The row's items are centred on one line between the paddings.
  const double centerY = kTopPadding + (height - kTopPadding - kBottomPadding) / 2;
  const QFont titleFont = Theme::font(kTitlePixels, Theme::Weight::semibold);
  const QFont countFont = Theme::font(kCountPixels);
  const QString count = texts::groupCountText(groupCount);
  double x = kSidePadding;
  const auto drawText = [&](const QFont &font, const QColor &color, const QString &text) {
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(color);
    const double baseline = centerY + (metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPointF(x, baseline), text);
    x += metrics.horizontalAdvance(text) + kSpacing;
  };
  drawText(titleFont, theme.primary, title);
  drawText(countFont, theme.primaryAt(0.72), count);
  const double lineWidth = width - kSidePadding - x;
  if (lineWidth > 0) {
    painter.fillRect(QRectF(x, centerY - 0.5, lineWidth, 1), theme.primaryAt(0.08));
  }
  return pixmap;
}

} // namespace lumora::monthheaderpainter
