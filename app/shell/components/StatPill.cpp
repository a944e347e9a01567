#include "app/shell/components/StatPill.h"

#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kIconPx = 10;

} // namespace

StatPill::StatPill(const QString &icon, const QString &value, const QString &label, QWidget *parent)
    : QWidget(parent), m_icon(icon), m_value(value), m_label(label), m_iconLabel(new QLabel(this)),
      m_valueLabel(new RollingDigitsLabel(this)), m_unitLabel(new QLabel(label, this)) {
  auto *layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(4);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(m_iconLabel, 0, Qt::AlignVCenter);
  layout->addWidget(m_valueLabel, 0, Qt::AlignVCenter);
  layout->addWidget(m_unitLabel, 0, Qt::AlignVCenter);
  m_valueLabel->setFont(Theme::font(12, Theme::Weight::semibold));
  m_valueLabel->setText(value);
  m_valueLabel->setRollProgress(1);
  m_unitLabel->setFont(Theme::font(11));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  refreshColors();
  refreshToolTip();
}

void StatPill::setIcon(const QString &icon) {
  if (m_icon == icon) {
    return;
  }
  m_icon = icon;
  refreshColors();
}

void StatPill::setValue(const QString &value) {
  if (m_value == value) {
    return;
  }
  m_value = value;
  m_valueLabel->setText(value);
  refreshToolTip();
}

void StatPill::setLabel(const QString &label) {
  if (m_label == label) {
    return;
  }
  m_label = label;
  m_unitLabel->setText(label);
  refreshToolTip();
}

QSize StatPill::sizeHint() const { return layout()->sizeHint(); }

void StatPill::refreshToolTip() {
  setToolTip(localized::format("%@：%@", "%@：%@", {m_label, m_value}));
}

void StatPill::refreshColors() {
  const Theme &theme = Theme::of(this);
  m_iconLabel->setPixmap(
      platform::symbols::pixmap(m_icon, kIconPx, theme.secondary, devicePixelRatioF()));
  m_iconLabel->setFixedSize(kIconPx, kIconPx);
  QPalette palette = m_unitLabel->palette();
  palette.setColor(QPalette::WindowText, theme.secondary);
  m_unitLabel->setPalette(palette);
}

void StatPill::showEvent(QShowEvent *event) {
  refreshColors();
  QWidget::showEvent(event);
}

void StatPill::changeEvent(QEvent *event) {
  // A new scheme arrives as a palette change; a move into another tree, or a first show
  // under an ancestor whose scheme was set without changing the palette, may bring one too.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
    refreshColors();
  }
  QWidget::changeEvent(event);
}

void StatPill::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const Theme &theme = Theme::of(this);
  const QRectF r = QRectF(rect());
  const qreal radius = r.height() / 2;
  QPainterPath capsule;
  capsule.addRoundedRect(r, radius, radius);
  p.fillPath(capsule, theme.primaryAt(0.055));
  const QRectF inside = r.adjusted(0.25, 0.25, -0.25, -0.25);
  p.setPen(QPen(theme.primaryAt(0.06), 0.5));
  p.drawRoundedRect(inside, radius - 0.25, radius - 0.25);
}

} // namespace lumora
