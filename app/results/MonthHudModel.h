#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

namespace lumora {

/// What the month overlay of the results grid shows: the month being scrolled through and
/// whether the overlay is up. The grid reports the current month on every scroll step and
/// layout change; the overlay appears from the second report on and goes 0.6 s after the
/// last one. The very first report (the grid's first layout) never shows it. GUI thread.
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
