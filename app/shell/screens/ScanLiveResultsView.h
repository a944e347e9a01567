#pragma once

#include "app/shell/ScreenFactory.h"

#include <QWidget>

class QLabel;
class QStackedWidget;

namespace lumora {

class AppStore;
class ScanStatusBanner;
class Spinner;

/// The screen while a scan with photos runs, and after a pause: the scan status banner,
/// a divider, and below them either the live results grid (once a group exists) or the
/// finding-groups hint, whose paused variant offers to continue. The grid is the results
/// browser from the screen factory, built without a hero namespace the first time a group
/// exists and kept from then on. GUI thread.
class ScanLiveResultsView : public QWidget {
  Q_OBJECT

public:
  ScanLiveResultsView(AppStore &store, ScreenFactory factory, QWidget *parent = nullptr);

  [[nodiscard]] ScanStatusBanner *banner() const { return m_banner; }
  /// The results grid, null until the first group formed.
  [[nodiscard]] QWidget *grid() const { return m_grid; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  QWidget *buildFindingHint();
  QWidget *buildPausedHint();
  void refresh();
  void applyTheme();

  AppStore &m_store;
  ScreenFactory m_factory;
  ScanStatusBanner *m_banner = nullptr;
  QStackedWidget *m_content = nullptr;
  QStackedWidget *m_hint = nullptr;
  QWidget *m_grid = nullptr;
  QLabel *m_findingText = nullptr;
  QLabel *m_pausedSymbol = nullptr;
  QLabel *m_pausedTitle = nullptr;
  QLabel *m_pausedDetail = nullptr;
};

} // namespace lumora
