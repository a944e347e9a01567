#pragma once

#include <QWidget>

namespace lumora {

/// A 1 px horizontal rule in the primary colour at 6 % opacity, between the bars and the
/// screens of the root view.
class Divider : public QWidget {
  Q_OBJECT

public:
  explicit Divider(QWidget *parent = nullptr);

protected:
  void paintEvent(QPaintEvent *event) override;
};

} // namespace lumora
