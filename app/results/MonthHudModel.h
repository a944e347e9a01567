#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

namespace lumora {

/// What the month overlay of the results grid shows: the month being scrolled through and
/// whether the overlay is up. The grid reports the current month on every scroll step and
/// layout change; a scroll step shows the overlay, which goes 0.6 s after the last one. The
/// very first report (the grid's first layout) never shows it, nor does a layout change (a
/// live scan's growing grid, a regroup): the overlay shows only while the user scrolls.
/// GUI thread.
class MonthHudModel : public QObject {
  Q_OBJECT

public:
  static constexpr int kHideDelayMs = 600;

  explicit MonthHudModel(QObject *parent = nullptr);

  [[nodiscard]] const std::optional<QString> &currentMonthID() const { return m_currentMonthID; }
  [[nodiscard]] const QString &currentTitle() const { return m_currentTitle; }
  [[nodiscard]] bool showHUD() const { return m_showHUD; }

  /// Records the current month (a new title for the same month is ignored) and, after the
  /// first report, shows the overlay and restarts its hide timer.
  void noteScroll(const QString &monthID, const QString &title);
  /// Records the current month after a layout change, without showing the overlay.
  void noteMonth(const QString &monthID, const QString &title);

signals:
  void currentMonthIDChanged();
  void currentTitleChanged();
  void showHUDChanged();

private:
  void setShowHUD(bool show);

  std::optional<QString> m_currentMonthID;
  QString m_currentTitle;
  bool m_showHUD = false;
  bool m_receivedInitial = false;
  QTimer m_hideTimer;
};

} // namespace lumora
