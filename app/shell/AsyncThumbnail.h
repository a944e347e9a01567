#pragma once

#include "app/store/images/ThumbnailRequest.h"
#include "engine/model/PhotoItem.h"

#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>
#include <optional>
#include <string>

namespace lumora {

/// Shows one photo's cached thumbnail filling its frame (aspect fill, clipped), or a
/// placeholder until the thumbnail arrives; the change fades over 0.14 s.
///
/// The load is keyed by the photo's id, or by `cacheKey` when there is no photo. It starts
/// when the widget is shown and again whenever the key changes, and its answer is dropped
/// when the widget is hidden or the key changes; the decode itself runs on and lands in the
/// loader's cache. GUI thread only.
class AsyncThumbnail : public QWidget {
  Q_OBJECT

public:
  AsyncThumbnail(ThumbnailLoader &loader, std::optional<PhotoItem> item, std::string cacheKey,
                 int maxPixel, QWidget *parent = nullptr);

  /// Points a reused widget at another photo; a new key restarts the load.
  void setItem(std::optional<PhotoItem> item, std::string cacheKey, int maxPixel);
  [[nodiscard]] const ThumbnailPtr &thumbnail() const { return m_thumbnail; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

private:
  [[nodiscard]] const std::string &loadKey() const;
  void startLoad();
  void setThumbnail(ThumbnailPtr thumbnail);
  void paintPlaceholder(QPainter &painter);
  void paintImage(QPainter &painter) const;
  [[nodiscard]] QColor secondary(qreal opacity) const;

  std::optional<PhotoItem> m_item;
  std::string m_cacheKey;
  int m_maxPixel;
  ThumbnailRequest m_request;
  std::optional<std::string> m_startedKey; // the key of the running load, none when stopped
  ThumbnailPtr m_thumbnail;
  QPixmap m_pixmap;
  QPixmap m_symbol; // the tinted placeholder symbol, made on first paint
  qreal m_imageOpacity = 0;
  QVariantAnimation m_fade;
};

} // namespace lumora
