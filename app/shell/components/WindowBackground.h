#pragma once

#include <QPixmap>
#include <QWidget>

namespace lumora {

/// The full-window background: the window colour under a top-to-bottom gradient of the
/// primary colour from 1.2 % to 3.5 % opacity. Follows the scheme of `Theme::of(this)`.
/// Children may be laid on it (it is the window's central widget until the root view comes).
class WindowBackground : public QWidget {
  Q_OBJECT

public:
  explicit WindowBackground(QWidget *parent = nullptr);

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  /// The background drawn once per size and scheme; paints copy from it.
  QPixmap m_prepared;
};

} // namespace lumora
