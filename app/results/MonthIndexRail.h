#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstddef>
#include <optional>
#include <vector>

namespace lumora {

/// The month index at the right of the date-sorted results grid: a track, a marker at the
/// current month and evenly spread month labels (at most one per 26 points). A press
/// selects the month under the pointer and a drag selects each month it crosses, every
/// month reachable however few carry a label. The view decides emphasis and overall
/// opacity; the rail's background and leading hairline are not dimmed by it. The group
/// opacity dims the whole rail with the grid beside it (while the store regroups). A change
/// of the current month moves the labels' emphasis with a 0.14 s ease-out. GUI thread.
class MonthIndexRail : public QWidget {
  Q_OBJECT

public:
  static constexpr int kMinimumWidth = 84;
  static constexpr int kWidthPadding = 30;
  static constexpr double kLabelMeasureFontPixels = 10.5;

  explicit MonthIndexRail(QWidget *parent = nullptr);

  /// The months, in display order, by id and title.
  void setSections(QStringList ids, QStringList titles);
  void setCurrentID(std::optional<QString> id);
  void setEmphasized(bool emphasized);
  /// The opacity of the labels, track and marker (the background stays).
  void setContentOpacity(double opacity);
  /// The opacity of the whole rail, background included.
  void setGroupOpacity(double opacity);

  [[nodiscard]] bool isEmphasized() const { return m_emphasized; }
  [[nodiscard]] double contentOpacity() const { return m_contentOpacity; }
  [[nodiscard]] double groupOpacity() const { return m_groupOpacity; }
  /// How far the labels' emphasis has moved to the current month (1 when settled).
  [[nodiscard]] double labelProgress() const { return m_labelProgress.value().toDouble(); }
  [[nodiscard]] const QStringList &sectionIDs() const { return m_ids; }

  /// The indices of the months that get a label: evenly spaced, the first and the last
  /// always among them, at most `maxCount` + 1.
  [[nodiscard]] static std::vector<std::size_t> railEntries(std::size_t sectionCount,
                                                            std::size_t maxCount);
  /// How many labels a rail of `height` points shows: one per 26 points, at least 6.
  [[nodiscard]] static std::size_t maxCountFor(double height);
  /// The marker's relative height: the middle of the month at `index` of `count`.
  [[nodiscard]] static std::optional<double> currentFraction(std::optional<std::size_t> index,
                                                             std::size_t count);
  /// The rail's width for these titles: the widest at 10.5 px, plus 30, at least 84.
  [[nodiscard]] static int railWidth(const QStringList &titles);
  /// The month under a pointer at `y` on a rail `height` tall.
  [[nodiscard]] static std::size_t sectionAt(double y, double height, std::size_t count);

signals:
  /// The pointer pressed or dragged onto another month.
  void sectionSelected(const QString &id);
  void hoveringChanged(bool hovering);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void enterEvent(QEnterEvent *event) override;
  void leaveEvent(QEvent *event) override;

private:
  void dragTo(double y);
  [[nodiscard]] std::optional<std::size_t> currentIndex() const;
  void paintTrackAndMarker(QPainter &painter) const;
  void paintLabels(QPainter &painter) const;
  void paintLabel(QPainter &painter, const QRectF &cell, const QString &title,
                  double emphasis) const;

  QStringList m_ids;
  QStringList m_titles;
  std::optional<QString> m_currentID;
  /// The month whose label loses its emphasis while `m_labelProgress` runs to 1.
  std::optional<QString> m_previousID;
  MotionAnimation m_labelProgress;
  std::optional<QString> m_draggingID;
  bool m_emphasized = false;
  double m_contentOpacity = 1.0;
  double m_groupOpacity = 1.0;
};

} // namespace lumora
