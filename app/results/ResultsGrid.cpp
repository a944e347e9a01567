#include "app/results/ResultsGrid.h"

#include "app/results/GroupCard.h"
#include "app/results/MonthHeaderPainter.h"
#include "app/results/MonthHud.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Texts.h"
#include "platform/gui/ReduceMotion.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr int kScrollResetDelayMs = 40;
/// How deep, in views, a grid refilled with the groups it showed may start its rise.
constexpr int kKeptPlaceViews = 3;
constexpr int kWheelStep = 40;
constexpr double kDimmedOpacity = 0.72;

} // namespace

ResultsGrid::ResultsGrid(AppStore &store, HeroNamespace *hero, const MonthHudModel &hud,
                         QWidget *parent)
    : QAbstractScrollArea(parent), m_store(store), m_hudModel(hud), m_pool(store, hero, viewport()),
      m_pinnedHeader(new QLabel(viewport())), m_hud(new MonthHud(hud, viewport())),
      m_scroll(motion::smooth()), m_dim(motion::fast()) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::NoFocus);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_TranslucentBackground);
  m_layout.setCardHeight(GroupCard::kHeight);
  m_pinnedHeader->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_pinnedHeader->hide();
  verticalScrollBar()->setSingleStep(kWheelStep);
  connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, &ResultsGrid::stopScrollAnimation);
  connect(&m_scroll, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    if (!m_retargeting) {
      const QScopedValueRollback quiet(m_quietMove, m_quietMove || m_rising);
      verticalScrollBar()->setValue(static_cast<int>(std::lround(value.toDouble())));
    }
  });
  m_dim.jumpTo(1.0);
  connect(&m_dim, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_opacity = value.toDouble();
    if (m_dimEffect == nullptr) {
      m_dimEffect = new QGraphicsOpacityEffect(viewport());
      viewport()->setGraphicsEffect(m_dimEffect);
    }
    m_dimEffect->setOpacity(m_opacity);
    // Painting through the effect costs every frame: only while it shows.
    m_dimEffect->setEnabled(m_opacity < 0.999);
    emit opacityChanged(m_opacity);
  });
}

int ResultsGrid::scrollPosition() const { return verticalScrollBar()->value(); }

std::optional<QString> ResultsGrid::pinnedMonthID() const {
  if (!m_pinned || *m_pinned >= m_sections.size()) {
    return std::nullopt;
  }
  return m_sections[*m_pinned].id;
}

std::optional<std::size_t> ResultsGrid::sectionIndex(const QString &id) const {
  const auto found = std::find_if(m_sections.begin(), m_sections.end(),
                                  [&id](const MonthSection &s) { return s.id == id; });
  if (found == m_sections.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - m_sections.begin());
}

void ResultsGrid::reload() {
  rebuildSections();
  clearHeaderCache();
  relayout();
  emit sectionsChanged();
}

// One pass over the groups: months (date layout), and where each group sits.
void ResultsGrid::rebuildSections() {
  const std::vector<PhotoGroup> &groups = m_store.groups();
  const bool sectioned = m_store.sort() == GroupSort::date;
  m_indexOfGroup.clear();
  m_indexOfGroup.reserve(groups.size());
  m_placeOfGroup.assign(groups.size(), {0, 0});
  std::vector<std::size_t> sizes;
  if (sectioned) {
    m_sections = MonthSection::make(groups);
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
      const std::vector<std::size_t> &members = m_sections[s].groups;
      for (std::size_t offset = 0; offset < members.size(); ++offset) {
        m_placeOfGroup[members[offset]] = {s, offset};
      }
      sizes.push_back(members.size());
    }
  } else {
    m_sections.clear();
    for (std::size_t i = 0; i < groups.size(); ++i) {
      m_placeOfGroup[i] = {0, i};
    }
    sizes.push_back(groups.size());
  }
  for (std::size_t i = 0; i < groups.size(); ++i) {
    m_indexOfGroup.emplace(groups[i].id, i);
  }
  m_layout.setSections(std::move(sizes), sectioned);
}

void ResultsGrid::relayout() {
  const int columns = m_layout.columns();
  const QScopedValueRollback quiet(m_quietMove, true);
  m_layout.setViewportWidth(layoutWidth());
  updateScrollRange();
  placeCards();
  trackMonths();
  viewport()->update();
  if (m_layout.columns() != columns) {
    emit columnCountChanged(m_layout.columns());
  }
}

// The width with the scroll bar's place included: the bar comes and goes with the groups'
// count, and a picture of the grid with it dissolves into one without it. Laid out against
// this width, cards and headers keep their places either way; the bar, when it shows, stands
// in the grid's trailing padding.
int ResultsGrid::layoutWidth() const { return contentsRect().width(); }

void ResultsGrid::updateScrollRange() {
  QScrollBar *bar = verticalScrollBar();
  bar->setPageStep(viewport()->height());
  bar->setRange(0, m_layout.maxScroll(viewport()->height()));
}

void ResultsGrid::placeCards() {
  const int top = scrollPosition();
  const int margin = m_layout.cardHeight() + ResultsLayout::kSpacing;
  auto placements = m_layout.placementsIn(top - margin, top + viewport()->height() + margin);
  // Cards on screen are placed, and ask for their photos, before those a row beyond it.
  const QRect shown(0, top, viewport()->width(), viewport()->height());
  std::stable_partition(
      placements.begin(), placements.end(),
      [&shown](const ResultsLayout::Placement &p) { return p.rect.intersects(shown); });
  const std::vector<PhotoGroup> &groups = m_store.groups();
  std::vector<CardPool::Slot> wanted;
  wanted.reserve(placements.size());
  for (const ResultsLayout::Placement &p : placements) {
    const std::size_t index =
        m_layout.isSectioned() ? m_sections[p.section].groups[p.offset] : p.offset;
    wanted.push_back({&groups[index], static_cast<int>(p.offset), p.rect.translated(0, -top)});
  }
  const std::size_t poolBefore = m_pool.poolSize();
  m_pool.place(wanted);
  if (m_pool.poolSize() != poolBefore) {
    // New cards stack on top; the header and the overlay stay above them. A press on any
    // card, like one on the grid, gives the keys back to the grid.
    for (GroupCard *card : m_pool.liveCards()) {
      card->installEventFilter(this);
    }
    m_pinnedHeader->raise();
    m_hud->raise();
  }
}

// Reports the current month when the view has moved or its layout changed since the last
// report, and only while shown: the layout passes of a widget being built or shown count
// as one first appearance.
void ResultsGrid::trackMonths() {
  updatePinnedHeader();
  if (!m_layout.isSectioned() || m_sections.empty() || !isVisible()) {
    return;
  }
  const std::size_t current = *m_layout.currentSection(scrollPosition());
  const Report report{scrollPosition(), m_layout.contentHeight(), viewport()->width(),
                      viewport()->height(), m_sections[current].id};
  if (report == m_lastReport) {
    return;
  }
  const bool scrolled =
      !m_quietMove && m_lastReport.scroll >= 0 && report.scroll != m_lastReport.scroll;
  m_lastReport = report;
  emit monthTracked(m_sections[current].id, m_sections[current].title, scrolled);
}

// The pinned month's header sits at the top, pushed up once the next header reaches it.
void ResultsGrid::updatePinnedHeader() {
  const std::optional<std::size_t> pinned = m_layout.pinnedSection(scrollPosition());
  if (pinned != m_pinned) {
    m_pinned = pinned;
    if (m_pinned) {
      const MonthSection &section = m_sections[*m_pinned];
      const int width = layoutWidth() - ResultsLayout::kTrailingPadding;
      m_pinnedHeader->setAccessibleName(
          section.title + QLatin1Char(' ') +
          texts::groupCountText(static_cast<std::int64_t>(section.groups.size())));
      m_pinnedHeader->setPixmap(monthheaderpainter::render(
          section.title, static_cast<std::int64_t>(section.groups.size()), width, true,
          Theme::of(this), devicePixelRatioF()));
    }
  }
  if (!m_pinned) {
    m_pinnedHeader->hide();
    return;
  }
  const int top = scrollPosition();
  int y = std::max(0, m_layout.headerTop(*m_pinned) - top);
  if (*m_pinned + 1 < m_sections.size()) {
    y = std::min(y, m_layout.headerTop(*m_pinned + 1) - top - ResultsLayout::kHeaderHeight);
  }
  m_pinnedHeader->setGeometry(0, y, layoutWidth() - ResultsLayout::kTrailingPadding,
                              ResultsLayout::kHeaderHeight);
  m_pinnedHeader->show();
}

void ResultsGrid::scrollContentsBy(int, int) {
  placeCards();
  trackMonths();
  if (m_layout.isSectioned()) {
    viewport()->update();
  }
}

bool ResultsGrid::viewportEvent(QEvent *event) {
  if (event->type() == QEvent::Paint) {
    QPainter painter(viewport());
    paintHeaders(painter);
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

// The headers in the view at their places in the flow; the pinned one is its own child.
void ResultsGrid::paintHeaders(QPainter &painter) {
  if (!m_layout.isSectioned() || m_sections.empty()) {
    return;
  }
  const int top = scrollPosition();
  const int bottom = top + viewport()->height();
  const std::size_t first = m_layout.currentSection(top).value_or(0);
  for (std::size_t s = first > 0 ? first - 1 : 0; s < m_sections.size(); ++s) {
    const int headerTop = m_layout.headerTop(s);
    if (headerTop >= bottom) {
      break;
    }
    if (s == m_pinned || headerTop + ResultsLayout::kHeaderHeight <= top) {
      continue;
    }
    painter.drawPixmap(0, headerTop - top, headerPixmap(s));
  }
}

const QPixmap &ResultsGrid::headerPixmap(std::size_t section) {
  auto found = m_headerCache.find(section);
  if (found == m_headerCache.end()) {
    const MonthSection &s = m_sections[section];
    found = m_headerCache.insert(
        section, monthheaderpainter::render(s.title, static_cast<std::int64_t>(s.groups.size()),
                                            layoutWidth() - ResultsLayout::kTrailingPadding, false,
                                            Theme::of(this), devicePixelRatioF()));
  }
  return *found;
}

void ResultsGrid::clearHeaderCache() {
  m_headerCache.clear();
  m_pinned.reset(); // renders the pinned header again on the next update
}

void ResultsGrid::resizeEvent(QResizeEvent *event) {
  QAbstractScrollArea::resizeEvent(event);
  clearHeaderCache();
  m_hud->placeIn(viewport()->rect());
  relayout();
}

void ResultsGrid::showEvent(QShowEvent *event) {
  QAbstractScrollArea::showEvent(event);
  trackMonths();
}

void ResultsGrid::changeEvent(QEvent *event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    clearHeaderCache();
    updatePinnedHeader();
    viewport()->update();
  }
}

void ResultsGrid::wheelEvent(QWheelEvent *event) {
  stopScrollAnimation();
  QAbstractScrollArea::wheelEvent(event);
}

void ResultsGrid::mousePressEvent(QMouseEvent *event) {
  emit pressed();
  QAbstractScrollArea::mousePressEvent(event);
}

bool ResultsGrid::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::MouseButtonPress) {
    emit pressed();
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

void ResultsGrid::stopScrollAnimation() {
  m_scroll.stop();
  m_rising = false;
}

// While the animation is set up again it passes its old progress over the new end values
// for a moment; the view would follow to those places (placing a screen of cards each time)
// and come back. It moves only with the values the new run goes through.
void ResultsGrid::animateScrollTo(int target, const MotionCurve &curve) {
  m_retargeting = true;
  stopScrollAnimation();
  m_scroll.setCurve(curve);
  m_scroll.jumpTo(static_cast<double>(scrollPosition()));
  m_scroll.animateTo(static_cast<double>(target));
  m_retargeting = false;
}

void ResultsGrid::scrollToSection(std::size_t section) {
  if (!m_layout.isSectioned() || section >= m_sections.size()) {
    return;
  }
  animateScrollTo(m_layout.sectionScrollTarget(section, viewport()->height()), motion::smooth());
}

void ResultsGrid::scrollToGroup(const std::string &groupID) {
  const auto found = m_indexOfGroup.find(groupID);
  if (found == m_indexOfGroup.end()) {
    return;
  }
  const auto [section, offset] = m_placeOfGroup[found->second];
  const int target = m_layout.centerScrollTarget(section, offset, viewport()->height());
  if (platform::reduceMotion()) {
    stopScrollAnimation();
    verticalScrollBar()->setValue(target);
    return;
  }
  animateScrollTo(target, motion::fast());
}

void ResultsGrid::scheduleScrollReset() {
  QTimer::singleShot(kScrollResetDelayMs, this, [this, kept = m_placesKept] {
    if (kept != m_placesKept) {
      return;
    }
    stopScrollAnimation();
    const QScopedValueRollback quiet(m_quietMove, true);
    verticalScrollBar()->setValue(0);
  });
}

// Deeper than three views' height, the rise would race past rows nobody reads: it starts
// three views down, where the month header stands pinned at the top as it stood.
void ResultsGrid::keepPlace(int place) {
  ++m_placesKept;
  stopScrollAnimation();
  const QScopedValueRollback quiet(m_quietMove, true);
  verticalScrollBar()->setValue(std::min(place, kKeptPlaceViews * viewport()->height()));
}

void ResultsGrid::riseToTop() {
  animateScrollTo(0, motion::smooth());
  m_rising = true;
}

void ResultsGrid::setDimmed(bool dimmed) { m_dim.animateTo(dimmed ? kDimmedOpacity : 1.0); }

} // namespace lumora
