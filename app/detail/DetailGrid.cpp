#include "app/detail/DetailGrid.h"

#include "app/detail/DetailReasonChip.h"
#include "app/detail/DetailTexts.h"
#include "app/detail/DetailTile.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/components/KeyCatcherView.h"
#include "app/shell/motion/Motion.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTimer>
#include <unordered_map>

namespace lumora {
namespace {

constexpr int kScrollDelayMs = 30;

} // namespace

DetailGrid::DetailGrid(AppStore &store, HeroNamespace *hero, QWidget *parent)
    : QScrollArea(parent), m_store(store), m_hero(hero), m_content(new QWidget),
      m_chip(new DetailReasonChip(m_content)),
      m_ring(new FocusRingOverlay(DetailTile::kCornerRadius, m_content)),
      m_scroll(motion::fast(), this) {
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWidgetResizable(false);
  viewport()->setAutoFillBackground(false);
  setWidget(m_content);
  // The scroll area fills its widget with the window colour; the screen's background shows.
  m_content->setAutoFillBackground(false);
  m_ring->hide();
  // The ring marks where the keys go: it leaves with the keyboard focus and comes back with it.
  connect(qApp, &QApplication::focusChanged, this, &DetailGrid::placeRing);
  connect(&m_scroll, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { verticalScrollBar()->setValue(qRound(value.toReal())); });
}

// Its children go after this body, and may move the focus on their way.
DetailGrid::~DetailGrid() { disconnect(qApp, nullptr, this, nullptr); }

DetailTile *DetailGrid::tile(const std::string &id) const {
  for (DetailTile *candidate : m_tiles) {
    if (candidate->item().id == id) {
      return candidate;
    }
  }
  return nullptr;
}

void DetailGrid::setGroup(const PhotoGroup &group, int columns) {
  m_chip->setText(detailtexts::reasonText(group));
  m_columns = std::max(columns, 1);
  syncTiles(group);
  layoutTiles();
  setFocusedID(m_focusedID, false);
}

// Reuses the tile of every photo still in the group, makes tiles for new ones and drops
// the rest; the order follows the group.
void DetailGrid::syncTiles(const PhotoGroup &group) {
  std::unordered_map<std::string, DetailTile *> existing;
  for (DetailTile *old : m_tiles) {
    existing.emplace(old->item().id, old);
  }
  std::vector<DetailTile *> tiles;
  tiles.reserve(group.items.size());
  for (const PhotoItem &item : group.items) {
    DetailTile *tile = nullptr;
    if (const auto found = existing.find(item.id); found != existing.end()) {
      tile = found->second;
      existing.erase(found);
    } else {
      tile = new DetailTile(m_store, m_hero, m_content);
      connect(tile, &DetailTile::deleteRequested, this, &DetailGrid::deleteRequested);
      tile->installEventFilter(this);
    }
    tile->setPhoto(item, group);
    tile->show();
    tiles.push_back(tile);
  }
  for (const auto &[id, gone] : existing) {
    delete gone;
  }
  m_tiles = std::move(tiles);
}

void DetailGrid::layoutTiles() {
  const int width = viewport()->width();
  const QSize chip = m_chip->sizeHint();
  m_chip->setGeometry(kPadding, kPadding, std::min(chip.width(), width - 2 * kPadding),
                      chip.height());
  const double tileWidth =
      std::max(10.0, (width - 2.0 * kPadding - kSpacing * (m_columns - 1)) / m_columns);
  const double tileHeight = tileWidth * 3 / 4;
  const int top = kPadding + chip.height() + kChipSpacing;
  for (std::size_t index = 0; index < m_tiles.size(); ++index) {
    const auto row = static_cast<int>(index) / m_columns;
    const auto column = static_cast<int>(index) % m_columns;
    const QPointF origin(kPadding + column * (tileWidth + kSpacing),
                         top + row * (tileHeight + kSpacing));
    m_tiles[index]->setSlot(QRectF(origin, QSizeF(tileWidth, tileHeight)).toRect());
  }
  const int rows = (static_cast<int>(m_tiles.size()) + m_columns - 1) / m_columns;
  const int height = top + qRound(rows * tileHeight + std::max(rows - 1, 0) * kSpacing) + kPadding;
  m_content->resize(width, height);
  placeRing();
}

void DetailGrid::setFocusedID(const std::optional<std::string> &id, bool scroll) {
  m_focusedID = id;
  m_focusedTile = id ? tile(*id) : nullptr;
  for (DetailTile *candidate : m_tiles) {
    candidate->setFocused(candidate == m_focusedTile);
  }
  placeRing();
  if (scroll && id) {
    // Each change scrolls on its own, a moment later, once the layout has settled.
    QTimer::singleShot(kScrollDelayMs, this, [this, target = *id] { scrollToFocus(target); });
  }
}

void DetailGrid::placeRing() {
  if (!m_focusedTile || !KeyCatcherView::holdsKeysFor(this)) {
    m_ring->hide();
    return;
  }
  m_ring->placeOver(m_focusedTile->geometry());
  m_ring->show();
}

void DetailGrid::scrollToFocus(const std::string &id) {
  const DetailTile *target = tile(id);
  if (!target) {
    return;
  }
  QScrollBar *bar = verticalScrollBar();
  const int centre = target->slot().center().y() - viewport()->height() / 2;
  const int value = std::clamp(centre, bar->minimum(), bar->maximum());
  if (platform::reduceMotion()) {
    m_scroll.stop();
    bar->setValue(value);
    return;
  }
  m_scroll.jumpTo(static_cast<qreal>(bar->value()));
  m_scroll.animateTo(static_cast<qreal>(value));
}

void DetailGrid::resizeEvent(QResizeEvent *event) {
  QScrollArea::resizeEvent(event);
  layoutTiles();
}

// The ring follows the focused tile while it lifts.
bool DetailGrid::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_focusedTile &&
      (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    placeRing();
  }
  return QScrollArea::eventFilter(watched, event);
}

} // namespace lumora
