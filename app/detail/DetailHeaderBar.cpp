#include "app/detail/DetailHeaderBar.h"

#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace lumora {

DetailHeaderBar::DetailHeaderBar(QWidget *parent)
    : QWidget(parent),
      m_back(new ThemedButton(localized::string("返回"), ThemedButton::Style::bordered,
                              ThemedButton::Size::large, this)),
      m_title(new QLabel(this)), m_subtitle(new ShrinkingLabel(QString(), this)),
      m_hint(new ShrinkingLabel(QString(), this)) {
  m_back->setSymbol(QStringLiteral("chevron.left"));
  m_back->setFocusPolicy(Qt::NoFocus);
  m_back->setToolTip(localized::string("返回分组列表"));
  m_back->setAccessibleName(localized::string("返回分组列表"));
  m_title->setFont(Theme::font(15, Theme::Weight::semibold));
  m_subtitle->setFont(Theme::font(11));
  m_subtitle->setMinimumScaleFactor(0.8);
  m_subtitle->setElideMode(Qt::ElideRight);
  m_hint->setFont(Theme::font(10));
  m_hint->setMinimumScaleFactor(0.8);
  m_hint->setElideMode(Qt::ElideRight);
  m_hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto *row = new QHBoxLayout(this);
  // One more pixel for the divider line.
  row->setContentsMargins(16, 8, 16, 9);
  row->setSpacing(12);
  row->addWidget(m_back);
  row->addWidget(m_title);
  row->addWidget(m_subtitle, 1);
  row->addSpacing(8);
  row->addWidget(m_hint, 1);
  connect(m_back, &QPushButton::clicked, this, &DetailHeaderBar::backClicked);
  applyColors();
}

void DetailHeaderBar::setTexts(const QString &title, const QString &subtitle, const QString &hint) {
  m_title->setText(title);
  m_subtitle->setText(subtitle);
  m_hint->setText(hint);
}

QString DetailHeaderBar::title() const { return m_title->text(); }
QString DetailHeaderBar::subtitle() const { return m_subtitle->text(); }
QString DetailHeaderBar::hint() const { return m_hint->text(); }

void DetailHeaderBar::applyColors() {
  const Theme &theme = Theme::of(this);
  QPalette palette = m_title->palette();
  palette.setColor(QPalette::WindowText, theme.primary);
  m_title->setPalette(palette);
  m_subtitle->setColor(theme.secondary);
  m_hint->setColor(theme.primaryAt(0.72));
}

void DetailHeaderBar::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyColors();
  }
}

void DetailHeaderBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  const Theme &theme = Theme::of(this);
  painter.fillRect(rect(), theme.barMaterial);
  const QRect divider(0, height() - 1, width(), 1);
  painter.fillRect(divider, theme.separator);
  painter.fillRect(divider, theme.primaryAt(0.06));
}

} // namespace lumora
