#include "app/detail/DetailMissingView.h"

#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QPainter>

namespace lumora {
namespace {

constexpr int kCircle = 76;
constexpr int kSpacing = 14;
constexpr int kTitleSize = 17;
constexpr int kTextSize = 12;

int lineHeight(int pixels, Theme::Weight weight) {
  return QFontMetrics(Theme::font(pixels, weight)).height();
}

int contentHeight(int buttonHeight) {
  return kCircle + kSpacing + lineHeight(kTitleSize, Theme::Weight::semibold) + kSpacing +
         lineHeight(kTextSize, Theme::Weight::regular) + kSpacing + buttonHeight;
}

} // namespace

DetailMissingView::DetailMissingView(QWidget *parent)
    : QWidget(parent),
      m_back(new ThemedButton(localized::string("返回列表"), ThemedButton::Style::prominent,
                              ThemedButton::Size::regular, this)) {
  m_back->setFocusPolicy(Qt::NoFocus);
  m_back->resize(m_back->sizeHint());
  connect(m_back, &QPushButton::clicked, this, &DetailMissingView::backClicked);
}

QRectF DetailMissingView::circleRect() const {
  const qreal top = (height() - contentHeight(m_back->height())) / 2.0;
  return {width() / 2.0 - kCircle / 2.0, top, kCircle, kCircle};
}

void DetailMissingView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  const qreal bottom = circleRect().top() + contentHeight(m_back->height());
  m_back->move(width() / 2 - m_back->width() / 2, qRound(bottom) - m_back->height());
}

void DetailMissingView::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF circle = circleRect();
  QColor fill = theme.green;
  fill.setAlphaF(0.14f);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawEllipse(circle);
  constexpr int kCheck = 30;
  painter.drawPixmap(circle.center() - QPointF(kCheck, kCheck) / 2,
                     platform::symbols::pixmap(QStringLiteral("checkmark"), kCheck, theme.green,
                                               devicePixelRatioF()));
  qreal y = circle.bottom() + kSpacing;
  const int titleHeight = lineHeight(kTitleSize, Theme::Weight::semibold);
  painter.setFont(Theme::font(kTitleSize, Theme::Weight::semibold));
  painter.setPen(theme.primary);
  painter.drawText(QRectF(0, y, width(), titleHeight), Qt::AlignCenter,
                   localized::string("这一组已经整理完了"));
  y += titleHeight + kSpacing;
  painter.setFont(Theme::font(kTextSize));
  painter.setPen(theme.secondary);
  painter.drawText(QRectF(0, y, width(), lineHeight(kTextSize, Theme::Weight::regular)),
                   Qt::AlignCenter, localized::string("本组剩下的照片不足 2 张，不需要再清理了。"));
}

} // namespace lumora
