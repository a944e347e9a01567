#include "app/info/help/ClearCacheButton.h"

#include "app/info/shared/InfoStyle.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace lumora {

namespace {

// The small button's padding, and its spinner at 0.8 of the usual 16 px.
constexpr int kPadding = 9;
constexpr int kSpinnerDiameter = 13;
// A disabled button draws at 40 %; the clearing text matches it.
constexpr qreal kDisabledOpacity = 0.4;

} // namespace

ClearCacheButton::ClearCacheButton(QWidget *parent)
    : ThemedButton(localized::string("help.cache.clearButton", "清除分析缓存…"), Style::bordered,
                   Size::small, parent),
      m_title(text()), m_clearingContent(new QWidget(this)),
      m_spinner(new Spinner(kSpinnerDiameter, m_clearingContent)),
      m_clearingLabel(
          new QLabel(localized::string("help.cache.clearing", "正在清除…"), m_clearingContent)) {
  setSymbol(QStringLiteral("trash"));
  setAccessibleName(m_title);
  setAccessibleDescription(
      localized::string("help.cache.clearHint", "只删除特征向量与分数缓存，不会删除照片"));
  auto *layout = new QHBoxLayout(m_clearingContent);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  layout->addWidget(m_spinner);
  layout->addWidget(m_clearingLabel);
  m_clearingLabel->setFont(font());
  m_clearingContent->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_clearingContent->hide();
  refreshColors();
}

void ClearCacheButton::setClearing(bool clearing) {
  if (m_clearing == clearing) {
    return;
  }
  m_clearing = clearing;
  setEnabled(!clearing);
  // The button paints only its frame while the spinner and its text stand inside it.
  setText(clearing ? QString() : m_title);
  setSymbol(clearing ? QString() : QStringLiteral("trash"));
  m_clearingContent->setVisible(clearing);
  m_clearingContent->adjustSize();
  updateGeometry();
  const QSize inner = m_clearingContent->sizeHint();
  m_clearingContent->move(kPadding, (sizeHint().height() - inner.height()) / 2);
}

QSize ClearCacheButton::sizeHint() const {
  const QSize frame = ThemedButton::sizeHint();
  if (!m_clearing) {
    return frame;
  }
  return {m_clearingContent->sizeHint().width() + 2 * kPadding, frame.height()};
}

void ClearCacheButton::changeEvent(QEvent *event) {
  if (event->type() == QEvent::PaletteChange) {
    refreshColors();
  }
  ThemedButton::changeEvent(event);
}

void ClearCacheButton::refreshColors() {
  QColor color = Theme::of(this).primary;
  color.setAlphaF(static_cast<float>(color.alphaF() * kDisabledOpacity));
  infostyle::setTextColor(m_clearingLabel, color);
}

} // namespace lumora
