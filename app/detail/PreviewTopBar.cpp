#include "app/detail/PreviewTopBar.h"

#include "app/detail/PreviewTexts.h"
#include "app/detail/RoundSymbolButton.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/ScoreDisplay.h"
#include "app/store/texts/Texts.h"
#include "platform/gui/Symbols.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kInsetX = 20;
constexpr int kInsetTop = 44;
constexpr int kInsetBottom = 14;
constexpr int kSpacing = 10;
constexpr int kSpacerMin = 8;
constexpr int kGradientHeight = 140;
constexpr int kCapsulePadX = 9;
constexpr int kCapsulePadY = 4;
constexpr int kRowSpacing = 6;

QColor whiteAt(qreal opacity) { return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity)); }

} // namespace

PreviewTopBar::PreviewTopBar(QWidget *parent)
    : QWidget(parent),
      m_close(new RoundSymbolButton(QStringLiteral("xmark"), RoundSymbolButton::closeLook(), this)),
      m_capsule(new QWidget(this)) {
  m_close->setToolTip(localized::string("关闭（Esc）"));
  m_close->setAccessibleName(localized::string("关闭预览"));
  m_capsule->setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(m_close, &QAbstractButton::clicked, this, &PreviewTopBar::closeRequested);
}

QSize PreviewTopBar::sizeHint() const { return {800, kGradientHeight - 24}; }

void PreviewTopBar::setPhoto(const PhotoItem &item, const QString &shownName,
                             const QString &positionText) {
  if (item == m_item && shownName == m_name && positionText == m_position) {
    return;
  }
  m_item = item;
  m_name = shownName;
  m_position = positionText;
  m_capsule->setAccessibleName(previewtexts::positionAccessibleName(positionText));
  m_capsule->setGeometry(capsuleRect().toAlignedRect());
  update();
}

QFont PreviewTopBar::font(int pixels, Theme::Weight weight) { return Theme::font(pixels, weight); }

void PreviewTopBar::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  const int rowHeight = height() - kInsetTop - kInsetBottom;
  m_close->move(kInsetX, kInsetTop + (rowHeight - m_close->height()) / 2);
  m_capsule->setGeometry(capsuleRect().toAlignedRect());
}

QRectF PreviewTopBar::capsuleRect() const {
  const QFontMetricsF metrics(font(11, Theme::Weight::medium));
  const QSizeF size(metrics.horizontalAdvance(m_position) + kCapsulePadX * 2,
                    metrics.height() + kCapsulePadY * 2);
  const qreal centreY = m_close->geometry().center().y() + 0.5;
  return {QPointF(width() - kInsetX - size.width(), centreY - size.height() / 2), size};
}

void PreviewTopBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // The gradient is centred on the bar and reaches above the window's top edge.
  const qreal top = (height() - kGradientHeight) / 2.0 - (kInsetTop - kInsetBottom) / 2.0;
  QLinearGradient gradient(0, top, 0, top + kGradientHeight);
  gradient.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.72f));
  gradient.setColorAt(0.5, QColor::fromRgbF(0, 0, 0, 0.28f));
  gradient.setColorAt(1, Qt::transparent);
  painter.fillRect(rect(), gradient);
  const QRectF capsule = capsuleRect();
  const qreal left = m_close->geometry().right() + 1 + kSpacing;
  paintTitle(painter, QRectF(left, kInsetTop, capsule.left() - kSpacerMin - left,
                             height() - kInsetTop - kInsetBottom));
  paintCapsule(painter);
}

void PreviewTopBar::paintTitle(QPainter &painter, const QRectF &area) {
  const QFont nameFont = font(13, Theme::Weight::semibold);
  const QFontMetricsF nameMetrics(nameFont);
  const qreal rowHeight = QFontMetricsF(font(12, Theme::Weight::bold)).height();
  const qreal top = area.center().y() - (nameMetrics.height() + 2 + rowHeight) / 2;
  painter.setFont(nameFont);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(area.left(), top, area.width(), nameMetrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   nameMetrics.elidedText(m_name, Qt::ElideMiddle, area.width()));
  paintInfoRow(painter, QPointF(area.left(), top + nameMetrics.height() + 2), area.right());
}

// Score in its tier's colour, tier, a dot, the capture time and, for a favourite, a star.
void PreviewTopBar::paintInfoRow(QPainter &painter, QPointF origin, qreal maxRight) {
  struct Run {
    QString text;
    QFont font;
    QColor color;
  };
  const Run runs[] = {
      {m_item.displayScoreText(), font(12, Theme::Weight::bold),
       scoredisplay::color(m_item.tier())},
      {texts::tierLabel(m_item.tier()), font(11, Theme::Weight::regular), whiteAt(0.55)},
      {localized::string("·"), font(11, Theme::Weight::regular), whiteAt(0.35)},
      {Fmt::mediumDateTime(m_item.captureDate), font(11, Theme::Weight::regular), whiteAt(0.65)},
  };
  const qreal rowHeight = QFontMetricsF(runs[0].font).height();
  qreal x = origin.x();
  for (const Run &run : runs) {
    const qreal advance = QFontMetricsF(run.font).horizontalAdvance(run.text);
    painter.setFont(run.font);
    painter.setPen(run.color);
    painter.drawText(QRectF(x, origin.y(), std::max(0.0, maxRight - x), rowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, run.text);
    x += advance + kRowSpacing;
  }
  if (m_item.isFavorite && x + 9 <= maxRight) {
    if (m_star.isNull()) {
      m_star = platform::symbols::pixmap(QStringLiteral("star.fill"), 9, QColor(255, 204, 0),
                                         devicePixelRatioF());
    }
    painter.drawPixmap(QPointF(x, origin.y() + (rowHeight - 9) / 2), m_star);
  }
}

void PreviewTopBar::paintCapsule(QPainter &painter) {
  const QRectF capsule = capsuleRect();
  QPainterPath path;
  path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
  painter.fillPath(path, whiteAt(0.12));
  painter.setFont(font(11, Theme::Weight::medium));
  painter.setPen(whiteAt(0.72));
  painter.drawText(capsule, Qt::AlignCenter, m_position);
}

} // namespace lumora
