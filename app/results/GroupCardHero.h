#pragma once

#include "app/results/CardImageSlot.h"
#include "app/shell/components/HeroView.h"
#include "app/store/state/AppStoreTypes.h"
#include "engine/model/PhotoGroup.h"

#include <QPixmap>
#include <QWidget>

namespace lumora {

/// The top of a group card: the best photo with its gradient, score badge, selection
/// checkbox, count chip and hover chip. A child of the card so that it can be the hero
/// zoom's source on its own; it takes no mouse input (the card handles clicks) and paints
/// at the card's opacity. GUI thread.
class GroupCardHero : public QWidget, public HeroView {
  Q_OBJECT

public:
  GroupCardHero(ThumbnailLoader &thumbnails, QWidget *card);

  /// The group's best photo and the chips that depend on it and on the source.
  void setGroup(const PhotoGroup &group, AppStoreTypes::SourceKind source);
  /// Selection mode shows the checkbox; the hover chip's text follows both flags.
  void setSelection(bool selecting, bool selected);
  /// What animates: the card's opacity, the hover chip's opacity and the checkbox's fill
  /// (0 unselected, 1 selected).
  void setLook(qreal opacity, qreal hoverChip, qreal selectedFill);
  /// The hero's size at the card's rest scale: its picture is composed once at this size and
  /// only drawn scaled while the card animates.
  void setNominalSize(const QSize &size);
  /// Loads the photo while the card is shown.
  void setActive(bool active) { m_image.setActive(active); }
  [[nodiscard]] bool hasImage() const { return m_image.hasImage(); }
  /// The photo is on its way and nothing stands in for it yet.
  [[nodiscard]] bool isEmptyWhilePending() const { return m_image.isEmptyWhilePending(); }

  [[nodiscard]] QWidget *heroWidget() override { return this; }
  [[nodiscard]] QImage heroPhoto() const override { return m_image.image(); }
  [[nodiscard]] HeroCorners heroCorners() const override;
  void setHeroLayer(Layer layer) override;
  void heroLanding() override { emit landing(); }
  void receiveHeroPhoto(const QImage &photo) override { m_image.setStandIn(photo); }
  [[nodiscard]] Layer heroLayer() const { return m_layer; }

signals:
  /// A hero zoom is about to land on this photo: the card settles where it is going.
  void landing();

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void rebuildChips();
  void rebuildHoverChip();
  void invalidate();
  void compose();
  void paintOverlays(QPainter &painter, const QRectF &bounds);
  void paintCheckbox(QPainter &painter, const QPointF &topLeft);

  CardImageSlot m_image;
  std::optional<PhotoItem> m_best;
  std::int64_t m_count = 0;
  AppStoreTypes::SourceKind m_source = AppStoreTypes::SourceKind::folder;
  bool m_selecting = false;
  bool m_selected = false;
  qreal m_opacity = 1;
  qreal m_hoverChip = 0;
  qreal m_selectedFill = 0;
  QPixmap m_badge;
  QPixmap m_countChip;
  QPixmap m_hoverChipPixmap;
  QSize m_nominalSize;
  /// Photo, gradient, badge, checkbox and count chip, clipped to the card's top corners
  /// (the layers of them `m_layer` asks for).
  QPixmap m_composed;
  bool m_dirty = true;
  Layer m_layer = Layer::whole;
};

} // namespace lumora
