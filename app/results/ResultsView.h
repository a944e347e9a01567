#pragma once

#include "app/results/GridKeyController.h"
#include "app/results/MonthHudModel.h"
#include "app/shell/motion/MotionAnimation.h"
#include "app/shell/transition/LoadingImages.h"
#include "app/shell/transition/ScreenTransition.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;

namespace lumora {

class AppStore;
class BatchCleanupDialog;
class GridKeyView;
class HeroNamespace;
class MonthIndexRail;
class ResultsGrid;
class SummaryBar;

/// The results screen: the summary bar, a hairline, and the grid of group cards with the
/// month rail at its right when the groups are sorted by date and span several months.
/// It follows the store (groups, sort, source, focus, regrouping, selection), scrolls to
/// the top after the list changes, centres the focused card, jumps between months by rail
/// and keys, and keeps the rail bright while the grid scrolls. Keys reach it through its
/// `GridKeyView`; while selecting, Ctrl+A, Escape and Backspace work window-wide.
///
/// `hero` is the root view's hero namespace in the ready phase, null in the live screen.
/// GUI thread.
class ResultsView : public QWidget, public LoadingImages {
  Q_OBJECT

public:
  static constexpr int kRailActivityMs = 1200;
  static constexpr double kRailIdleOpacity = 0.38;

  ResultsView(AppStore &store, HeroNamespace *hero, QWidget *parent = nullptr);
  ~ResultsView() override;

  /// Whether a card in view still waits for one of its photos.
  [[nodiscard]] bool isLoadingImages() const override;

  /// Moves to the previous (−1) or next (+1) month, by date sort only; every jump scrolls,
  /// also to the month it already names.
  void jumpMonth(int step);

  [[nodiscard]] int columnCount() const;
  [[nodiscard]] ResultsGrid &grid() const { return *m_grid; }
  [[nodiscard]] MonthIndexRail &rail() const { return *m_rail; }
  [[nodiscard]] GridKeyView &keyView() const { return *m_keyView; }
  [[nodiscard]] SummaryBar &summaryBar() const { return *m_summaryBar; }
  [[nodiscard]] BatchCleanupDialog &batchDialog() const { return *m_batchDialog; }
  [[nodiscard]] const MonthHudModel &hud() const { return m_hud; }
  /// The change of the grid under way (a regroup, a new sort).
  [[nodiscard]] const ScreenTransition &transition() const { return m_transition; }
  [[nodiscard]] bool isRailActive() const { return m_railActive; }
  /// The window-wide selection shortcuts; empty unless selecting.
  [[nodiscard]] QList<QAction *> selectionShortcuts() const;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  void buildLayout(HeroNamespace *hero);
  void bindStore();
  void groupsChanged();
  void sortChanged();
  void regroupingChanged();
  /// Keeps the grid as the user sees it under a still picture while it changes.
  /// Holds the grid as shown, with the summary bar above it when `withSummary`.
  void holdGrid(bool withSummary);
  /// Under a still picture of the window's screens (a rescan that ended quickly), keeps the
  /// grid's place when the groups come back as they were.
  void keepPlaceUnderCover();
  /// Once that picture has gone, a grid kept in its place rises to its top.
  void coverGone(const QObject *cover);
  void monthTracked(const QString &id, const QString &title, bool scrolled);
  void noteScrollActivity();
  void updateRail();
  void updateRailEmphasis();
  void focusCardInView();
  void updateSelectionShortcuts();

  AppStore &m_store;
  MonthHudModel m_hud;
  GridKeyController m_keys;
  SummaryBar *m_summaryBar = nullptr;
  QWidget *m_hairline = nullptr;
  ResultsGrid *m_grid = nullptr;
  MonthIndexRail *m_rail = nullptr;
  GridKeyView *m_keyView = nullptr;
  std::unique_ptr<BatchCleanupDialog> m_batchDialog;
  QList<QAction *> m_shortcuts;
  std::size_t m_groupCount = 0;
  /// The ids of the groups the grid shows, in their order.
  std::vector<std::string> m_shownIDs;
  /// Where the grid stood, over which groups, when a still picture began to cover the view;
  /// `toTop` once a change of the groups' count sent the list to its top, `kept` once the
  /// groups came back as they were and the grid went back there.
  struct PlaceUnderCover {
    const QObject *cover = nullptr;
    int scroll = 0;
    std::vector<std::string> ids;
    bool toTop = false;
    bool kept = false;
  };
  std::optional<PlaceUnderCover> m_placeUnderCover;
  bool m_railActive = false;
  bool m_railHovering = false;
  QTimer m_railTimer;
  MotionAnimation m_railOpacity;
  ScreenTransition m_transition;
};

} // namespace lumora
