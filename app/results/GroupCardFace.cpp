#include "app/results/GroupCardFace.h"

#include "app/results/CardChips.h"
#include "app/results/GroupCardTexts.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/ScoreDisplay.h"
#include "platform/gui/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QWidget>
#include <algorithm>

namespace lumora {
namespace {

constexpr qreal kTitleSpacing = 6;
constexpr qreal kMinimumScale = 0.85;
constexpr qreal kTileRadius = 8;
constexpr QPainter::RenderHints kRenderHints =
    QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform;

QColor withAlpha(QColor color, qreal opacity) {
  color.setAlphaF(color.alphaF() * static_cast<float>(opacity));
  return color;
}

// One element of the title row: a text drawn on the shared baseline, or an image (symbol,
// chip) centred on the small text's middle. The row asks a run's width several times; the
// text is measured once.
struct TitleRun {
  QString text;
  QFont font;
  QColor color;
  QPixmap image;
  mutable qreal measured = -1;
  [[nodiscard]] qreal width() const {
    if (measured < 0) {
      measured = image.isNull() ? QFontMetricsF(font).horizontalAdvance(text)
                                : image.deviceIndependentSize().width();
    }
    return measured;
  }
};

// `top` composited over `bottom`, opaque when `bottom` is.
QColor over(const QColor &top, const QColor &bottom) {
  const float alpha = top.alphaF();
  const auto mix = [alpha](float a, float b) { return a * alpha + b * (1 - alpha); };
  return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                          mix(top.blueF(), bottom.blueF()), bottom.alphaF());
}

QColor blend(const QColor &from, const QColor &to, qreal progress) {
  const auto t = static_cast<float>(std::clamp(progress, 0.0, 1.0));
  const auto mix = [t](float a, float b) { return a + (b - a) * t; };
  return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                          mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

// A tile's hairline border, once per size and colour for every card.
QPixmap tileRing(const QSizeF &size, const QColor &color, qreal devicePixelRatio) {
  const QString key = QStringLiteral("card-tile-ring|%1x%2|%3|%4")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(color.name(QColor::HexArgb))
                          .arg(devicePixelRatio);
  QPixmap ring;
  if (QPixmapCache::find(key, &ring)) {
    return ring;
  }
  ring = QPixmap((size * devicePixelRatio).toSize());
  ring.setDevicePixelRatio(devicePixelRatio);
  ring.fill(Qt::transparent);
  QPainter painter(&ring);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color, 0.5));
  painter.drawRoundedRect(QRectF(QPointF(0, 0), size).adjusted(0.25, 0.25, -0.25, -0.25),
                          kTileRadius, kTileRadius);
  painter.end();
  QPixmapCache::insert(key, ring);
  return ring;
}

} // namespace

GroupCardFace::GroupCardFace(ThumbnailLoader &thumbnails, QWidget *owner)
    : QObject(owner), m_owner(owner) {
  for (std::size_t i = 0; i < m_tiles.size(); ++i) {
    auto &tile = m_tiles[i];
    tile = std::make_unique<CardImageSlot>(thumbnails, 160, this);
    tile->setCornerRadius(kTileRadius);
    connect(tile.get(), &CardImageSlot::changed, this, [this, i] {
      m_staleTiles.set(i);
      emit changed();
    });
  }
}

GroupCardFace::~GroupCardFace() = default;

void GroupCardFace::setGroup(const PhotoGroup &group) {
  m_group = group;
  relayout();
}

void GroupCardFace::setWidth(int width) {
  if (width == m_width) {
    return;
  }
  m_width = width;
  relayout();
}

void GroupCardFace::setSource(AppStoreTypes::SourceKind source) {
  if (source == m_source) {
    return;
  }
  m_source = source;
  m_dirty = true;
}

void GroupCardFace::setSelected(bool selected) {
  if (selected == m_selected) {
    return;
  }
  m_selected = selected;
  m_dirty = true;
}

void GroupCardFace::setActive(bool active) {
  for (auto &tile : m_tiles) {
    tile->setActive(active);
  }
}

bool GroupCardFace::isEmptyWhilePending() const {
  return std::any_of(m_tiles.begin(), m_tiles.end(),
                     [](const auto &tile) { return tile->isEmptyWhilePending(); });
}

void GroupCardFace::invalidate() { m_dirty = true; }

void GroupCardFace::relayout() {
  const auto candidates = static_cast<int>(groupcardtexts::candidateCount(m_group));
  m_layout = GroupCardLayout::make(m_width, candidates);
  // Only tiles with a place load a thumbnail: at most six per card, however big the group.
  for (std::size_t i = 0; i < m_tiles.size(); ++i) {
    const bool shown = i < m_layout.tiles.size();
    m_tiles[i]->setItem(shown ? &m_group.items[i + 1] : nullptr);
  }
  m_dirty = true;
}

std::int64_t GroupCardFace::hiddenCount() const {
  return m_layout.hiddenCount(static_cast<int>(groupcardtexts::candidateCount(m_group)));
}

QRect GroupCardFace::rect() const { return QRect(0, 0, m_width, GroupCardLayout::kHeight); }

void GroupCardFace::setSelectedFill(double fill) {
  if (fill == m_selectedFill) {
    return;
  }
  m_selectedFill = fill;
  m_dirty = true;
}

const QPixmap &GroupCardFace::pixmap() {
  const qreal dpr = m_owner->devicePixelRatioF();
  if (!m_dirty && m_pixmap.devicePixelRatio() == dpr) {
    repaintStaleTiles();
    return m_pixmap;
  }
  m_dirty = false;
  m_staleTiles.reset();
  const QRect area = rect();
  // At rest the face starts as a copy of the shared body: the same pixels as the body drawn
  // onto a clear pixmap, for a copy of memory instead of a blend.
  const QPixmap body = area.isEmpty() ? QPixmap() : restingBody();
  if (!body.isNull()) {
    m_pixmap = body.copy();
    m_pixmap.setDevicePixelRatio(dpr);
  } else {
    m_pixmap = QPixmap((QSizeF(area.size()) * dpr).toSize());
    m_pixmap.setDevicePixelRatio(dpr);
    m_pixmap.fill(Qt::transparent);
  }
  if (area.isEmpty()) {
    return m_pixmap;
  }
  QPainter painter(&m_pixmap);
  painter.setRenderHints(kRenderHints);
  if (body.isNull()) {
    paintBody(painter);
  }
  paintTitleRow(painter);
  paintStrip(painter);
  paintCaption(painter);
  return m_pixmap;
}

// A thumbnail arriving or fading in changes its tile alone: only the tile's place is
// painted again, from the body up, instead of the whole face with its texts. Nothing else
// reaches into a tile's place or the spacing around it, so the result is the same.
void GroupCardFace::repaintStaleTiles() {
  if (m_staleTiles.none()) {
    return;
  }
  QPainter painter(&m_pixmap);
  painter.setRenderHints(kRenderHints);
  for (std::size_t i = 0; i < m_layout.tiles.size(); ++i) {
    if (!m_staleTiles.test(i)) {
      continue;
    }
    const QRect place = m_layout.tiles[i].adjusted(-1, -1, 1, 1);
    painter.save();
    painter.setClipRect(place);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(place, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintBody(painter);
    paintTile(painter, i);
    painter.restore();
  }
  m_staleTiles.reset();
}

// The rounded fill (opaque, so that no shadow shows through) and the resting border. At
// rest (plain or selected) it is drawn once per size, colour and density for every card:
// stroking the outline of a card costs more than the rest of its body together. Null while
// the selection's fill animates between the two.
QPixmap GroupCardFace::restingBody() const {
  if (m_selectedFill != 0 && m_selectedFill != 1) {
    return {};
  }
  const qreal dpr = m_owner->devicePixelRatioF();
  const auto [fill, border] = bodyColors();
  const QString key = QStringLiteral("card-body|%1|%2|%3|%4")
                          .arg(m_width)
                          .arg(static_cast<quint64>(fill.rgba64()))
                          .arg(static_cast<quint64>(border.rgba64()))
                          .arg(dpr);
  QPixmap body;
  if (!QPixmapCache::find(key, &body)) {
    body = QPixmap((QSizeF(rect().size()) * dpr).toSize());
    body.setDevicePixelRatio(dpr);
    body.fill(Qt::transparent);
    QPainter painter(&body);
    painter.setRenderHints(kRenderHints);
    drawBody(painter, fill, border);
    painter.end();
    QPixmapCache::insert(key, body);
  }
  return body;
}

std::pair<QColor, QColor> GroupCardFace::bodyColors() const {
  const Theme &theme = Theme::of(m_owner);
  const QColor plain = over(theme.thinMaterial, theme.windowBackground);
  QColor accent = theme.accent;
  accent.setAlphaF(0.13f);
  return {blend(plain, over(accent, plain), m_selectedFill), theme.primaryAt(kRestingBorder)};
}

void GroupCardFace::paintBody(QPainter &painter) {
  if (const QPixmap body = restingBody(); !body.isNull()) {
    painter.drawPixmap(QPointF(0, 0), body);
    return;
  }
  const auto [fill, border] = bodyColors();
  drawBody(painter, fill, border);
}

void GroupCardFace::drawBody(QPainter &painter, const QColor &fill, const QColor &border) const {
  const QRectF bounds = rect();
  const qreal radius = GroupCardLayout::kCornerRadius;
  QPainterPath shape;
  shape.addRoundedRect(bounds, radius, radius);
  painter.fillPath(shape, fill);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(border, 1));
  painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

const QPixmap &GroupCardFace::ring() {
  const qreal dpr = m_owner->devicePixelRatioF();
  const QSize size = (QSizeF(rect().size()) * dpr).toSize();
  const QColor color = Theme::of(m_owner).primaryAt(1);
  if (m_ring.size() == size && m_ring.devicePixelRatio() == dpr && m_ringColor == color) {
    return m_ring;
  }
  m_ringColor = color;
  m_ring = QPixmap(size);
  m_ring.setDevicePixelRatio(dpr);
  m_ring.fill(Qt::transparent);
  QPainter painter(&m_ring);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color, 1));
  const qreal radius = GroupCardLayout::kCornerRadius;
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5,
                          radius - 0.5);
  return m_ring;
}

QString GroupCardFace::toolTipAt(const QPoint &position) const {
  for (std::size_t i = 0; i < m_layout.tiles.size(); ++i) {
    if (m_layout.tiles[i].contains(position)) {
      return groupcardtexts::itemHelp(m_group.items[i + 1]);
    }
  }
  if (!m_layout.overflow.isEmpty() && m_layout.overflow.contains(position)) {
    return groupcardtexts::overflowHelp(hiddenCount());
  }
  return {};
}

void GroupCardFace::paintTitleRow(QPainter &painter) {
  const Theme &theme = Theme::of(m_owner);
  const qreal dpr = m_owner->devicePixelRatioF();
  const QFont count = Theme::font(13, Theme::Weight::semibold);
  const QFont small = Theme::font(11);
  const QColor faint = withAlpha(theme.primary, 0.72);
  std::vector<TitleRun> leading{{groupcardtexts::titleCount(m_group), count, theme.primary, {}},
                                {localized::string("·"), small, faint, {}}};
  if (const QString bytes = groupcardtexts::titleReclaimable(m_group); !bytes.isEmpty()) {
    leading.push_back({bytes, small, theme.secondary, {}});
    leading.push_back({localized::string("·"), small, faint, {}});
  }
  leading.push_back({Fmt::mediumDate(m_group.date()), small, theme.secondary, {}});
  const std::optional<PhotoItem> best = m_group.best();
  if (best && best->isFavorite) {
    leading.push_back({{}, {}, {}, platform::symbols::pixmap("star.fill", 9, theme.yellow, dpr)});
  }
  std::vector<TitleRun> trailing;
  if (best && best->isUtility) {
    trailing.push_back(
        {{},
         {},
         {},
         cardchips::cached(
             QStringLiteral("utility|") + theme.secondary.name(QColor::HexArgb),
             {cardchips::Run::ofText(localized::string("工具图"),
                                     Theme::font(10, Theme::Weight::medium), theme.secondary)},
             {5, 1.5, 0, withAlpha(theme.secondary, 0.14), {}, 0, -1}, dpr)});
  }
  trailing.push_back({{}, {}, {}, platform::symbols::pixmap("chevron.right", 9, faint, dpr)});

  const QRectF row = m_layout.titleRow;
  const auto widthOf = [](const std::vector<TitleRun> &runs) {
    qreal width = 0;
    for (const TitleRun &run : runs) {
      width += run.width() + (width > 0 ? kTitleSpacing : 0);
    }
    return width;
  };
  const qreal natural = widthOf(leading) + kTitleSpacing + widthOf(trailing);
  // One line: shrink down to 0.85 before anything is cut off at the row's end.
  const qreal scale = natural > row.width() ? std::max(kMinimumScale, row.width() / natural) : 1.0;
  const QFontMetricsF countMetrics(count);
  const qreal baseline =
      row.top() + (row.height() - countMetrics.height()) / 2 + countMetrics.ascent();
  const qreal middle = baseline - QFontMetricsF(small).capHeight() / 2;
  painter.save();
  painter.setClipRect(row);
  painter.translate(row.left(), baseline);
  painter.scale(scale, scale);
  const auto paintRuns = [&painter, middle, baseline](const std::vector<TitleRun> &runs, qreal x) {
    for (const TitleRun &run : runs) {
      if (run.image.isNull()) {
        painter.setFont(run.font);
        painter.setPen(run.color);
        painter.drawText(QPointF(x, 0), run.text);
      } else {
        const QSizeF size = run.image.deviceIndependentSize();
        painter.drawPixmap(QPointF(x, middle - baseline - size.height() / 2), run.image);
      }
      x += run.width() + kTitleSpacing;
    }
  };
  paintRuns(leading, 0);
  paintRuns(trailing, std::max(row.width() / scale, natural) - widthOf(trailing));
  painter.restore();
}

void GroupCardFace::paintStrip(QPainter &painter) {
  for (std::size_t i = 0; i < m_layout.tiles.size(); ++i) {
    paintTile(painter, i);
  }
  if (!m_layout.overflow.isEmpty()) {
    paintOverflow(painter);
  }
}

void GroupCardFace::paintTile(QPainter &painter, std::size_t index) {
  const Theme &theme = Theme::of(m_owner);
  const qreal dpr = m_owner->devicePixelRatioF();
  const PhotoItem &item = m_group.items[index + 1];
  const QRectF tile = m_layout.tiles[index];
  m_tiles[index]->paint(painter, tile, theme.secondary, dpr);
  painter.drawPixmap(tile.topLeft(), tileRing(tile.size(), theme.primaryAt(0.1), dpr));

  const QString score = scoredisplay::roundedScoreText(item);
  const QPixmap chip = cardchips::cached(
      QStringLiteral("tile-score|") + score,
      {cardchips::Run::ofText(score, Theme::font(10, Theme::Weight::bold), Qt::white)},
      {3, 1, 0, QColor::fromRgbF(0, 0, 0, 0.62f), {}, 0, 4}, dpr);
  const QSizeF chipSize = chip.deviceIndependentSize();
  painter.drawPixmap(
      QPointF(tile.center().x() - chipSize.width() / 2, tile.bottom() - 2.5 - chipSize.height()),
      chip);
  if (item.isFavorite) {
    const QPixmap star = platform::symbols::pixmap("star.fill", 8, theme.yellow, dpr);
    const QPointF at(tile.right() - 3 - star.deviceIndependentSize().width(), tile.top() + 3);
    painter.setOpacity(0.5);
    painter.drawPixmap(at + QPointF(0, 0.5),
                       platform::symbols::pixmap("star.fill", 8, Qt::black, dpr));
    painter.setOpacity(1);
    painter.drawPixmap(at, star);
  }
}

void GroupCardFace::paintOverflow(QPainter &painter) {
  const Theme &theme = Theme::of(m_owner);
  const QRectF tile = m_layout.overflow;
  if (!m_selected) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(theme.secondary, 0.1));
    painter.drawRoundedRect(tile, kTileRadius, kTileRadius);
  }
  const std::int64_t hidden = hiddenCount();
  painter.setFont(Theme::font(11, Theme::Weight::semibold));
  painter.setPen(theme.secondary);
  painter.drawText(tile, Qt::AlignCenter, groupcardtexts::overflowText(hidden));
}

void GroupCardFace::paintCaption(QPainter &painter) {
  const Theme &theme = Theme::of(m_owner);
  const QFont font = Theme::font(11);
  painter.setFont(font);
  painter.setPen(withAlpha(theme.primary, 0.72));
  const QRectF caption = m_layout.caption;
  const QString text = QFontMetricsF(font).elidedText(groupcardtexts::cleanupCaption(m_source),
                                                      Qt::ElideRight, caption.width());
  painter.drawText(caption, Qt::AlignCenter, text);
}

} // namespace lumora
