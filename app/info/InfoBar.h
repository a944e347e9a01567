#pragma once

#include <QWidget>

namespace lumora {

/// The sheet's header or footer: the bar material over the sheet's background, with the
/// hairline divider (the separator under the primary colour at 6 %) on the edge that faces
/// the scrolling content. Holds whatever layout its owner gives it.
class InfoBar : public QWidget {
  Q_OBJECT

public:
  enum class DividerEdge { bottom, top };

  explicit InfoBar(DividerEdge edge, QWidget *parent = nullptr);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  DividerEdge m_edge;
};

} // namespace lumora
