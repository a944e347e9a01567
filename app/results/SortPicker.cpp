#include "app/results/SortPicker.h"

#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace lumora {
namespace {

constexpr qreal kRadius = 6;
constexpr qreal kInset = 2;

QString titleOf(GroupSort sort) {
  return localized::string(groupsort::title(sort).toUtf8().constData());
}

} // namespace

SortPicker::SortPicker(QWidget *parent) : QWidget(parent) {
  setFixedSize(kWidth, kHeight);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  setFont(Theme::font(11, Theme::Weight::medium));
  setAccessibleName(localized::string("排序"));
  setToolTip(localized::string("按日期：组按最佳项拍摄时间从新到旧；按相似数量：组按张数从多到少"));
  FocusHalo::install(this, kRadius);
}

void SortPicker::setSort(GroupSort sort) {
  if (sort == m_sort) {
    return;
  }
  m_sort = sort;
  update();
}

QRect SortPicker::segmentRect(GroupSort sort) const {
  const int half = width() / 2;
  return sort == GroupSort::date ? QRect(0, 0, half, height())
                                 : QRect(half, 0, width() - half, height());
}

void SortPicker::pick(GroupSort sort) {
  if (sort == m_sort) {
    return;
  }
  setSort(sort);
  emit sortPicked(sort);
}

void SortPicker::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  pick(segmentRect(GroupSort::date).contains(event->position().toPoint()) ? GroupSort::date
                                                                          : GroupSort::memberCount);
}

void SortPicker::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Left) {
    pick(GroupSort::date);
  } else if (event->key() == Qt::Key_Right) {
    pick(GroupSort::memberCount);
  } else {
    QWidget::keyPressEvent(event);
  }
}

void SortPicker::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter painter(this);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(QPen(theme.primaryAt(0.08), 0.5));
  painter.setBrush(theme.primaryAt(0.08));
  painter.drawRoundedRect(track, kRadius, kRadius);
  painter.setPen(Qt::NoPen);
  painter.setBrush(theme.scheme == ColorScheme::dark ? theme.primaryAt(0.24) : QColor(Qt::white));
  const QRectF chosen = QRectF(segmentRect(m_sort)).adjusted(kInset, kInset, -kInset, -kInset);
  painter.drawRoundedRect(chosen, kRadius - 1, kRadius - 1);
  for (const GroupSort sort : groupsort::kAll) {
    painter.setPen(sort == m_sort ? theme.primary : theme.secondary);
    painter.drawText(segmentRect(sort), Qt::AlignCenter, titleOf(sort));
  }
}

} // namespace lumora
