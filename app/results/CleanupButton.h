#pragma once

#include "app/shell/theme/ThemedButton.h"

#include <QPixmap>

namespace lumora {

class Spinner;

/// A group card's clean-up button: the bordered red-tinted button, or a plain one on a
/// selected card, whose label runs the width of the card: the trash symbol (a spinner while
/// cleaning), the title, and the byte count at the far end. GUI thread.
class CleanupButton : public ThemedButton {
  Q_OBJECT

public:
  explicit CleanupButton(QWidget *parent = nullptr);

  /// The label: `title`, and `bytes` at the end (empty for none).
  void setLabel(const QString &title, const QString &bytes);
  [[nodiscard]] const QString &title() const { return m_title; }
  [[nodiscard]] const QString &bytes() const { return m_bytes; }
  /// Shows the spinner instead of the trash symbol.
  void setCleaning(bool cleaning);
  [[nodiscard]] bool isCleaning() const { return m_cleaning; }
  /// A selected card's button is drawn plain (no bezel, primary colour).
  void setPlain(bool plain);
  [[nodiscard]] bool isPlain() const { return m_plain; }
  /// The card's opacity while it fades in or out: the button is drawn as a whole at it.
  void setOpacity(qreal opacity);
  [[nodiscard]] qreal opacity() const { return m_opacity; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  bool event(QEvent *event) override;

private:
  /// Everything the button's look depends on, to know when the snapshot is stale.
  struct Look {
    QSize size;
    qreal devicePixelRatio = 0;
    QString title;
    QString bytes;
    bool plain = false;
    bool enabled = false;
    bool down = false;
    bool hovered = false;
    bool focused = false;
    QRgb primary = 0;
    QRgb red = 0;
    QRgb secondary = 0;
    QRgb accent = 0;
    bool operator==(const Look &) const = default;
  };

  void paintButton(QPainter &painter) const;
  [[nodiscard]] Look look() const;
  [[nodiscard]] QColor labelColor() const;
  void applyOpacity();

  QString m_title;
  QString m_bytes;
  bool m_cleaning = false;
  bool m_plain = false;
  bool m_hovered = false;
  qreal m_opacity = 1;
  Spinner *m_spinner;
  /// The button drawn once at full opacity, repainted at the card's opacity while it fades.
  QPixmap m_snapshot;
  Look m_snapshotLook;
};

} // namespace lumora
