#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QPointer>
#include <QScrollArea>
#include <optional>
#include <string>
#include <vector>
// After the Qt headers: moc cannot read the standard <concepts> when it comes first.
#include "engine/model/PhotoGroup.h"

namespace lumora {

class AppStore;
class DetailReasonChip;
class DetailTile;
class FocusRingOverlay;
class HeroNamespace;

/// The scrolling grid of the group detail: the reason chip, then one tile per photo in the
/// group's order, placed by arithmetic in the given number of columns (12 px apart, 16 px
/// in from every side, each tile 4:3). Tiles are kept by photo id and reused, so a regroup
/// or a favourite repaints only what changed. The focused tile carries the focus ring and
/// is scrolled to the centre about 30 ms after the focus moves. GUI thread only.
class DetailGrid : public QScrollArea {
  Q_OBJECT

public:
  static constexpr int kPadding = 16;
  static constexpr int kSpacing = 12;
  static constexpr int kChipSpacing = 10;

  DetailGrid(AppStore &store, HeroNamespace *hero, QWidget *parent = nullptr);
  ~DetailGrid() override;

  /// Shows the group's photos in `columns` columns.
  void setGroup(const PhotoGroup &group, int columns);
  /// Marks the focused photo; `scroll` brings it to the centre shortly after.
  void setFocusedID(const std::optional<std::string> &id, bool scroll);
  [[nodiscard]] const std::vector<DetailTile *> &tiles() const { return m_tiles; }
  [[nodiscard]] DetailTile *tile(const std::string &id) const;
  [[nodiscard]] DetailReasonChip *reasonChip() const { return m_chip; }
  [[nodiscard]] int columns() const { return m_columns; }

signals:
  void deleteRequested(const PhotoItem &item);

protected:
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void syncTiles(const PhotoGroup &group);
  void layoutTiles();
  void placeRing();
  void scrollToFocus(const std::string &id);

  AppStore &m_store;
  HeroNamespace *m_hero;
  QWidget *m_content;
  DetailReasonChip *m_chip;
  FocusRingOverlay *m_ring;
  std::vector<DetailTile *> m_tiles;
  std::optional<std::string> m_focusedID;
  QPointer<DetailTile> m_focusedTile;
  int m_columns = 3;
  MotionAnimation m_scroll;
};

} // namespace lumora
