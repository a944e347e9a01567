#include "app/shell/screens/StatusScreen.h"

#include "app/shell/screens/ScreenLabels.h"
#include "app/shell/screens/StatusBadge.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace lumora {
namespace {

constexpr int kPadding = 24;
constexpr int kSpacing = 16;

ThemedButton::Style styleAt(std::size_t position) {
  switch (position) {
  case 0: return ThemedButton::Style::prominent;
  case 1: return ThemedButton::Style::bordered;
  default: return ThemedButton::Style::link;
  }
}

} // namespace

StatusScreen::StatusScreen(int messageMaxWidth, QWidget *parent)
    : QWidget(parent), m_messageMaxWidth(messageMaxWidth) {
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
  column->setSpacing(kSpacing);
  column->addStretch(1);
  m_badge = new StatusBadge(this);
  column->addWidget(m_badge, 0, Qt::AlignHCenter);
  m_title = screenlabels::make({}, Theme::font(19, Theme::Weight::semibold), this, true);
  m_title->setObjectName(QStringLiteral("title"));
  m_title->setAlignment(Qt::AlignHCenter);
  column->addWidget(m_title, 0, Qt::AlignHCenter);
  m_message = screenlabels::make({}, Theme::font(13), this, true);
  m_message->setObjectName(QStringLiteral("message"));
  m_message->setAlignment(Qt::AlignHCenter);
  column->addWidget(m_message, 0, Qt::AlignHCenter);
  m_buttonRow = new QHBoxLayout;
  m_buttonRow->setContentsMargins(0, 4, 0, 0);
  m_buttonRow->setSpacing(10);
  column->addLayout(m_buttonRow);
  m_buttonRow->setAlignment(Qt::AlignHCenter);
  column->addStretch(1);
  applyTextColors();
}

void StatusScreen::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyTextColors();
    refresh();
  }
}

void StatusScreen::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  fitTexts();
}

void StatusScreen::fitTexts() {
  // The message takes the width it is offered up to its maximum, its lines centred; the
  // title is as wide as its text, wrapping only in a narrow window.
  const int available = screenlabels::offeredWidth(this, 2 * kPadding);
  screenlabels::fitWrapped(m_message, available, m_messageMaxWidth);
  screenlabels::fitWrapped(m_title, available,
                           QFontMetrics(m_title->font()).horizontalAdvance(m_title->text()) + 1);
}

void StatusScreen::applyTextColors() {
  const Theme &theme = Theme::of(this);
  screenlabels::setTextColor(m_title, theme.primary);
  screenlabels::setTextColor(m_message, theme.secondary);
}

void StatusScreen::setTitle(const QString &title) {
  m_title->setText(title);
  fitTexts();
}

void StatusScreen::setMessage(const QString &message) {
  m_message->setText(message);
  fitTexts();
}

ThemedButton *StatusScreen::addButton(const QString &title) {
  auto *button =
      new ThemedButton(title, styleAt(m_buttons.size()), ThemedButton::Size::regular, this);
  m_buttonRow->addWidget(button);
  // At once, also on a screen already shown (a layout would show it a turn later).
  button->show();
  m_buttons.push_back(button);
  return button;
}

void StatusScreen::clearButtons() {
  // Later, not now: the click that led here may still be running in one of them.
  for (ThemedButton *button : m_buttons) {
    m_buttonRow->removeWidget(button);
    button->hide();
    button->deleteLater();
  }
  m_buttons.clear();
}

} // namespace lumora
