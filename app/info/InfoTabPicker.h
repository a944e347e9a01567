#pragma once

#include "app/store/state/AppStoreTypes.h"

#include <QWidget>

namespace lumora {

/// The sheet's two-segment tab control, 232 px wide: "关于" and "帮助与隐私". A click on a
/// segment or the Left and Right keys choose; the chosen segment sits on a raised thumb.
/// Its accessible name is "信息面板".
class InfoTabPicker : public QWidget {
  Q_OBJECT

public:
  using InfoTab = AppStoreTypes::InfoTab;
  static constexpr int kWidth = 232;
  static constexpr int kHeight = 24;

  explicit InfoTabPicker(InfoTab tab, QWidget *parent = nullptr);

  [[nodiscard]] InfoTab tab() const { return m_tab; }
  /// Chooses a segment; emits `tabChanged` only on a change.
  void setTab(InfoTab tab);
  /// The titles of the two segments, about first.
  [[nodiscard]] QString title(InfoTab tab) const;
  /// The segment under a point in the widget.
  [[nodiscard]] InfoTab tabAt(const QPoint &point) const;

signals:
  void tabChanged();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  [[nodiscard]] QRectF segmentRect(InfoTab tab) const;
  void paintSegmentTitle(QPainter &painter, InfoTab tab) const;

  InfoTab m_tab;
  QString m_aboutTitle;
  QString m_helpTitle;
};

} // namespace lumora
