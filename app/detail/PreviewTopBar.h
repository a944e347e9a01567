#pragma once

#include "app/shell/theme/Theme.h"

#include <QPixmap>
#include <QWidget>
// After the Qt headers: moc cannot read the standard <concepts> when it comes first.
#include "engine/model/PhotoItem.h"

namespace lumora {

class RoundSymbolButton;

/// The preview's top bar over a dark gradient: the close button, the photo's name (cut in
/// the middle), its score, tier, capture time and favourite mark, and the position capsule.
class PreviewTopBar : public QWidget {
  Q_OBJECT

public:
  explicit PreviewTopBar(QWidget *parent = nullptr);

  /// What the bar shows; repaints only when something changed.
  void setPhoto(const PhotoItem &item, const QString &shownName, const QString &positionText);
  [[nodiscard]] QString shownName() const { return m_name; }
  [[nodiscard]] QString positionText() const { return m_position; }
  [[nodiscard]] RoundSymbolButton *closeButton() const { return m_close; }
  [[nodiscard]] QSize sizeHint() const override;

signals:
  void closeRequested();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void paintTitle(QPainter &painter, const QRectF &area);
  void paintInfoRow(QPainter &painter, QPointF origin, qreal maxRight);
  void paintCapsule(QPainter &painter);
  [[nodiscard]] QRectF capsuleRect() const;
  [[nodiscard]] static QFont font(int pixels, Theme::Weight weight);

  RoundSymbolButton *m_close;
  QWidget *m_capsule; // carries the capsule's accessible name; painted by the bar
  PhotoItem m_item;
  QString m_name;
  QString m_position;
  QPixmap m_star;
};

} // namespace lumora
