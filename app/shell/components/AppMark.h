#pragma once

#include <QPixmap>
#include <QWidget>

namespace lumora {

/// The application's icon (our own SVG, also the window icon) as a `size` × `size` square
/// with a soft shadow: black at 12 %, blur radius max(size × 0.03, 1), offset down by
/// max(size × 0.015, 1). The shadow falls inside the square's transparent margin. Hidden
/// from accessibility tools.
class AppMark : public QWidget {
  Q_OBJECT

public:
  explicit AppMark(int size, QWidget *parent = nullptr);

  [[nodiscard]] static qreal shadowRadius(qreal size);
  [[nodiscard]] static qreal shadowOffset(qreal size);
  /// The icon drawn at `pixelSize` (square), without shadow, from the built-in SVG.
  [[nodiscard]] static QPixmap iconPixmap(int pixelSize, qreal devicePixelRatio = 1.0);
  /// The application icon at the usual sizes (window icon, desktop entry).
  [[nodiscard]] static QIcon applicationIcon();

  [[nodiscard]] QSize sizeHint() const override { return {m_size, m_size}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  void render();

  int m_size;
  QPixmap m_rendered;
};

} // namespace lumora
