#include "app/info/InfoTabPicker.h"

#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace lumora {

namespace {

constexpr qreal kInset = 2;
constexpr qreal kTrackRadius = 7;
constexpr qreal kThumbRadius = 5.5;
constexpr int kTitlePixels = 12;

} // namespace

InfoTabPicker::InfoTabPicker(InfoTab tab, QWidget *parent)
    : QWidget(parent), m_tab(tab), m_aboutTitle(localized::string("tab.about", "关于")),
      m_helpTitle(localized::string("tab.help", "帮助与隐私")) {
  setObjectName(QStringLiteral("infoTabPicker"));
  setFixedSize(kWidth, kHeight);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  setFont(Theme::font(kTitlePixels, Theme::Weight::medium));
  setAccessibleName(localized::string("tabs.accessibility", "信息面板"));
  setAccessibleDescription(title(m_tab));
  FocusHalo::install(this, kTrackRadius);
}

void InfoTabPicker::setTab(InfoTab tab) {
  if (m_tab == tab) {
    return;
  }
  m_tab = tab;
  setAccessibleDescription(title(m_tab));
  update();
  emit tabChanged();
}

QString InfoTabPicker::title(InfoTab tab) const {
  return tab == InfoTab::about ? m_aboutTitle : m_helpTitle;
}

InfoTabPicker::InfoTab InfoTabPicker::tabAt(const QPoint &point) const {
  return point.x() < width() / 2 ? InfoTab::about : InfoTab::help;
}

QRectF InfoTabPicker::segmentRect(InfoTab tab) const {
  const QRectF inner = QRectF(rect()).adjusted(kInset, kInset, -kInset, -kInset);
  const qreal half = inner.width() / 2;
  return tab == InfoTab::about ? QRectF(inner.left(), inner.top(), half, inner.height())
                               : QRectF(inner.left() + half, inner.top(), half, inner.height());
}

void InfoTabPicker::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(theme.primaryAt(0.08));
  p.drawRoundedRect(QRectF(rect()), kTrackRadius, kTrackRadius);
  p.setBrush(theme.scheme == ColorScheme::dark ? theme.primaryAt(0.22) : QColor(Qt::white));
  p.drawRoundedRect(segmentRect(m_tab), kThumbRadius, kThumbRadius);
  paintSegmentTitle(p, InfoTab::about);
  paintSegmentTitle(p, InfoTab::help);
}

void InfoTabPicker::paintSegmentTitle(QPainter &p, InfoTab tab) const {
  const Theme &theme = Theme::of(this);
  p.setPen(tab == m_tab ? theme.primary : theme.secondary);
  p.setFont(font());
  p.drawText(segmentRect(tab), Qt::AlignCenter, title(tab));
}

void InfoTabPicker::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    setTab(tabAt(event->position().toPoint()));
  }
  QWidget::mousePressEvent(event);
}

void InfoTabPicker::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
    setTab(event->key() == Qt::Key_Left ? InfoTab::about : InfoTab::help);
    return;
  }
  QWidget::keyPressEvent(event);
}

} // namespace lumora
