#include "app/shell/screens/UndoToastView.h"

#include "app/shell/components/CardShadow.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/screens/ScreenLabels.h"
#include "app/shell/screens/SymbolButton.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>

namespace lumora {
namespace {

constexpr int kSpacing = 10;
constexpr int kPaddingX = 14;
constexpr int kPaddingY = 10;
constexpr int kIconSize = 15;
constexpr int kCloseFrame = 20;
constexpr qreal kRadius = 12;
constexpr int kMaxWidth = 4000;

} // namespace

UndoToastView::UndoToastView(AppStore &store, AppStoreTypes::UndoToast toast, QWidget *parent)
    : QWidget(parent), m_store(store), m_toast(std::move(toast)) {
  setObjectName(QStringLiteral("UndoToastView"));
  // Only the card and its shadow are painted: a picture of the toast (its exit fade) must
  // not fill the shadow's margin with the window's background.
  setAttribute(Qt::WA_NoSystemBackground);
  // A new toast from the store replaces the shown one; clearing it is the host's to show.
  connect(&m_store, &AppStore::undoToastChanged, this, [this] {
    if (m_store.undoToast()) {
      setToast(*m_store.undoToast());
    }
  });
  buildRow();
  applyTheme();
  refresh();
}

void UndoToastView::buildRow() {
  auto *row = new QHBoxLayout(this);
  row->setContentsMargins(shadowMargins() + QMargins(kPaddingX, kPaddingY, kPaddingX, kPaddingY));
  row->setSpacing(kSpacing);
  m_icon = new QLabel(this);
  row->addWidget(m_icon, 0, Qt::AlignVCenter);
  auto *texts = new QVBoxLayout;
  texts->setSpacing(1);
  m_message = screenlabels::make({}, Theme::font(13, Theme::Weight::medium), this, true);
  m_message->setObjectName(QStringLiteral("message"));
  m_detail = new ShrinkingLabel(QString(), this);
  m_detail->setObjectName(QStringLiteral("detail"));
  m_detail->setFont(Theme::font(11));
  m_detail->setMinimumScaleFactor(1.0);
  m_detail->setElideMode(Qt::ElideRight);
  texts->addWidget(m_message);
  texts->addWidget(m_detail);
  row->addLayout(texts, 1);
  m_divider = new QWidget(this);
  m_divider->setFixedSize(1, 18);
  row->addWidget(m_divider, 0, Qt::AlignVCenter);
  m_undo = new ThemedButton(localized::string("撤销"), ThemedButton::Style::prominent,
                            ThemedButton::Size::small, this);
  m_undo->setAccessibleName(localized::string("撤销清理"));
  connect(m_undo, &QPushButton::clicked, &m_store, &AppStore::undoLastCleanup);
  row->addWidget(m_undo, 0, Qt::AlignVCenter);
  m_close = new SymbolButton(QStringLiteral("xmark"), 9, kCloseFrame, this);
  m_close->setAccessibleName(localized::string("关闭提示"));
  connect(m_close, &QAbstractButton::clicked, &m_store, &AppStore::dismissToast);
  row->addWidget(m_close, 0, Qt::AlignVCenter);
}

void UndoToastView::setToast(AppStoreTypes::UndoToast toast) {
  if (toast == m_toast) {
    return;
  }
  m_toast = std::move(toast);
  refresh();
}

QMargins UndoToastView::shadowMargins() { return {20, 14, 20, 26}; }

QRect UndoToastView::cardRect() const { return rect().marginsRemoved(shadowMargins()); }

QSize UndoToastView::sizeFor(int maxCardWidth) const {
  const int padding = 2 * kPaddingX;
  const int room = std::max(0, maxCardWidth - padding - fixedRowWidth());
  const int card = padding + fixedRowWidth() + std::min(naturalTextWidth(), room);
  const QMargins margins = shadowMargins();
  const int width = card + margins.left() + margins.right();
  return {width, heightForWidth(width)};
}

QSize UndoToastView::sizeHint() const { return sizeFor(kMaxWidth); }

int UndoToastView::heightForWidth(int width) const {
  const QFontMetrics message(m_message->font());
  const int lines = message
                        .boundingRect(QRect(0, 0, std::max(1, textWidth(width)), 1 << 20),
                                      Qt::TextWordWrap, m_toast.message)
                        .height();
  const int texts = std::max(lines, message.height()) + 1 + QFontMetrics(m_detail->font()).height();
  int row = std::max({kIconSize, texts, kCloseFrame});
  if (m_toast.canUndo) {
    row = std::max({row, m_divider->height(), m_undo->sizeHint().height()});
  }
  const QMargins margins = shadowMargins();
  return row + 2 * kPaddingY + margins.top() + margins.bottom();
}

int UndoToastView::textWidth(int width) const {
  const QMargins margins = shadowMargins();
  return width - margins.left() - margins.right() - 2 * kPaddingX - fixedRowWidth();
}

void UndoToastView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  fitMessage();
}

void UndoToastView::fitMessage() {
  // Before the host sized the card, the message is as wide as it wants to be.
  const int width = testAttribute(Qt::WA_Resized) ? textWidth(this->width()) : naturalTextWidth();
  screenlabels::setWrappedHeight(m_message, width);
}

int UndoToastView::fixedRowWidth() const {
  int width = kIconSize + kCloseFrame + 2 * kSpacing;
  if (m_toast.canUndo) {
    width += m_divider->width() + m_undo->sizeHint().width() + 2 * kSpacing;
  }
  return width;
}

int UndoToastView::naturalTextWidth() const {
  const int message = QFontMetrics(m_message->font()).horizontalAdvance(m_toast.message);
  const int detail = QFontMetrics(m_detail->font()).horizontalAdvance(m_toast.detail);
  // A pixel of slack: the advance is rounded, and a label a pixel short wraps its text.
  return std::max(message, detail) + 1;
}

void UndoToastView::refresh() {
  m_message->setText(m_toast.message);
  m_detail->setText(m_toast.detail);
  m_divider->setVisible(m_toast.canUndo);
  m_undo->setVisible(m_toast.canUndo);
  fitMessage();
  applyTheme();
  updateGeometry();
}

void UndoToastView::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  const QRectF card = cardRect();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  cardshadow::paint(painter, card, {kRadius, 14, QColor(0, 0, 0, 46), {0, 6}});
  QPainterPath path;
  path.addRoundedRect(card, kRadius, kRadius);
  painter.fillPath(path, theme.regularMaterial);
  painter.setPen(QPen(theme.primaryAt(0.08), 1));
  painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5, kRadius - 0.5);
  if (m_divider->isVisible()) {
    painter.fillRect(m_divider->geometry(), theme.separator);
  }
}

void UndoToastView::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyTheme();
  }
}

void UndoToastView::applyTheme() {
  const Theme &theme = Theme::of(this);
  if (m_toast.canUndo) {
    screenlabels::setSymbol(m_icon, QStringLiteral("trash.circle.fill"), kIconSize,
                            theme.secondary);
  } else {
    screenlabels::setSymbol(m_icon, QStringLiteral("checkmark.circle.fill"), kIconSize,
                            theme.green);
  }
  screenlabels::setTextColor(m_message, theme.primary);
  m_detail->setColor(theme.secondary);
  m_close->setSymbolColor(theme.secondary);
  update();
}

} // namespace lumora
