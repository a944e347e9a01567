#include "app/detail/PreviewBottomBar.h"

#include "app/detail/DetailTexts.h"
#include "app/detail/PreviewCapsuleButton.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QLinearGradient>
#include <QPainter>

namespace lumora {
namespace {

constexpr int kInsetX = 20;
constexpr int kInsetTop = 14;
constexpr int kInsetBottom = 20;
constexpr int kSpacing = 12;
constexpr int kSpacerMin = 8;
constexpr int kGradientHeight = 140;
constexpr int kGradientOverhang = 24;
constexpr int kHintSize = 11;
constexpr qreal kHintMinScale = 0.75;

} // namespace

PreviewBottomBar::PreviewBottomBar(QWidget *parent)
    : QWidget(parent), m_favorite(new PreviewCapsuleButton(this)),
      m_delete(new PreviewCapsuleButton(this)) {
  setFavorite(false);
  m_delete->setLook(QStringLiteral("trash"), localized::string("删除"),
                    QColor::fromRgbF(1, 0.46f, 0.46f), QColor::fromRgbF(1, 1, 1, 0.12f));
  m_delete->setAccessibleName(localized::string("删除这张照片"));
  connect(m_favorite, &QAbstractButton::clicked, this, &PreviewBottomBar::favoriteClicked);
  connect(m_delete, &QAbstractButton::clicked, this, &PreviewBottomBar::deleteClicked);
}

// Tall enough to hold the visible part of the gradient, which runs from the bar's top edge
// to below the window's bottom edge.
QSize PreviewBottomBar::sizeHint() const { return {800, kGradientHeight - kGradientOverhang}; }

void PreviewBottomBar::setFavorite(bool favorite) {
  if (favorite == m_isFavorite) {
    return;
  }
  m_isFavorite = favorite;
  if (favorite) {
    m_favorite->setLook(QStringLiteral("star.fill"), localized::string("取消收藏"), Qt::black,
                        QColor(255, 204, 0));
  } else {
    m_favorite->setLook(QStringLiteral("star"), localized::string("收藏"), Qt::white,
                        QColor::fromRgbF(1, 1, 1, 0.16f));
  }
  m_favorite->setToolTip(detailtexts::favoriteHelp(favorite));
  m_favorite->setAccessibleName(detailtexts::favoriteAccessibleName(favorite));
  resizeEvent(nullptr);
}

void PreviewBottomBar::resizeEvent(QResizeEvent *event) {
  if (event) {
    QWidget::resizeEvent(event);
  }
  const int rowTop = height() - kInsetBottom - m_favorite->height();
  m_favorite->move(kInsetX, rowTop);
  m_delete->move(m_favorite->geometry().right() + 1 + kSpacing, rowTop);
}

void PreviewBottomBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  // The gradient reaches below the window's bottom edge, like the top bar's above.
  QLinearGradient gradient(0, 0, 0, kGradientHeight);
  gradient.setColorAt(0, Qt::transparent);
  gradient.setColorAt(0.5, QColor::fromRgbF(0, 0, 0, 0.4f));
  gradient.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.72f));
  painter.fillRect(rect(), gradient);
  paintHint(painter);
}

// One line at the right; a narrow bar shrinks it to 75 % before it is cut at the end.
void PreviewBottomBar::paintHint(QPainter &painter) {
  const QString hint = localized::string("← → 切换 · 双击放大 · 拖拽平移 · Esc 关闭");
  const qreal left = m_delete->geometry().right() + 1 + kSpacerMin;
  const qreal available = width() - kInsetX - left;
  if (available <= 0) {
    return;
  }
  QFont font = Theme::font(kHintSize);
  const qreal natural = QFontMetricsF(font).horizontalAdvance(hint);
  const qreal scale = std::clamp(available / natural, kHintMinScale, 1.0);
  font.setPixelSize(std::max(1, static_cast<int>(std::floor(kHintSize * scale))));
  const QFontMetricsF metrics(font);
  painter.setFont(font);
  painter.setPen(QColor::fromRgbF(1, 1, 1, 0.45f));
  const QRectF row(left, m_delete->geometry().top(), available, m_delete->height());
  painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter,
                   metrics.elidedText(hint, Qt::ElideRight, available));
}

} // namespace lumora
