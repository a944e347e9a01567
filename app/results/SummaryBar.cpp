#include "app/results/SummaryBar.h"

#include "app/results/SortPicker.h"
#include "app/results/SummaryBarTexts.h"
#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace lumora {
namespace {

constexpr int kNarrowPadding = 14;
constexpr int kWidePadding = 20;
constexpr int kVerticalPadding = 8;
constexpr int kSpacing = 12;
constexpr int kMinimumGap = 8;

ThemedButton *smallButton(const char *title, ThemedButton::Style style, const char *accessible,
                          QWidget *parent) {
  auto *button =
      new ThemedButton(localized::string(title), style, ThemedButton::Size::small, parent);
  button->setAccessibleName(localized::string(accessible));
  return button;
}

} // namespace

SummaryBar::SummaryBar(AppStore &store, QWidget *parent)
    : QWidget(parent), m_store(store), m_layout(new QHBoxLayout(this)),
      m_title(new RollingDigitsLabel), m_subtitle(new ShrinkingLabel) {
  m_layout->setSpacing(kSpacing);
  m_title->setFont(Theme::font(13, Theme::Weight::semibold));
  m_title->setAnchor(RollingDigitsLabel::Anchor::leading);
  m_subtitle->setFont(Theme::font(11));
  m_subtitle->setElideMode(Qt::ElideRight);
  auto *lines = new QVBoxLayout;
  lines->setSpacing(1);
  lines->addWidget(m_title, 0, Qt::AlignLeft);
  lines->addWidget(m_subtitle);
  m_layout->addLayout(lines, 1);
  m_layout->addSpacing(kMinimumGap);
  buildNormalRow();
  buildBatchRow();
  m_layout->addWidget(m_normalRow);
  m_layout->addWidget(m_batchRow);
  m_layout->setContentsMargins(kWidePadding, kVerticalPadding, kWidePadding, kVerticalPadding);
  connectStore();
  applyColors();
  refresh();
}

void SummaryBar::buildNormalRow() {
  m_normalRow = new QWidget(this);
  auto *row = new QHBoxLayout(m_normalRow);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(kSpacing);
  m_trashed = new QWidget(m_normalRow);
  auto *trashed = new QHBoxLayout(m_trashed);
  trashed->setContentsMargins(0, 0, 0, 0);
  trashed->setSpacing(4);
  m_trashedIcon = new QLabel(m_trashed);
  m_trashedLabel = new QLabel(m_trashed);
  m_trashedLabel->setFont(Theme::font(11));
  trashed->addWidget(m_trashedIcon);
  trashed->addWidget(m_trashedLabel);
  m_select = smallButton("选择", ThemedButton::Style::bordered, "进入批量选择模式", m_normalRow);
  m_select->setSymbol(QStringLiteral("checkmark.circle"));
  m_select->setToolTip(localized::string("批量选择多个相似组（⌘A 全选、Esc 退出、⌫ 清理）"));
  m_sort = new SortPicker(m_normalRow);
  row->addWidget(m_trashed);
  row->addWidget(m_select);
  row->addWidget(m_sort);
  connect(m_select, &QPushButton::clicked, this, [this] { m_store.enterSelectionMode(); });
  connect(m_sort, &SortPicker::sortPicked, this, [this](GroupSort sort) { m_store.setSort(sort); });
}

void SummaryBar::buildBatchRow() {
  m_batchRow = new QWidget(this);
  auto *row = new QHBoxLayout(m_batchRow);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(kSpacing);
  m_cleanup = smallButton("清理已选", ThemedButton::Style::prominent, "", m_batchRow);
  m_cleanup->setSymbol(QStringLiteral("trash"));
  m_cleanup->setTint(Theme::of(this).red);
  m_selectAll = smallButton("全选", ThemedButton::Style::bordered, "全选所有相似组", m_batchRow);
  m_clear = smallButton("清空", ThemedButton::Style::bordered, "清空已选", m_batchRow);
  m_done = smallButton("完成", ThemedButton::Style::prominent, "退出批量选择", m_batchRow);
  for (QWidget *button : {static_cast<QWidget *>(m_cleanup), static_cast<QWidget *>(m_selectAll),
                          static_cast<QWidget *>(m_clear), static_cast<QWidget *>(m_done)}) {
    row->addWidget(button);
  }
  connect(m_cleanup, &QPushButton::clicked, this,
          [this] { m_store.setIsBatchConfirmPresented(true); });
  connect(m_selectAll, &QPushButton::clicked, this, [this] { m_store.selectAllGroups(); });
  connect(m_clear, &QPushButton::clicked, this, [this] {
    // The anchor stays: clearing is not leaving.
    if (m_store.isSelecting()) {
      m_store.setSelectedGroupIDs({});
    }
  });
  connect(m_done, &QPushButton::clicked, this, [this] { m_store.exitSelectionMode(); });
}

void SummaryBar::connectStore() {
  for (auto changed :
       {&AppStore::groupsChanged, &AppStore::sourceKindChanged, &AppStore::trashedCountChanged,
        &AppStore::lastResultChanged, &AppStore::isSelectingChanged,
        &AppStore::selectedGroupIDsChanged, &AppStore::phaseChanged,
        &AppStore::isCleaningSelectionChanged, &AppStore::cleaningGroupIDChanged}) {
    connect(&m_store, changed, this, &SummaryBar::refresh);
  }
  connect(&m_store, &AppStore::sortChanged, this, [this] { m_sort->setSort(m_store.sort()); });
  m_sort->setSort(m_store.sort());
}

void SummaryBar::refresh() {
  const bool selecting = m_store.isSelecting();
  QWidget *leaving = selecting ? m_normalRow : m_batchRow;
  const bool handsFocus =
      leaving->isVisible() && leaving->isAncestorOf(QApplication::focusWidget());
  m_normalRow->setVisible(!selecting);
  m_batchRow->setVisible(selecting);
  if (selecting) {
    refreshBatch();
  } else {
    refreshNormal();
  }
  // The button that was pressed has gone with its row: its counterpart on the row that
  // replaced it takes the keys, so Space goes back and Tab goes on from here.
  ThemedButton *counterpart = selecting ? m_done : m_select;
  if (handsFocus && counterpart->isEnabled()) {
    counterpart->setFocus(Qt::TabFocusReason);
  }
}

void SummaryBar::refreshNormal() {
  const auto source = m_store.sourceKind();
  const auto groups = static_cast<std::int64_t>(m_store.groups().size());
  // Only the figure the source shows is summed.
  const bool library = source == AppStoreTypes::SourceKind::library;
  m_title->setText(summarybartexts::summaryTitle(source, groups,
                                                 library ? 0 : m_store.totalReclaimableBytes(),
                                                 library ? m_store.totalCleanableCount() : 0));
  m_subtitle->setText(summarybartexts::summarySubtitle(source, m_store.lastResult()));
  const std::int64_t trashed = m_store.trashedCount();
  m_trashed->setVisible(trashed > 0);
  m_trashedLabel->setText(trashed > 0 ? summarybartexts::trashedText(trashed) : QString());
  m_select->setEnabled(groups > 0 && !m_store.phase().isScanning());
}

void SummaryBar::refreshBatch() {
  const auto source = m_store.sourceKind();
  const auto selected = static_cast<std::int64_t>(m_store.selectedGroupIDs().size());
  const std::int64_t victims = m_store.selectedVictimCount();
  const bool library = source == AppStoreTypes::SourceKind::library;
  const std::int64_t bytes = library ? 0 : m_store.selectedReclaimableBytes();
  m_title->setText(summarybartexts::batchTitle(source, selected, victims, bytes));
  m_subtitle->setText(summarybartexts::batchSubtitle(source));
  // canCleanupSelection() without summing the selection a second time.
  m_cleanup->setEnabled(m_store.isSelecting() && !m_store.isCleaningSelection() &&
                        !m_store.cleaningGroupID() && victims > 0);
  m_cleanup->setAccessibleName(summarybartexts::batchCleanupAccessibleName(victims));
  m_selectAll->setEnabled(selected < static_cast<std::int64_t>(m_store.groups().size()));
  m_clear->setEnabled(selected > 0);
}

int SummaryBar::horizontalPadding() const {
  return m_laidOut && width() < kWidePaddingFrom ? kNarrowPadding : kWidePadding;
}

void SummaryBar::resizeEvent(QResizeEvent *event) {
  m_laidOut = true;
  const int padding = horizontalPadding();
  m_layout->setContentsMargins(padding, kVerticalPadding, padding, kVerticalPadding);
  QWidget::resizeEvent(event);
}

void SummaryBar::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyColors();
  }
}

void SummaryBar::applyColors() {
  const Theme &theme = Theme::of(this);
  m_subtitle->setColor(theme.secondary);
  m_trashedIcon->setPixmap(
      platform::symbols::pixmap(QStringLiteral("trash"), 11, theme.secondary, devicePixelRatioF()));
  QPalette palette = m_trashedLabel->palette();
  palette.setColor(QPalette::WindowText, theme.secondary);
  m_trashedLabel->setPalette(palette);
  m_cleanup->setTint(theme.red);
}

void SummaryBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), Theme::of(this).barMaterial);
}

QString SummaryBar::title() const { return m_title->text(); }
QString SummaryBar::subtitle() const { return m_subtitle->text(); }
QString SummaryBar::trashedText() const {
  return m_trashed->isVisibleTo(this) ? m_trashedLabel->text() : QString();
}
bool SummaryBar::showsBatchRow() const { return m_batchRow->isVisibleTo(this); }

} // namespace lumora
