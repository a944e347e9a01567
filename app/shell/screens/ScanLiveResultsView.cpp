#include "app/shell/screens/ScanLiveResultsView.h"

#include "app/shell/screens/LiveScanState.h"
#include "app/shell/screens/ScanStatusBanner.h"
#include "app/shell/screens/ScanningSkeletonRow.h"
#include "app/shell/screens/ScreenLabels.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace lumora {
namespace {

constexpr int kHintPadding = 24;
constexpr int kDividerHeight = 1;
constexpr int kPausedDetailWidth = 480;

/// A column that keeps its content in the middle of all the space it gets.
QVBoxLayout *centredColumn(QWidget *page) {
  auto *column = new QVBoxLayout(page);
  column->setContentsMargins(kHintPadding, kHintPadding, kHintPadding, kHintPadding);
  column->setSpacing(12);
  column->addStretch(1);
  return column;
}

} // namespace

ScanLiveResultsView::ScanLiveResultsView(AppStore &store, ScreenFactory factory, QWidget *parent)
    : QWidget(parent), m_store(store), m_factory(std::move(factory)) {
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  m_banner = new ScanStatusBanner(store, this);
  column->addWidget(m_banner);
  column->addSpacing(kDividerHeight);
  m_content = new QStackedWidget(this);
  m_hint = new QStackedWidget(m_content);
  m_hint->addWidget(buildFindingHint());
  m_hint->addWidget(buildPausedHint());
  m_content->addWidget(m_hint);
  column->addWidget(m_content, 1);

  connect(&m_store, &AppStore::groupsChanged, this, &ScanLiveResultsView::refresh);
  connect(&m_store, &AppStore::itemsChanged, this, &ScanLiveResultsView::refresh);
  connect(&m_store, &AppStore::isPausedChanged, this, &ScanLiveResultsView::refresh);
  connect(&m_store, &AppStore::progressChanged, this, &ScanLiveResultsView::refresh);
  connect(&m_store, &AppStore::lastResultChanged, this, &ScanLiveResultsView::refresh);
  applyTheme();
  refresh();
}

QWidget *ScanLiveResultsView::buildFindingHint() {
  auto *page = new QWidget(m_hint);
  page->setObjectName(QStringLiteral("findingHint"));
  QVBoxLayout *column = centredColumn(page);
  column->addWidget(new Spinner(28, page), 0, Qt::AlignHCenter);
  m_findingText = screenlabels::make({}, Theme::font(13), page);
  m_findingText->setObjectName(QStringLiteral("findingText"));
  column->addWidget(m_findingText, 0, Qt::AlignHCenter);
  column->addSpacing(8);
  column->addWidget(new ScanningSkeletonRow(page), 0, Qt::AlignHCenter);
  column->addStretch(1);
  return page;
}

QWidget *ScanLiveResultsView::buildPausedHint() {
  auto *page = new QWidget(m_hint);
  page->setObjectName(QStringLiteral("pausedHint"));
  QVBoxLayout *column = centredColumn(page);
  m_pausedSymbol = new QLabel(page);
  column->addWidget(m_pausedSymbol, 0, Qt::AlignHCenter);
  m_pausedTitle = screenlabels::make(localized::string("已暂停在「还没有相似组」的阶段"),
                                     Theme::font(17, Theme::Weight::semibold), page);
  column->addWidget(m_pausedTitle, 0, Qt::AlignHCenter);
  m_pausedDetail = screenlabels::make({}, Theme::font(13), page, true);
  m_pausedDetail->setObjectName(QStringLiteral("pausedDetail"));
  m_pausedDetail->setAlignment(Qt::AlignHCenter);
  column->addWidget(m_pausedDetail, 0, Qt::AlignHCenter);
  auto *resume = new ThemedButton(localized::string("继续扫描"), ThemedButton::Style::prominent,
                                  ThemedButton::Size::regular, page);
  resume->setAccessibleName(localized::string("继续扫描"));
  connect(resume, &QPushButton::clicked, &m_store, &AppStore::resumeScan);
  column->addWidget(resume, 0, Qt::AlignHCenter);
  column->addStretch(1);
  return page;
}

void ScanLiveResultsView::refresh() {
  if (m_store.groups().empty()) {
    m_content->setCurrentWidget(m_hint);
    const bool paused = m_store.isPaused();
    m_hint->setCurrentIndex(paused ? 1 : 0);
    m_findingText->setText(livescanstate::findingText(m_store));
    m_pausedDetail->setText(livescanstate::pausedDetail(m_store));
    screenlabels::fitWrapped(m_pausedDetail, screenlabels::offeredWidth(this, 2 * kHintPadding),
                             kPausedDetailWidth);
    return;
  }
  if (!m_grid) {
    m_grid = m_factory.makeResultsView(m_store, nullptr, m_content);
    m_content->addWidget(m_grid);
  }
  m_content->setCurrentWidget(m_grid);
}

void ScanLiveResultsView::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  const QRect divider(0, m_banner->geometry().bottom() + 1, width(), kDividerHeight);
  QPainter painter(this);
  painter.fillRect(divider, theme.separator);
  painter.fillRect(divider, theme.primaryAt(0.06));
}

void ScanLiveResultsView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  // The explanation takes the width it is offered up to 480 px, its lines centred.
  screenlabels::fitWrapped(m_pausedDetail, screenlabels::offeredWidth(this, 2 * kHintPadding),
                           kPausedDetailWidth);
}

void ScanLiveResultsView::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyTheme();
  }
}

void ScanLiveResultsView::applyTheme() {
  const Theme &theme = Theme::of(this);
  screenlabels::setTextColor(m_findingText, theme.secondary);
  screenlabels::setSymbol(m_pausedSymbol, QStringLiteral("pause.circle"), 40, theme.secondary);
  screenlabels::setTextColor(m_pausedTitle, theme.primary);
  screenlabels::setTextColor(m_pausedDetail, theme.secondary);
  update();
}

} // namespace lumora
