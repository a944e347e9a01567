#pragma once

#include "app/store/images/ThumbnailRequest.h"
#include "engine/model/PhotoItem.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <string>

class QPainter;

namespace lumora {

/// One photo place of a custom-painted card: asks the store's thumbnail cache for its photo
/// while the card is shown, keeps the image scaled once to the place's pixel size, and
/// fades it in over the placeholder (0.14 s ease-out) when it arrives after the first paint.
/// GUI thread.
class CardImageSlot : public QObject {
  Q_OBJECT

public:
  CardImageSlot(ThumbnailLoader &loader, int maxPixel, QObject *parent = nullptr);
  /// Leaves the photo shown in the loader's cache (room permitting), where the next view of
  /// it finds it at once.
  ~CardImageSlot() override;

  /// The photo of this place; none empties it. Another photo, or the same file changed
  /// since, restarts the load when active; the same photo keeps the image shown.
  void setItem(const PhotoItem *item);
  /// Rounds the place's corners: the image and the placeholder are cut once, so painting
  /// needs no clip.
  void setCornerRadius(qreal radius) { m_radius = radius; }
  /// Loads while active (the card is shown); inactive drops the pending answer.
  void setActive(bool active);
  [[nodiscard]] bool hasImage() const { return !m_thumbnailImage.isNull(); }
  /// The photo as loaded, uncropped; null before it is there.
  [[nodiscard]] const QImage &image() const { return m_thumbnailImage; }
  /// Shows `image` (the same photo, from elsewhere) until the slot's own arrives, which
  /// then simply takes its place; does nothing when the slot already has its photo.
  void setStandIn(const QImage &image);
  void setStandIn(const ThumbnailPtr &thumbnail);
  /// An image was asked for and has not arrived yet.
  [[nodiscard]] bool isPending() const { return m_request.isPending(); }
  /// Asked and not arrived, with no stand-in shown meanwhile: the place is empty.
  [[nodiscard]] bool isEmptyWhilePending() const { return isPending() && !hasImage(); }
  [[nodiscard]] const std::string &itemID() const { return m_id; }

  /// The placeholder, then the image aspect-filled into `rect` at the fade's opacity.
  void paint(QPainter &painter, const QRectF &rect, const QColor &secondary,
             qreal devicePixelRatio);

signals:
  /// The slot looks different: an image arrived, or a fade step.
  void changed();

private:
  void startLoad();
  void keepUntilNextTurn();
  void setImage(const ThumbnailPtr &thumbnail, bool fade);
  const QPixmap &scaledFor(const QSize &devicePixels, qreal devicePixelRatio);
  [[nodiscard]] QPixmap roundedPlaceholder(const QSizeF &size, const QColor &secondary,
                                           qreal devicePixelRatio);

  ThumbnailLoader &m_loader;
  /// Null once the loader is gone (a slot may outlive it at shutdown).
  QPointer<ThumbnailLoader> m_loaderAlive;
  int m_maxPixel;
  PhotoItem m_item;
  std::string m_id;
  bool m_active = false;
  bool m_loaded = false;
  ThumbnailRequest m_request;
  /// Held while shown, so the loader finds the image again for another view of the photo.
  ThumbnailPtr m_thumbnail;
  QImage m_thumbnailImage;
  QPixmap m_scaled;
  QPixmap m_symbol;
  qreal m_opacity = 0;
  qreal m_radius = 0;
  QVariantAnimation m_fade;
};

} // namespace lumora
