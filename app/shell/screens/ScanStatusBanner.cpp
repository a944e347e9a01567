#include "app/shell/screens/ScanStatusBanner.h"

#include "app/shell/screens/LinearProgressBar.h"
#include "app/shell/screens/LiveScanState.h"
#include "app/shell/screens/RollingHeadline.h"
#include "app/shell/screens/ScreenLabels.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/ReduceMotion.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace lumora {
namespace {

constexpr int kMarkSize = 14;
// The small spinner drawn at 0.75 of its size.
constexpr int kSpinnerDiameter = 12;
constexpr int kBarHeight = 3;

} // namespace

ScanStatusBanner::ScanStatusBanner(AppStore &store, QWidget *parent)
    : QWidget(parent), m_store(store) {
  setObjectName(QStringLiteral("ScanStatusBanner"));
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(20, 8, 20, 8);
  column->setSpacing(6);
  column->addLayout(buildRow());
  m_bar = new LinearProgressBar(kBarHeight, this);
  m_bar->setObjectName(QStringLiteral("progressBar"));
  m_bar->setMinimumFill(2);
  column->addWidget(m_bar);

  connect(&m_store, &AppStore::phaseChanged, this, &ScanStatusBanner::refresh);
  connect(&m_store, &AppStore::isPausedChanged, this, &ScanStatusBanner::refresh);
  connect(&m_store, &AppStore::isPauseRequestedChanged, this, &ScanStatusBanner::refresh);
  connect(&m_store, &AppStore::progressChanged, this, &ScanStatusBanner::refresh);
  connect(&m_store, &AppStore::itemsChanged, this, &ScanStatusBanner::refresh);
  connect(&m_store, &AppStore::groupCountShownChanged, this, &ScanStatusBanner::refresh);
  connect(&m_store, &AppStore::lastResultChanged, this, &ScanStatusBanner::refresh);
  connect(&platform::ReduceMotionNotifier::instance(), &platform::ReduceMotionNotifier::changed,
          this, &ScanStatusBanner::refreshBar);
  m_shownItemCount = m_store.items().size();
  m_shownGroupCount = m_store.groupCountShown();
  applyTheme();
  refresh();
}

QLayout *ScanStatusBanner::buildRow() {
  auto *row = new QHBoxLayout;
  row->setSpacing(10);
  m_mark = new QStackedWidget(this);
  m_mark->setFixedSize(kMarkSize, kMarkSize);
  m_spinner = new Spinner(kSpinnerDiameter, m_mark);
  m_pausedMark = new QLabel(m_mark);
  m_pausedMark->setAlignment(Qt::AlignCenter);
  m_mark->addWidget(m_spinner);
  m_mark->addWidget(m_pausedMark);
  row->addWidget(m_mark, 0, Qt::AlignVCenter);

  m_headline = new RollingHeadline(this);
  m_headline->setObjectName(QStringLiteral("headline"));
  m_headline->setFont(Theme::font(12, Theme::Weight::medium));
  row->addWidget(m_headline, 1);
  row->addSpacing(8);

  m_button =
      new ThemedButton(QString(), ThemedButton::Style::bordered, ThemedButton::Size::small, this);
  m_button->setObjectName(QStringLiteral("bannerButton"));
  connect(m_button, &QPushButton::clicked, this, &ScanStatusBanner::buttonClicked);
  row->addWidget(m_button, 0, Qt::AlignVCenter);
  return row;
}

void ScanStatusBanner::refresh() {
  const bool scanning = m_store.phase().isScanning();
  // A scan that has ended is neither running nor paused: the screen is about to give way,
  // and the banner stays as it last stood rather than show a state the scan is not in.
  if (!scanning && !m_store.isPaused()) {
    return;
  }
  m_mark->setCurrentWidget(scanning ? static_cast<QWidget *>(m_spinner) : m_pausedMark);
  if (scanning) {
    const bool pausing = livescanstate::isPausing(m_store);
    // "正在暂停…" is shown as written.
    m_button->setText(pausing ? QStringLiteral("正在暂停…") : localized::string("暂停"));
    m_button->setButtonStyle(ThemedButton::Style::bordered);
    m_button->setEnabled(!pausing);
    m_button->setAccessibleName(localized::string("暂停扫描"));
  } else {
    m_button->setText(localized::string("继续扫描"));
    m_button->setButtonStyle(ThemedButton::Style::prominent);
    m_button->setEnabled(true);
    m_button->setAccessibleName(localized::string("继续扫描"));
  }
  refreshHeadline();
  refreshBar();
  update();
}

void ScanStatusBanner::refreshHeadline() {
  // Its counts roll as they change, the group count with the stat pill and the grid.
  const std::size_t count = m_store.items().size();
  const std::size_t groups = m_store.groupCountShown();
  m_headline->setText(livescanstate::headline(m_store),
                      count != m_shownItemCount || groups != m_shownGroupCount);
  m_shownItemCount = count;
  m_shownGroupCount = groups;
}

void ScanStatusBanner::refreshBar() {
  const livescanstate::BarForm form = livescanstate::barForm(m_store, platform::reduceMotion());
  m_bar->setVisible(form != livescanstate::BarForm::hidden);
  switch (form) {
  case livescanstate::BarForm::hidden: break;
  case livescanstate::BarForm::determinate:
    m_bar->setForm(LinearProgressBar::Form::determinate);
    m_bar->setFraction(livescanstate::fraction(m_store));
    break;
  case livescanstate::BarForm::indeterminate:
    m_bar->setForm(LinearProgressBar::Form::indeterminate);
    break;
  case livescanstate::BarForm::still: m_bar->setForm(LinearProgressBar::Form::still); break;
  }
}

void ScanStatusBanner::buttonClicked() {
  if (m_store.phase().isScanning()) {
    m_store.requestPause();
  } else {
    m_store.resumeScan();
  }
}

void ScanStatusBanner::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QColor fill = m_store.phase().isScanning() ? theme.accent : theme.secondary;
  fill.setAlphaF(fill.alphaF() * 0.08);
  QPainter(this).fillRect(rect(), fill);
}

void ScanStatusBanner::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyTheme();
  }
}

void ScanStatusBanner::applyTheme() {
  const Theme &theme = Theme::of(this);
  screenlabels::setSymbol(m_pausedMark, QStringLiteral("pause.circle.fill"), 13, theme.secondary);
  m_headline->setColor(theme.primary);
  update();
}

} // namespace lumora
