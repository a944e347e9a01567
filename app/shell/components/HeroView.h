#pragma once

#include <QImage>

class QWidget;

namespace lumora {

/// The corner radii of a hero photo's frame, clockwise from the top left.
struct HeroCorners {
  qreal topLeft = 0;
  qreal topRight = 0;
  qreal bottomRight = 0;
  qreal bottomLeft = 0;
};

/// A widget that shows one photo aspect-filled into its whole rectangle, with badges drawn
/// over it: the side of a hero zoom (see HeroNamespace). A flight carries the photo from
/// one such widget to the other; what the leaving side draws over it stays with its screen
/// and fades with it, what the arriving side draws over it comes in on the photo.
class HeroView {
public:
  /// What the widget paints: all of it, only what lies beneath the photo (while a flight
  /// carries the photo and what lies over it here), only what lies over the photo (badges,
  /// chips, borders, gradients), or the photo on its ground without what lies over it (the
  /// leaving side while its screen is photographed: its badges ride on the flying photo).
  enum class Layer { whole, ground, overPhoto, photo };

  HeroView() = default;
  HeroView(const HeroView &) = delete;
  HeroView &operator=(const HeroView &) = delete;
  virtual ~HeroView() = default;

  [[nodiscard]] virtual QWidget *heroWidget() = 0;
  /// The photo as loaded, uncropped; null while it is still loading.
  [[nodiscard]] virtual QImage heroPhoto() const = 0;
  [[nodiscard]] virtual HeroCorners heroCorners() const = 0;
  virtual void setHeroLayer(Layer layer) = 0;
  /// A flight is about to land here: the widget settles at once where it is going.
  virtual void heroLanding() {}
  /// A flight landed carrying `photo` while the widget's own was still loading: the widget
  /// shows it until its own arrives.
  virtual void receiveHeroPhoto(const QImage &photo) = 0;
};

} // namespace lumora
