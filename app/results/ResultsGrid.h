#pragma once

#include "app/results/CardPool.h"
#include "app/results/MonthSection.h"
#include "app/results/ResultsLayout.h"
#include "app/shell/motion/MotionAnimation.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QPixmap>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QGraphicsOpacityEffect;
class QLabel;

namespace lumora {

class AppStore;
class HeroNamespace;
class MonthHud;
class MonthHudModel;

/// The scrolling grid of group cards. Sorted by date it shows month sections with their
/// headers, the header of the month at the top pinned (pushed up by the next) and the
/// passing month overlay; sorted by member count, one flat grid. Everything is placed by
/// `ResultsLayout`; only the cards meeting the view plus one row exist, from a `CardPool`.
///
/// Per scroll step it places the cards, finds the current and the pinned month by binary
/// search and reports the current month (`monthTracked`); it never walks the groups then.
/// The groups are read again only by `reload()`. GUI thread.
class ResultsGrid : public QAbstractScrollArea {
  Q_OBJECT

public:
  /// Cards get `hero` (null in the live screen: no hero zoom).
  ResultsGrid(AppStore &store, HeroNamespace *hero, const MonthHudModel &hud,
              QWidget *parent = nullptr);

  /// Reads the store's groups and sort again: sections, layout, cards. Keeps the scroll
  /// position where it still exists.
  void reload();

  [[nodiscard]] const std::vector<MonthSection> &sections() const { return m_sections; }
  [[nodiscard]] bool isSectioned() const { return m_layout.isSectioned(); }
  [[nodiscard]] int columnCount() const { return m_layout.columns(); }
  [[nodiscard]] const ResultsLayout &layout() const { return m_layout; }
  [[nodiscard]] int scrollPosition() const;
  [[nodiscard]] std::optional<QString> pinnedMonthID() const;
  [[nodiscard]] const CardPool &cards() const { return m_pool; }
  [[nodiscard]] MonthHud &hud() { return *m_hud; }
  /// The index of the month with this id, if any.
  [[nodiscard]] std::optional<std::size_t> sectionIndex(const QString &id) const;

  /// Brings the month's header to the top: the calm spring, or a 0.14 s ease-out under
  /// reduced motion.
  void scrollToSection(std::size_t section);
  /// Centres the group's card: a 0.14 s ease-out, at once under reduced motion.
  void scrollToGroup(const std::string &groupID);
  /// Scrolls to the top without animation 40 ms from now. Every call scrolls once, unless
  /// `keepPlace` comes first.
  void scheduleScrollReset();
  /// Scrolls at once, quietly, to `place`, or to three views' height from the top when
  /// deeper, and drops the resets scheduled: a grid refilled with the groups it showed
  /// starts where it was, so a picture of it dissolves into the same picture.
  void keepPlace(int place);
  /// Brings the grid to its top with the calm spring (a 0.14 s ease-out under reduced
  /// motion), quietly: no month overlay for a move the user did not make.
  void riseToTop();
  /// Dims the cards while a regroup runs (0.72), with a 0.14 s ease-out.
  void setDimmed(bool dimmed);
  [[nodiscard]] double contentOpacity() const { return m_opacity; }

signals:
  /// The month the view is in, on every scroll step and layout change of the date layout;
  /// `scrolled` when the view moved by a scroll (the user's, or a month jump), not by a
  /// layout pass or the reset to the top after the groups changed.
  void monthTracked(const QString &id, const QString &title, bool scrolled);
  void columnCountChanged(int columns);
  /// The sections were rebuilt (date layout) or dropped (member count).
  void sectionsChanged();
  /// A mouse press on the grid (the key catcher takes the focus back).
  void pressed();
  /// The grid's opacity moved (it dims while the store regroups).
  void opacityChanged(double opacity);

protected:
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void changeEvent(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void rebuildSections();
  void relayout();
  [[nodiscard]] int layoutWidth() const;
  void updateScrollRange();
  void placeCards();
  void trackMonths();
  void updatePinnedHeader();
  void paintHeaders(QPainter &painter);
  [[nodiscard]] const QPixmap &headerPixmap(std::size_t section);
  void clearHeaderCache();
  void animateScrollTo(int target, const MotionCurve &curve);
  void stopScrollAnimation();

  /// What the last month report saw; a report goes out only when this changes.
  struct Report {
    int scroll = -1;
    int contentHeight = 0;
    int width = 0;
    int height = 0;
    QString monthID;
    bool operator==(const Report &) const = default;
  };

  AppStore &m_store;
  const MonthHudModel &m_hudModel;
  ResultsLayout m_layout;
  CardPool m_pool;
  std::vector<MonthSection> m_sections;
  /// Position of each group in its section (date) or the list (member count).
  std::vector<std::pair<std::size_t, std::size_t>> m_placeOfGroup;
  std::unordered_map<std::string, std::size_t> m_indexOfGroup;
  std::optional<std::size_t> m_pinned;
  QHash<std::size_t, QPixmap> m_headerCache;
  QLabel *m_pinnedHeader;
  MonthHud *m_hud;
  MotionAnimation m_scroll;
  /// Set while `m_scroll` is set up for a new target: its values then do not scroll.
  bool m_retargeting = false;
  MotionAnimation m_dim;
  QGraphicsOpacityEffect *m_dimEffect = nullptr;
  double m_opacity = 1.0;
  Report m_lastReport;
  /// Set while the view moves without a scroll of the user's (layout passes, the reset).
  bool m_quietMove = false;
  /// Set while `m_scroll` runs for `riseToTop`.
  bool m_rising = false;
  /// Counts the calls of `keepPlace`: a reset scheduled before one does nothing.
  int m_placesKept = 0;
};

} // namespace lumora
