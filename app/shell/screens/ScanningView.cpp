#include "app/shell/screens/ScanningView.h"

#include "app/shell/components/CardShadow.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/screens/LinearProgressBar.h"
#include "app/shell/screens/RollingHeadline.h"
#include "app/shell/screens/ScanningSkeletonRow.h"
#include "app/shell/screens/ScreenLabels.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QVBoxLayout>

namespace lumora {
namespace {

constexpr int kCardWidth = 520;
constexpr qreal kCardRadius = 18;
constexpr int kOuterMargin = 24;

using Weight = Theme::Weight;

} // namespace

ScanningView::ScanningView(AppStore &store, QWidget *parent) : QWidget(parent), m_store(store) {
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, kOuterMargin, 0, kOuterMargin);
  layout->addStretch(1);
  m_card = buildCard();
  layout->addWidget(m_card, 0, Qt::AlignHCenter);
  auto *skeleton = new ScanningSkeletonRow(150, 0.9, this);
  layout->addWidget(skeleton, 0, Qt::AlignHCenter);
  layout->addStretch(1);

  connect(&m_store, &AppStore::progressChanged, this, &ScanningView::refresh);
  connect(&m_store, &AppStore::sourceKindChanged, this, &ScanningView::refresh);
  connect(&m_store, &AppStore::itemsChanged, this, &ScanningView::refreshHeadline);
  connect(&m_store, &AppStore::isPauseRequestedChanged, this, &ScanningView::refreshPause);
  m_shownItemCount = m_store.items().size();
  applyTheme();
  refresh();
  refreshPause();
}

QString ScanningView::progressDetailText(const AppStore &store) {
  if (store.sourceKind() == AppStore::SourceKind::library) {
    return localized::string("「照片」App 图库 · 未下载的 iCloud 原图会先下载，单张可能比较慢");
  }
  const std::optional<ScanProgress> &progress = store.progress();
  if (progress && !progress->currentName.isEmpty()) {
    return progress->currentName;
  }
  return localized::string("正在读取文件列表…");
}

QString ScanningView::percentText(const AppStore &store) {
  const std::optional<ScanProgress> &progress = store.progress();
  if (!progress || progress->total < 1) {
    return {};
  }
  return Fmt::percent(progress->fraction() * 100.0);
}

QWidget *ScanningView::buildCard() {
  auto *card = new QWidget(this);
  card->setObjectName(QStringLiteral("scanningCard"));
  card->setFixedWidth(kCardWidth);
  auto *column = new QVBoxLayout(card);
  column->setContentsMargins(22, 22, 22, 22);
  column->setSpacing(14);
  column->addLayout(buildHeader());

  m_headline = new RollingHeadline(card);
  m_headline->setObjectName(QStringLiteral("headline"));
  m_headline->setFont(Theme::font(15, Weight::medium));
  column->addWidget(m_headline);

  m_bar = new LinearProgressBar(6, card);
  m_bar->setObjectName(QStringLiteral("progressBar"));
  column->addWidget(m_bar);

  m_detail = new ShrinkingLabel(QString(), card);
  m_detail->setObjectName(QStringLiteral("detail"));
  m_detail->setFont(Theme::monospacedFont(11));
  m_detail->setMinimumScaleFactor(1.0);
  m_detail->setElideMode(Qt::ElideMiddle);
  column->addWidget(m_detail);
  column->addLayout(buildPauseRow());
  return card;
}

QLayout *ScanningView::buildHeader() {
  auto *row = new QHBoxLayout;
  row->setSpacing(10);
  m_symbol = new QLabel(m_card);
  row->addWidget(m_symbol, 0, Qt::AlignVCenter);
  auto *titles = new QVBoxLayout;
  titles->setSpacing(2);
  m_title = screenlabels::make(localized::string("正在分析照片"), Theme::font(17, Weight::semibold),
                               m_card);
  m_subtitle = screenlabels::make({}, Theme::font(11), m_card);
  m_subtitle->setObjectName(QStringLiteral("subtitle"));
  titles->addWidget(m_title);
  titles->addWidget(m_subtitle);
  row->addLayout(titles, 1);
  row->addSpacing(12);
  m_percent = screenlabels::make({}, Theme::font(13, Weight::semibold), m_card);
  m_percent->setObjectName(QStringLiteral("percent"));
  row->addWidget(m_percent, 0, Qt::AlignVCenter);
  return row;
}

QLayout *ScanningView::buildPauseRow() {
  auto *row = new QHBoxLayout;
  row->setContentsMargins(0, 2, 0, 0);
  row->setSpacing(10);
  row->addStretch(1);
  m_pause = new ThemedButton(localized::string("暂停"), ThemedButton::Style::bordered,
                             ThemedButton::Size::large, m_card);
  m_pause->setObjectName(QStringLiteral("pauseButton"));
  m_pause->setAccessibleName(localized::string("暂停扫描"));
  m_pause->setMinimumHeight(28);
  connect(m_pause, &QPushButton::clicked, &m_store, &AppStore::requestPause);
  row->addWidget(m_pause);
  return row;
}

void ScanningView::refresh() {
  m_subtitle->setText(localized::format("%@ · 全部在本机完成，不上传任何照片",
                                        "%@ · 全部在本机完成，不上传任何照片",
                                        {m_store.phaseDescription()}));
  const QString percent = percentText(m_store);
  m_percent->setText(percent);
  m_percent->setVisible(!percent.isEmpty());
  const std::optional<ScanProgress> &progress = m_store.progress();
  if (progress && progress->total >= 1) {
    m_bar->setForm(LinearProgressBar::Form::determinate);
    m_bar->setFraction(progress->fraction());
  } else {
    m_bar->setForm(LinearProgressBar::Form::indeterminate);
  }
  m_detail->setText(progressDetailText(m_store));
  m_detail->setToolTip(progress ? progress->currentName : QString());
  refreshHeadline();
}

void ScanningView::refreshHeadline() {
  // The headline's roll is keyed on the photo count: only a new count animates.
  const std::size_t count = m_store.items().size();
  m_headline->setText(m_store.progressHeadline(), count != m_shownItemCount);
  m_shownItemCount = count;
}

void ScanningView::refreshPause() {
  m_pause->setEnabled(!m_store.isPauseRequested());
  updateEscape();
}

void ScanningView::updateEscape() {
  const bool wanted = isVisible() && m_pause->isEnabled();
  if (wanted && !m_escape) {
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_escape->setContext(Qt::WindowShortcut);
    connect(m_escape, &QShortcut::activated, &m_store, &AppStore::requestPause);
  } else if (!wanted && m_escape) {
    delete m_escape;
  }
}

void ScanningView::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF card = QRectF(m_card->geometry());
  cardshadow::paint(painter, card, {kCardRadius, 20, QColor(0, 0, 0, 36), {0, 10}});
  QPainterPath path;
  path.addRoundedRect(card, kCardRadius, kCardRadius);
  painter.fillPath(path, theme.thinMaterial);
  painter.setPen(QPen(theme.primaryAt(0.08), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), kCardRadius - 0.5,
                          kCardRadius - 0.5);
}

void ScanningView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  updateEscape();
}

void ScanningView::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  updateEscape();
}

void ScanningView::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyTheme();
  }
}

void ScanningView::applyTheme() {
  const Theme &theme = Theme::of(this);
  screenlabels::setSymbol(m_symbol, QStringLiteral("sparkles"), 19, theme.accent);
  screenlabels::setTextColor(m_title, theme.primary);
  screenlabels::setTextColor(m_subtitle, theme.secondary);
  screenlabels::setTextColor(m_percent, theme.secondary);
  m_headline->setColor(theme.primary);
  m_detail->setColor(theme.primaryAt(0.72));
  update();
}

} // namespace lumora
