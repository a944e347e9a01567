#include "app/detail/DetailTile.h"

#include "app/detail/DetailTexts.h"
#include "app/detail/RoundSymbolButton.h"
#include "app/shell/components/FavoriteStarButton.h"
#include "app/shell/components/HeroZoom.h"
#include "app/shell/components/ThumbnailPainting.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/ScoreDisplay.h"
#include "platform/gui/ReduceMotion.h"
#include "platform/gui/Symbols.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace lumora {
namespace {

constexpr qreal kLift = 2;
constexpr int kMargin = 8;
constexpr int kControlSpacing = 4;

QPainterPath capsule(const QRectF &rect) {
  QPainterPath path;
  path.addRoundedRect(rect, rect.height() / 2, rect.height() / 2);
  return path;
}

QPainterPath roundedTile(const QRectF &rect) {
  QPainterPath path;
  path.addRoundedRect(rect, DetailTile::kCornerRadius, DetailTile::kCornerRadius);
  return path;
}

} // namespace

DetailTile::DetailTile(AppStore &store, HeroNamespace *hero, QWidget *parent)
    : QWidget(parent), m_store(store), m_hero(hero), m_request(store.thumbnails()),
      m_star(new FavoriteStarButton(false, this)),
      m_delete(new RoundSymbolButton(QStringLiteral("trash"), RoundSymbolButton::tileDeleteLook(),
                                     this)),
      m_focus(motion::fast(), this), m_photoIn(motion::fast(), this) {
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_Hover);
  m_star->setFocusPolicy(Qt::NoFocus);
  m_delete->setToolTip(localized::string("删除这张照片"));
  m_delete->setAccessibleName(localized::string("删除这张照片"));
  m_focus.jumpTo(0.0);
  connect(&m_focus, &QVariantAnimation::valueChanged, this, [this] {
    place();
    update();
  });
  m_photoIn.jumpTo(1.0);
  connect(&m_photoIn, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
  connect(&m_photoIn, &QAbstractAnimation::finished, this, [this] { m_under = QPixmap(); });
  connect(&m_request, &ThumbnailRequest::ready, this, [this] {
    // The sharp photo fades in over what the tile shows: the placeholder, or a stand-in
    // (often the photo the zoom has just landed), which would otherwise visibly change in
    // one frame as the finer detail comes.
    const bool fades = isVisible();
    const QPixmap shown = m_photo;
    preparePhoto();
    if (fades) {
      m_under = shown;
      m_photoIn.jumpTo(0.0);
      m_photoIn.animateTo(1.0);
    }
  });
  connect(m_star, &QAbstractButton::clicked, this, [this] { m_store.toggleFavorite(m_item); });
  connect(m_delete, &QAbstractButton::clicked, this, [this] { emit deleteRequested(m_item); });
}

void DetailTile::setPhoto(const PhotoItem &item, const PhotoGroup &group) {
  if (item == m_item && group.id == m_group.id && group.bestID == m_group.bestID) {
    return;
  }
  const bool newPhoto = item.id != m_item.id;
  m_item = item;
  m_group = group;
  m_star->setFavorite(item.isFavorite);
  // Only the best tile receives the card's zoom, and none under reduce motion.
  heroZoom::destination(this, m_hero, QString::fromStdString(group.id),
                        isBest() && !platform::reduceMotion());
  updateTexts();
  updateControls();
  if (newPhoto) {
    requestThumbnail();
  }
  update();
}

void DetailTile::setFocused(bool focused) {
  if (focused == m_focused) {
    return;
  }
  m_focused = focused;
  updateTexts();
  updateControls();
  if (platform::reduceMotion()) {
    m_focus.jumpTo(focused ? 1.0 : 0.0);
  } else {
    m_focus.animateTo(focused ? 1.0 : 0.0);
  }
  place();
  update();
}

qreal DetailTile::lift() const {
  return platform::reduceMotion() ? 0 : kLift * m_focus.value().toReal();
}

void DetailTile::setSlot(const QRect &slot) {
  if (slot == m_slot) {
    return;
  }
  m_slot = slot;
  place();
}

void DetailTile::place() { setGeometry(m_slot.translated(0, -qRound(lift()))); }

void DetailTile::updateTexts() {
  setAccessibleName(detailtexts::tileAccessibleName(m_item, m_focused, isBest()));
  setToolTip(detailtexts::tileToolTip(m_item));
  m_star->setToolTip(detailtexts::favoriteHelp(m_item.isFavorite));
  m_star->setAccessibleName(detailtexts::favoriteAccessibleName(m_item.isFavorite));
}

// Both controls keep their places; only whether they show changes. The photo alone (the
// zoom carries the controls on the flying photo) shows none.
void DetailTile::updateControls() {
  const bool controls = m_layer != Layer::photo;
  m_star->setVisible(controls && (m_hovering || m_focused || m_item.isFavorite));
  m_delete->setVisible(controls && (m_hovering || m_focused));
  update();
}

void DetailTile::requestThumbnail() {
  m_photo = QPixmap();
  m_under = QPixmap();
  m_standIn.reset();
  if (m_request.request(m_item, kMaxPixel)) {
    preparePhoto();
    return;
  }
  for (const int size : kStandInSizes) {
    if (ThumbnailPtr smaller = m_store.thumbnails().cached(m_item, size)) {
      m_standIn = std::move(smaller);
      preparePhoto();
      return;
    }
  }
}

QImage DetailTile::heroPhoto() const {
  const ThumbnailPtr &thumbnail = m_request.thumbnail() ? m_request.thumbnail() : m_standIn;
  return thumbnail ? thumbnail->image() : QImage();
}

HeroCorners DetailTile::heroCorners() const {
  return {kCornerRadius, kCornerRadius, kCornerRadius, kCornerRadius};
}

void DetailTile::setHeroLayer(Layer layer) {
  if (layer != m_layer) {
    m_layer = layer;
    updateControls();
  }
}

void DetailTile::receiveHeroPhoto(const QImage &photo) {
  if (m_photo.isNull() && !photo.isNull()) {
    m_standIn = std::make_shared<const Thumbnail>(photo);
    preparePhoto();
  }
}

// The thumbnail filling the tile (aspect fill, centred) inside its rounded shape.
void DetailTile::preparePhoto() {
  const ThumbnailPtr &thumbnail = m_request.thumbnail() ? m_request.thumbnail() : m_standIn;
  if (!thumbnail || width() <= 0 || height() <= 0) {
    m_photo = QPixmap();
    update();
    return;
  }
  const qreal ratio = devicePixelRatioF();
  QPixmap prepared(size() * ratio);
  prepared.setDevicePixelRatio(ratio);
  prepared.fill(Qt::transparent);
  QImage image = thumbnail->image();
  QRectF source = thumbnailpainting::aspectFillSource(image.size(), QSizeF(prepared.size()));
  // Shrinking by two or more averages the pixels it drops, as the zoom's flying photo is
  // shrunk: the photo it lands is then the tile's own look, where the painter's filter
  // alone would turn fine detail into grain the moment the tile takes over.
  if (source.width() >= 2.0 * prepared.width()) {
    image = image.copy(source.toAlignedRect())
                .scaled(prepared.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    source = QRectF(image.rect());
  }
  QPainter painter(&prepared);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  painter.setClipPath(roundedTile(QRectF(rect())));
  painter.drawImage(QRectF(rect()), image, source);
  m_photo = prepared;
  update();
}

void DetailTile::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  m_under = QPixmap();
  m_delete->move(width() - kMargin - m_delete->width(), kMargin);
  m_star->move(m_delete->x() - kControlSpacing - m_star->width(), kMargin);
  preparePhoto();
}

void DetailTile::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    update();
  }
}

void DetailTile::enterEvent(QEnterEvent *event) {
  QWidget::enterEvent(event);
  m_hovering = true;
  updateControls();
}

void DetailTile::leaveEvent(QEvent *event) {
  QWidget::leaveEvent(event);
  m_hovering = false;
  updateControls();
}

void DetailTile::mousePressEvent(QMouseEvent *event) {
  m_pressed = event->button() == Qt::LeftButton;
  event->accept();
}

// A click anywhere on the photo but the two controls opens the preview at this photo.
void DetailTile::mouseReleaseEvent(QMouseEvent *event) {
  const bool click = m_pressed && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  m_pressed = false;
  if (click) {
    m_store.openPreview(m_group, m_item.id);
  }
}

void DetailTile::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal focus = m_focus.value().toReal();
  // While a hero zoom carries the photo to the tile, the tile draws only what lies beneath
  // it: the badges come in on the photo.
  if (m_layer != Layer::overPhoto) {
    painter.fillPath(roundedTile(QRectF(rect())), theme.primaryAt(0.02 + 0.03 * focus));
  }
  if (m_layer == Layer::ground) {
    return;
  }
  if (!m_photo.isNull() && m_layer != Layer::overPhoto) {
    if (!m_under.isNull()) {
      painter.drawPixmap(0, 0, m_under);
    }
    painter.setOpacity(std::clamp(m_photoIn.value().toReal(), 0.0, 1.0));
    painter.drawPixmap(0, 0, m_photo);
    painter.setOpacity(1);
  }
  if (m_layer == Layer::photo) {
    return;
  }
  if (m_star->isVisible()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(theme.ultraThinMaterial);
    painter.drawEllipse(QRectF(m_star->geometry()));
  }
  if (isBest()) {
    paintBadge(painter);
  }
  paintScoreChip(painter);
  paintBorder(painter);
}

void DetailTile::paintBadge(QPainter &painter) {
  const Theme &theme = Theme::of(this);
  const QFont font = Theme::font(10, Theme::Weight::semibold);
  const QString text = localized::string("本组最佳");
  const QFontMetricsF metrics(font);
  const qreal height = metrics.height() + 6;
  const QRectF badge(kMargin, kMargin, 6 + 9 + 4 + metrics.horizontalAdvance(text) + 6, height);
  painter.fillPath(capsule(badge), theme.accent);
  painter.drawPixmap(
      QPointF(badge.left() + 6, badge.center().y() - 4.5),
      platform::symbols::pixmap(QStringLiteral("crown.fill"), 9, Qt::white, devicePixelRatioF()));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(badge.adjusted(6 + 9 + 4, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
}

void DetailTile::paintScoreChip(QPainter &painter) {
  const QFont font = Theme::font(10, Theme::Weight::bold);
  const QString text = m_item.displayScoreText();
  const QFontMetricsF metrics(font);
  const QSizeF size(6 + 5 + 4 + metrics.horizontalAdvance(text) + 6, metrics.height() + 6);
  const QRectF chip(QPointF(width() - kMargin - size.width(), height() - kMargin - size.height()),
                    size);
  painter.fillPath(capsule(chip), QColor::fromRgbF(0, 0, 0, 0.7f));
  painter.setPen(Qt::NoPen);
  painter.setBrush(scoredisplay::color(m_item.tier()));
  painter.drawEllipse(QRectF(chip.left() + 6, chip.center().y() - 2.5, 5, 5));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(chip.adjusted(6 + 5 + 4, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
}

// Chosen by best, not by focus; stroked inside the edge.
void DetailTile::paintBorder(QPainter &painter) {
  const Theme &theme = Theme::of(this);
  QColor color = theme.accent;
  color.setAlphaF(0.55f);
  const qreal width = isBest() ? 1.5 : 1.0;
  painter.setPen(QPen(isBest() ? color : theme.primaryAt(0.08), width));
  painter.setBrush(Qt::NoBrush);
  const qreal inset = width / 2;
  painter.drawPath(roundedTile(QRectF(rect()).adjusted(inset, inset, -inset, -inset)));
}

} // namespace lumora
