#pragma once

#include "engine/model/GroupSort.h"

#include <QWidget>

namespace lumora {

/// The summary bar's two-segment sort control ("按日期", "按相似数量"), 196 wide. A click or,
/// with focus (Tab only), the Left and Right keys pick a segment. GUI thread.
class SortPicker : public QWidget {
  Q_OBJECT

public:
  static constexpr int kWidth = 196;
  static constexpr int kHeight = 24;

  explicit SortPicker(QWidget *parent = nullptr);

  void setSort(GroupSort sort);
  [[nodiscard]] GroupSort sort() const { return m_sort; }
  /// The segment of `sort`, in widget coordinates.
  [[nodiscard]] QRect segmentRect(GroupSort sort) const;

  [[nodiscard]] QSize sizeHint() const override { return {kWidth, kHeight}; }

signals:
  /// The user picked a segment other than the current one.
  void sortPicked(GroupSort sort);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  void pick(GroupSort sort);

  GroupSort m_sort = GroupSort::date;
};

} // namespace lumora
