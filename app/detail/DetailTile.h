#pragma once

#include "app/shell/components/HeroView.h"
#include "app/shell/motion/MotionAnimation.h"
#include "app/store/images/ThumbnailRequest.h"

#include <QPixmap>
#include <QWidget>
#include <array>
// After the Qt headers: moc cannot read the standard <concepts> when it comes first.
#include "engine/model/PhotoGroup.h"

namespace lumora {

class AppStore;
class FavoriteStarButton;
class HeroNamespace;
class RoundSymbolButton;

/// One photo of the group detail's grid: the photo at 1400 px filling a 4:3 rounded tile,
/// the best photo's badge and accent border, the score chip, and two controls shown on
/// hover or focus (the favourite star, which stays for a favourite, and delete). A click
/// on the photo opens the preview; the delete control only reports the photo, the screen
/// asks and deletes.
///
/// Focus comes from the store through the grid (`setFocused`): the fill brightens and the
/// tile lifts by 2 px (not under reduce motion), eased over 0.14 s. Painted from a prepared
/// pixmap; GUI thread only.
class DetailTile : public QWidget, public HeroView {
  Q_OBJECT

public:
  static constexpr int kMaxPixel = 1400;
  /// The sizes the results cards load (the hero image, the candidate strip): while the tile's
  /// own photo is decoded, one of these already in the cache stands in for it.
  static constexpr std::array<int, 2> kStandInSizes{640, 160};
  static constexpr qreal kCornerRadius = 10;

  DetailTile(AppStore &store, HeroNamespace *hero, QWidget *parent = nullptr);

  /// The photo and its group; does nothing when nothing changed.
  void setPhoto(const PhotoItem &item, const PhotoGroup &group);
  [[nodiscard]] const PhotoItem &item() const { return m_item; }
  [[nodiscard]] bool isBest() const { return m_item.id == m_group.bestID; }
  void setFocused(bool focused);
  [[nodiscard]] bool isFocused() const { return m_focused; }
  /// Where the grid puts the tile; the lift moves it up from there.
  void setSlot(const QRect &slot);
  [[nodiscard]] QRect slot() const { return m_slot; }
  /// The lift in pixels as drawn now (0 … 2).
  [[nodiscard]] qreal lift() const;
  [[nodiscard]] bool isHovering() const { return m_hovering; }
  [[nodiscard]] FavoriteStarButton *starButton() const { return m_star; }
  [[nodiscard]] RoundSymbolButton *deleteButton() const { return m_delete; }

  [[nodiscard]] QWidget *heroWidget() override { return this; }
  [[nodiscard]] QImage heroPhoto() const override;
  [[nodiscard]] HeroCorners heroCorners() const override;
  void setHeroLayer(Layer layer) override;
  void receiveHeroPhoto(const QImage &photo) override;

signals:
  void deleteRequested(const PhotoItem &item);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void enterEvent(QEnterEvent *event) override;
  void leaveEvent(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void requestThumbnail();
  void preparePhoto();
  void updateControls();
  void updateTexts();
  void place();
  void paintBadge(QPainter &painter);
  void paintScoreChip(QPainter &painter);
  void paintBorder(QPainter &painter);

  AppStore &m_store;
  HeroNamespace *m_hero;
  PhotoItem m_item;
  PhotoGroup m_group;
  bool m_focused = false;
  bool m_hovering = false;
  bool m_pressed = false;
  QRect m_slot;
  ThumbnailRequest m_request;
  ThumbnailPtr m_standIn; // a smaller cached thumbnail shown until the request's arrives
  QPixmap m_photo;        // the thumbnail cut to the tile's rounded shape at its size
  QPixmap m_under;        // the stand-in, as shown, while the sharp photo fades in over it
  FavoriteStarButton *m_star;
  RoundSymbolButton *m_delete;
  // 0 unfocused … 1 focused: the fill and the lift follow it.
  MotionAnimation m_focus;
  // The photo's opacity: a photo that arrives while the tile shows fades in rather than
  // replacing the placeholder, or the stand-in, in one frame.
  MotionAnimation m_photoIn;
  Layer m_layer = Layer::whole;
};

} // namespace lumora
