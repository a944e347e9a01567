#pragma once

#include "app/shell/theme/ThemedButton.h"

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

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  [[nodiscard]] QColor labelColor() const;

  QString m_title;
  QString m_bytes;
  bool m_cleaning = false;
  bool m_plain = false;
  Spinner *m_spinner;
};

} // namespace lumora
