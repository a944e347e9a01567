#pragma once

#include <QWidget>
// After the Qt headers: moc cannot read the standard <concepts> when it comes first.
#include "engine/model/PhotoItem.h"

namespace lumora {

class PreviewCapsuleButton;

/// The preview's bottom bar over a dark gradient: the favourite button, the delete button
/// and the hint line, which shrinks to 75 % before it is cut.
class PreviewBottomBar : public QWidget {
  Q_OBJECT

public:
  explicit PreviewBottomBar(QWidget *parent = nullptr);

  void setFavorite(bool favorite);
  [[nodiscard]] PreviewCapsuleButton *favoriteButton() const { return m_favorite; }
  [[nodiscard]] PreviewCapsuleButton *deleteButton() const { return m_delete; }
  [[nodiscard]] QSize sizeHint() const override;

signals:
  void favoriteClicked();
  void deleteClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void paintHint(QPainter &painter);

  PreviewCapsuleButton *m_favorite;
  PreviewCapsuleButton *m_delete;
  bool m_isFavorite = true; // so that the first `setFavorite(false)` sets the look
};

} // namespace lumora
