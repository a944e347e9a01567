#pragma once

#include "app/results/CardImageSlot.h"
#include "app/results/GroupCardLayout.h"
#include "app/store/state/AppStoreTypes.h"
#include "engine/model/PhotoGroup.h"

#include <QObject>
#include <QPixmap>
#include <array>
#include <bitset>
#include <memory>
#include <utility>

class QWidget;

namespace lumora {

/// The body of a group card drawn once into a pixmap: its rounded fill and resting border,
/// the title row, the candidate strip (with its thumbnails, score chips, favourite stars and
/// overflow tile) and the caption under the clean-up button. The hero and the button are
/// children on top. Redrawn only when the group, the width, the source, the selection or the
/// theme changes; a thumbnail arriving or fading repaints its own tile only. GUI thread.
class GroupCardFace : public QObject {
  Q_OBJECT

public:
  /// `owner` gives the theme and the pixel density; `thumbnails` the tiles' pictures.
  GroupCardFace(ThumbnailLoader &thumbnails, QWidget *owner);
  ~GroupCardFace() override;

  void setGroup(const PhotoGroup &group);
  void setWidth(int width);
  void setSource(AppStoreTypes::SourceKind source);
  void setSelected(bool selected);
  /// The fill between the plain (0) and the selected colour (1), as the selection animates.
  void setSelectedFill(double fill);
  /// Loads the candidate thumbnails while the card is shown.
  void setActive(bool active);
  /// A candidate thumbnail is on its way and nothing stands in for it yet.
  [[nodiscard]] bool isEmptyWhilePending() const;
  /// Forces a redraw on the next `pixmap()` (theme or pixel density changed).
  void invalidate();

  [[nodiscard]] const GroupCardLayout &layout() const { return m_layout; }
  /// The whole card, in card coordinates.
  [[nodiscard]] QRect rect() const;
  /// The border's opacity baked into the pixmap.
  static constexpr double kRestingBorder = 0.07;
  /// The prepared pixmap of `rect()`, redrawn first when something changed.
  [[nodiscard]] const QPixmap &pixmap();
  /// The card's outline alone, a one-pixel ring in the full primary colour: drawn at an
  /// opacity over the body while the card is hovered.
  [[nodiscard]] const QPixmap &ring();
  /// The tooltip of the tile or overflow tile at `position` (card coordinates); empty
  /// elsewhere.
  [[nodiscard]] QString toolTipAt(const QPoint &position) const;

signals:
  /// The face looks different (a thumbnail arrived or faded a step).
  void changed();

private:
  void relayout();
  void repaintStaleTiles();
  [[nodiscard]] QPixmap restingBody() const;
  [[nodiscard]] std::pair<QColor, QColor> bodyColors() const;
  void paintBody(QPainter &painter);
  void drawBody(QPainter &painter, const QColor &fill, const QColor &border) const;
  [[nodiscard]] std::int64_t hiddenCount() const;
  void paintTitleRow(QPainter &painter);
  void paintStrip(QPainter &painter);
  void paintTile(QPainter &painter, std::size_t index);
  void paintOverflow(QPainter &painter);
  void paintCaption(QPainter &painter);

  QWidget *m_owner;
  PhotoGroup m_group;
  int m_width = 0;
  AppStoreTypes::SourceKind m_source = AppStoreTypes::SourceKind::folder;
  bool m_selected = false;
  double m_selectedFill = 0;
  GroupCardLayout m_layout;
  std::array<std::unique_ptr<CardImageSlot>, GroupCardLayout::kMaxTiles> m_tiles;
  QPixmap m_pixmap;
  QPixmap m_ring;
  QColor m_ringColor;
  bool m_dirty = true;
  /// Tiles whose picture changed since the face was drawn.
  std::bitset<GroupCardLayout::kMaxTiles> m_staleTiles;
};

} // namespace lumora
