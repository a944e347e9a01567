#include "app/results/GroupCardHero.h"

#include "app/results/CardChips.h"
#include "app/results/GroupCardLayout.h"
#include "app/results/GroupCardTexts.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/ScoreDisplay.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

namespace lumora {
namespace {

constexpr qreal kInset = 10;
constexpr qreal kCheckbox = 22;
constexpr qreal kTopSpacing = 6;
constexpr QPainter::RenderHints kRenderHints =
    QPainter::Antialiasing | QPainter::SmoothPixmapTransform;

QColor white(qreal opacity) { return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity)); }
QColor black(qreal opacity) { return QColor::fromRgbF(0, 0, 0, static_cast<float>(opacity)); }

QColor blend(const QColor &from, const QColor &to, qreal progress) {
  const auto mix = [progress](float a, float b) {
    return static_cast<float>(a + (b - a) * std::clamp(progress, 0.0, 1.0));
  };
  return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                          mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

// The hero's outline: the card's corners at the top, square at the bottom.
QPainterPath topRoundedRect(const QRectF &rect, qreal radius) {
  QPainterPath path;
  path.moveTo(rect.bottomLeft());
  path.lineTo(rect.left(), rect.top() + radius);
  path.arcTo(QRectF(rect.topLeft(), QSizeF(2 * radius, 2 * radius)), 180, -90);
  path.lineTo(rect.right() - radius, rect.top());
  path.arcTo(QRectF(rect.right() - 2 * radius, rect.top(), 2 * radius, 2 * radius), 90, -90);
  path.lineTo(rect.bottomRight());
  path.closeSubpath();
  return path;
}

// The hero's ground, a faint black cut to the card's top corners, made once per size and
// density for every card: each picture starts as a copy of it instead of filling it again.
QPixmap ground(const QSize &nominal, qreal dpr) {
  const QString key = QStringLiteral("card-hero-ground|%1x%2|%3")
                          .arg(nominal.width())
                          .arg(nominal.height())
                          .arg(dpr);
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap)) {
    return pixmap;
  }
  pixmap = QPixmap((QSizeF(nominal) * dpr).toSize());
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHints(kRenderHints);
  const QRectF bounds(QPointF(0, 0), QSizeF(nominal));
  painter.setClipPath(topRoundedRect(bounds, GroupCardLayout::kCornerRadius));
  painter.fillRect(bounds, black(0.05));
  painter.end();
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

} // namespace

GroupCardHero::GroupCardHero(ThumbnailLoader &thumbnails, QWidget *card)
    : QWidget(card), m_image(thumbnails, 640, this) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(&m_image, &CardImageSlot::changed, this, &GroupCardHero::invalidate);
}

void GroupCardHero::setNominalSize(const QSize &size) {
  if (size == m_nominalSize) {
    return;
  }
  m_nominalSize = size;
  invalidate();
}

void GroupCardHero::invalidate() {
  m_dirty = true;
  update();
}

HeroCorners GroupCardHero::heroCorners() const {
  constexpr qreal radius = GroupCardLayout::kCornerRadius;
  return {radius, radius, 0, 0};
}

void GroupCardHero::setHeroLayer(Layer layer) {
  if (layer == m_layer) {
    return;
  }
  m_layer = layer;
  invalidate();
}

void GroupCardHero::setGroup(const PhotoGroup &group, AppStoreTypes::SourceKind source) {
  m_best = group.best();
  m_count = group.count();
  m_source = source;
  m_image.setItem(m_best ? &*m_best : nullptr);
  rebuildChips();
  invalidate();
}

void GroupCardHero::setSelection(bool selecting, bool selected) {
  if (selecting == m_selecting && selected == m_selected) {
    return;
  }
  m_selecting = selecting;
  m_selected = selected;
  rebuildHoverChip();
  invalidate();
}

void GroupCardHero::setLook(qreal opacity, qreal hoverChip, qreal selectedFill) {
  if (opacity == m_opacity && hoverChip == m_hoverChip && selectedFill == m_selectedFill) {
    return;
  }
  if (selectedFill != m_selectedFill) {
    m_dirty = true;
  }
  m_opacity = opacity;
  m_hoverChip = hoverChip;
  m_selectedFill = selectedFill;
  update();
}

void GroupCardHero::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ScreenChangeInternal) {
    rebuildChips();
    invalidate();
  }
}

void GroupCardHero::rebuildChips() {
  using cardchips::Run;
  const qreal dpr = devicePixelRatioF();
  std::vector<Run> badge;
  if (m_best) {
    badge.push_back(Run::ofDot(6, scoredisplay::color(m_best->tier())));
    badge.push_back(
        Run::ofText(m_best->displayScoreText(), Theme::font(17, Theme::Weight::bold), white(1)));
  }
  badge.push_back(Run::ofText(localized::string("最佳"), Theme::font(11, Theme::Weight::semibold),
                              white(0.92)));
  const QString badgeKey =
      m_best ? QStringLiteral("badge|%1|%2|%3")
                   .arg(m_best->displayScoreText(), scoredisplay::color(m_best->tier()).name(),
                        localized::string("最佳"))
             : QStringLiteral("badge|none|") + localized::string("最佳");
  m_badge = cardchips::cached(badgeKey, badge, {9, 5, 5, black(0.7), white(0.14), 0.5, -1}, dpr);

  const QString symbol = m_source == AppStoreTypes::SourceKind::library
                             ? QStringLiteral("photo.on.rectangle")
                             : QStringLiteral("photo.stack");
  const QString countText = groupcardtexts::countChip(m_count);
  m_countChip = cardchips::cached(
      QStringLiteral("count|") + symbol + u'|' + countText,
      {Run::ofImage(platform::symbols::pixmap(symbol, 9, white(0.95), dpr)),
       Run::ofText(countText, Theme::font(11, Theme::Weight::semibold), white(0.95))},
      {7, 4, 5, black(0.42), {}, 0, -1}, dpr);

  rebuildHoverChip();
}

void GroupCardHero::rebuildHoverChip() {
  using cardchips::Run;
  QColor accent = Theme::of(this).accent;
  accent.setAlphaF(0.85f);
  const QString text = groupcardtexts::hoverChip(m_selecting, m_selected);
  m_hoverChipPixmap =
      cardchips::cached(QStringLiteral("hover|") + text + u'|' + accent.name(QColor::HexArgb),
                        {Run::ofText(text, Theme::font(10, Theme::Weight::medium), white(0.95))},
                        {8, 4, 5, accent, {}, 0, -1}, devicePixelRatioF());
}

void GroupCardHero::paintEvent(QPaintEvent *) {
  // A card about to fade in shows nothing yet: its picture is composed once it does.
  if (m_opacity <= 0) {
    return;
  }
  if (m_dirty) {
    compose();
  }
  QPainter painter(this);
  painter.setOpacity(std::clamp(m_opacity, 0.0, 1.0));
  if (m_composed.deviceIndependentSize().toSize() == size()) {
    painter.drawPixmap(0, 0, m_composed);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(rect()), m_composed, QRectF(m_composed.rect()));
  }
  if (m_hoverChip > 0 && m_layer != Layer::photo) {
    const QSizeF hover = m_hoverChipPixmap.deviceIndependentSize();
    painter.setOpacity(painter.opacity() * std::clamp(m_hoverChip, 0.0, 1.0));
    painter.drawPixmap(QPointF(width() - kInset - hover.width(), kInset), m_hoverChipPixmap);
  }
}

void GroupCardHero::compose() {
  m_dirty = false;
  const qreal dpr = devicePixelRatioF();
  const QSize nominal = m_nominalSize.isEmpty() ? size() : m_nominalSize;
  if (nominal.isEmpty()) {
    m_composed = QPixmap((QSizeF(nominal) * dpr).toSize());
    m_composed.setDevicePixelRatio(dpr);
    m_composed.fill(Qt::transparent);
    return;
  }
  if (m_layer == Layer::overPhoto) {
    m_composed = QPixmap((QSizeF(nominal) * dpr).toSize());
    m_composed.fill(Qt::transparent);
  } else {
    m_composed = ground(nominal, dpr).copy();
  }
  m_composed.setDevicePixelRatio(dpr);
  if (m_layer == Layer::ground) {
    return;
  }
  QPainter painter(&m_composed);
  painter.setRenderHints(kRenderHints);
  const QRectF bounds(QPointF(0, 0), QSizeF(nominal));
  painter.setClipPath(topRoundedRect(bounds, GroupCardLayout::kCornerRadius));
  if (m_layer == Layer::whole || m_layer == Layer::photo) {
    m_image.paint(painter, bounds, Theme::of(this).secondary, dpr);
  }
  if (m_layer == Layer::photo) {
    return;
  }
  // From clear at the centre to black at 0.36 at the bottom edge.
  QLinearGradient gradient(bounds.center().x(), bounds.center().y(), bounds.center().x(),
                           bounds.bottom());
  gradient.setColorAt(0, black(0));
  gradient.setColorAt(1, black(0.36));
  painter.fillRect(QRectF(bounds.left(), bounds.center().y(), bounds.width(), bounds.height() / 2),
                   gradient);
  paintOverlays(painter, bounds);
}

void GroupCardHero::paintOverlays(QPainter &painter, const QRectF &bounds) {
  const QSizeF badge = m_badge.deviceIndependentSize();
  painter.drawPixmap(
      bounds.bottomRight() - QPointF(kInset + badge.width(), kInset + badge.height()), m_badge);
  // The checkbox and the count chip share one row, centred on each other.
  const QSizeF chip = m_countChip.deviceIndependentSize();
  const qreal rowHeight = m_selecting ? std::max(kCheckbox, chip.height()) : chip.height();
  qreal x = kInset;
  if (m_selecting) {
    paintCheckbox(painter, QPointF(x, kInset + (rowHeight - kCheckbox) / 2));
    x += kCheckbox + kTopSpacing;
  }
  painter.drawPixmap(QPointF(x, kInset + (rowHeight - chip.height()) / 2), m_countChip);
}

void GroupCardHero::paintCheckbox(QPainter &painter, const QPointF &topLeft) {
  const QRectF box(topLeft, QSizeF(kCheckbox, kCheckbox));
  painter.save();
  // The shadow: black at 0.25, one pixel down, softened by a second wider pass.
  painter.setPen(Qt::NoPen);
  painter.setBrush(black(0.12));
  painter.drawEllipse(box.translated(0, 1).adjusted(-1, -1, 1, 1));
  painter.setBrush(black(0.13));
  painter.drawEllipse(box.translated(0, 1));
  painter.setBrush(blend(black(0.38), Theme::of(this).accent, m_selectedFill));
  painter.drawEllipse(box);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(white(0.9), 1.5));
  painter.drawEllipse(box.adjusted(0.75, 0.75, -0.75, -0.75));
  if (m_selectedFill > 0) {
    painter.setOpacity(painter.opacity() * std::clamp(m_selectedFill, 0.0, 1.0));
    const QPixmap check =
        platform::symbols::pixmap(QStringLiteral("checkmark"), 11, white(1), devicePixelRatioF());
    const QSizeF size = check.deviceIndependentSize();
    painter.drawPixmap(box.center() - QPointF(size.width(), size.height()) / 2, check);
  }
  painter.restore();
}

} // namespace lumora
