#include "app/results/MonthIndexRail.h"

#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr double kLabelPointsPerEntry = 26;
constexpr std::size_t kMinimumLabels = 6;
constexpr double kTrackInset = 3;
constexpr double kTrackWidth = 3;
constexpr double kTrackEndInset = 8;
constexpr double kMarkerWidth = 5;
constexpr double kMarkerHeight = 20;
constexpr double kMarkerX = 2;
constexpr double kLabelTrailingPadding = 14;
constexpr int kLabelFontPixels = 11;

QColor withAlpha(QColor color, double alpha) {
  color.setAlphaF(static_cast<float>(color.alphaF() * alpha));
  return color;
}

} // namespace

MonthIndexRail::MonthIndexRail(QWidget *parent) : QWidget(parent), m_labelProgress(motion::fast()) {
  m_labelProgress.jumpTo(1.0);
  connect(&m_labelProgress, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
  setAttribute(Qt::WA_Hover);
  setToolTip(localized::string("拖动跳到对应年月", "拖动跳到对应年月"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void MonthIndexRail::setSections(QStringList ids, QStringList titles) {
  if (ids == m_ids && titles == m_titles) {
    return;
  }
  m_ids = std::move(ids);
  m_titles = std::move(titles);
  update();
}

void MonthIndexRail::setCurrentID(std::optional<QString> id) {
  if (id == m_currentID) {
    return;
  }
  m_previousID = std::move(m_currentID);
  m_currentID = std::move(id);
  // The same ease-out with reduce motion on: it only moves a colour and a weight.
  m_labelProgress.jumpTo(0.0);
  m_labelProgress.animateTo(1.0);
  update();
}

void MonthIndexRail::setEmphasized(bool emphasized) {
  if (emphasized == m_emphasized) {
    return;
  }
  m_emphasized = emphasized;
  update();
}

void MonthIndexRail::setContentOpacity(double opacity) {
  if (opacity == m_contentOpacity) {
    return;
  }
  m_contentOpacity = opacity;
  update();
}

void MonthIndexRail::setGroupOpacity(double opacity) {
  if (opacity == m_groupOpacity) {
    return;
  }
  m_groupOpacity = opacity;
  update();
}

std::vector<std::size_t> MonthIndexRail::railEntries(std::size_t sectionCount,
                                                     std::size_t maxCount) {
  std::vector<std::size_t> entries;
  if (maxCount >= sectionCount) {
    for (std::size_t i = 0; i < sectionCount; ++i) {
      entries.push_back(i);
    }
    return entries;
  }
  if (maxCount == 0) {
    // No room for labels at all: the first and the last still show.
    return {0, sectionCount - 1};
  }
  const double step = static_cast<double>(sectionCount) / static_cast<double>(maxCount);
  double position = 0;
  std::size_t index = 0;
  do {
    entries.push_back(index);
    position += step;
    index = static_cast<std::size_t>(position);
  } while (index < sectionCount);
  if (entries.back() != sectionCount - 1) {
    entries.push_back(sectionCount - 1);
  }
  return entries;
}

std::size_t MonthIndexRail::maxCountFor(double height) {
  const double perLabel = std::max(height, 1.0) / kLabelPointsPerEntry;
  return std::max(kMinimumLabels, static_cast<std::size_t>(std::min(perLabel, 1e6)));
}

std::optional<double> MonthIndexRail::currentFraction(std::optional<std::size_t> index,
                                                      std::size_t count) {
  if (!index || count == 0 || *index >= count) {
    return std::nullopt;
  }
  return (static_cast<double>(*index) + 0.5) / static_cast<double>(count);
}

int MonthIndexRail::railWidth(const QStringList &titles) {
  // Pixel sizes are whole numbers: measure at twice 10.5 px and halve.
  const QFontMetricsF metrics(Theme::font(static_cast<int>(2 * kLabelMeasureFontPixels)));
  double widest = 0;
  for (const QString &title : titles) {
    widest = std::max(widest, metrics.horizontalAdvance(title) / 2);
  }
  return std::max(static_cast<int>(std::ceil(widest)) + kWidthPadding, kMinimumWidth);
}

std::size_t MonthIndexRail::sectionAt(double y, double height, std::size_t count) {
  double fraction = y / std::max(height, 1.0);
  if (!(fraction >= 0)) {
    fraction = 0; // below zero, or not a number
  }
  fraction = std::min(fraction, 0.9999);
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(count));
  return std::min(count - 1, index);
}

void MonthIndexRail::dragTo(double y) {
  if (m_ids.isEmpty()) {
    return;
  }
  const std::size_t index = sectionAt(y, height(), static_cast<std::size_t>(m_ids.size()));
  const QString &id = m_ids[static_cast<qsizetype>(index)];
  if (m_draggingID == id) {
    return;
  }
  m_draggingID = id;
  emit sectionSelected(id);
}

void MonthIndexRail::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    dragTo(event->position().y());
  }
}

void MonthIndexRail::mouseMoveEvent(QMouseEvent *event) {
  if (event->buttons() & Qt::LeftButton) {
    dragTo(event->position().y());
  }
}

void MonthIndexRail::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    m_draggingID.reset();
  }
}

void MonthIndexRail::enterEvent(QEnterEvent *event) {
  QWidget::enterEvent(event);
  emit hoveringChanged(true);
}

void MonthIndexRail::leaveEvent(QEvent *event) {
  QWidget::leaveEvent(event);
  emit hoveringChanged(false);
}

std::optional<std::size_t> MonthIndexRail::currentIndex() const {
  if (!m_currentID) {
    return std::nullopt;
  }
  const qsizetype index = m_ids.indexOf(*m_currentID);
  return index < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(index));
}

void MonthIndexRail::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const Theme &theme = Theme::of(this);
  painter.setOpacity(m_groupOpacity);
  painter.fillRect(rect(), theme.barMaterial);
  painter.fillRect(QRectF(0, 0, 1, height()), theme.primaryAt(0.06));
  painter.setOpacity(m_groupOpacity * m_contentOpacity);
  paintTrackAndMarker(painter);
  paintLabels(painter);
}

void MonthIndexRail::paintTrackAndMarker(QPainter &painter) const {
  const double h = std::max<double>(height(), 1);
  const Theme &theme = Theme::of(this);
  const QRectF track(kTrackInset, kTrackEndInset, kTrackWidth,
                     std::max(0.0, h - 2 * kTrackEndInset));
  painter.setPen(Qt::NoPen);
  painter.setBrush(theme.primaryAt(0.06));
  painter.drawRoundedRect(track, 1.5, 1.5);
  const auto fraction = currentFraction(currentIndex(), static_cast<std::size_t>(m_ids.size()));
  if (!fraction) {
    return;
  }
  const double y = std::max(std::min(h * *fraction - kMarkerHeight / 2, h - kMarkerHeight), 0.0);
  const QColor &accent = theme.accent;
  const double opacity = painter.opacity();
  painter.setOpacity(opacity * (m_emphasized ? 1.0 : 0.6));
  const QRectF marker(kMarkerX, y, kMarkerWidth, kMarkerHeight);
  painter.setBrush(withAlpha(accent, 0.35));
  painter.drawRoundedRect(marker.adjusted(-1.5, -1.5, 1.5, 1.5), 4, 4);
  painter.setBrush(accent);
  painter.drawRoundedRect(marker, kMarkerWidth / 2, kMarkerWidth / 2);
  painter.setOpacity(opacity);
}

void MonthIndexRail::paintLabels(QPainter &painter) const {
  const double h = std::max<double>(height(), 1);
  const auto entries = railEntries(static_cast<std::size_t>(m_ids.size()), maxCountFor(h));
  if (entries.empty()) {
    return;
  }
  const double rowHeight = h / static_cast<double>(entries.size());
  const double progress = std::clamp(labelProgress(), 0.0, 1.0);
  for (std::size_t row = 0; row < entries.size(); ++row) {
    const QString &id = m_ids[static_cast<qsizetype>(entries[row])];
    double emphasis = 0;
    if (m_currentID == id) {
      emphasis = progress;
    } else if (m_previousID == id) {
      emphasis = 1 - progress;
    }
    const QRectF cell(0, rowHeight * static_cast<double>(row), width() - kLabelTrailingPadding,
                      rowHeight);
    paintLabel(painter, cell, m_titles.value(static_cast<qsizetype>(entries[row])), emphasis);
  }
}

// A label between plain (0) and current (1): the two looks cross-fade, since a weight does
// not blend.
void MonthIndexRail::paintLabel(QPainter &painter, const QRectF &cell, const QString &title,
                                double emphasis) const {
  const Theme &theme = Theme::of(this);
  const double opacity = painter.opacity();
  if (emphasis < 1) {
    painter.setOpacity(opacity * (1 - emphasis));
    painter.setFont(Theme::font(kLabelFontPixels));
    painter.setPen(withAlpha(theme.secondary, 0.78));
    painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, title);
  }
  if (emphasis > 0) {
    painter.setOpacity(opacity * emphasis);
    painter.setFont(Theme::font(kLabelFontPixels, Theme::Weight::semibold));
    painter.setPen(theme.accent);
    painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, title);
  }
  painter.setOpacity(opacity);
}

} // namespace lumora
