#include "app/detail/DetailActionBar.h"

#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace lumora {
namespace {

constexpr int kSpinnerSize = 11; // 14 px scaled by 0.8
constexpr int kSpinnerGap = 6;

} // namespace

DetailActionBar::DetailActionBar(QWidget *parent)
    : QWidget(parent), m_title(new QLabel(this)), m_subtitle(new ShrinkingLabel(QString(), this)),
      m_cleanup(new ThemedButton(QString(), ThemedButton::Style::prominent,
                                 ThemedButton::Size::large, this)),
      m_spinner(new Spinner(kSpinnerSize, m_cleanup)) {
  m_title->setFont(Theme::font(13, Theme::Weight::semibold));
  m_subtitle->setFont(Theme::font(11));
  m_subtitle->setMinimumScaleFactor(1.0);
  m_subtitle->setElideMode(Qt::ElideRight);
  m_cleanup->setFocusPolicy(Qt::NoFocus);
  m_cleanup->setSymbol(QStringLiteral("trash"));
  m_cleanup->setTint(Theme::of(this).red);
  m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_spinner->hide();
  auto *texts = new QVBoxLayout;
  texts->setSpacing(2);
  texts->addWidget(m_title);
  texts->addWidget(m_subtitle);
  auto *row = new QHBoxLayout(this);
  // One more pixel for the divider line.
  row->setContentsMargins(20, 13, 20, 12);
  row->setSpacing(14);
  row->addLayout(texts, 1);
  row->addSpacing(8);
  row->addWidget(m_cleanup);
  connect(m_cleanup, &QPushButton::clicked, this, &DetailActionBar::cleanupClicked);
  m_cleanup->installEventFilter(this);
  applyColors();
}

// The spinner stands left of the centred title, wherever the layout puts the button.
bool DetailActionBar::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_cleanup && event->type() == QEvent::Resize) {
    placeSpinner();
  }
  return QWidget::eventFilter(watched, event);
}

void DetailActionBar::setTexts(const QString &title, const QString &subtitle) {
  m_title->setText(title);
  m_subtitle->setText(subtitle);
}

QString DetailActionBar::title() const { return m_title->text(); }
QString DetailActionBar::subtitle() const { return m_subtitle->text(); }

void DetailActionBar::setCleanup(const QString &title, const QString &hint, bool enabled,
                                 bool running) {
  m_cleanup->setText(title);
  m_cleanup->setAccessibleName(title);
  m_cleanup->setAccessibleDescription(hint);
  m_cleanup->setEnabled(enabled);
  // While running the spinner takes the symbol's place, left of the title.
  m_cleanup->setSymbol(running ? QString() : QStringLiteral("trash"));
  m_spinner->setVisible(running);
  placeSpinner();
}

void DetailActionBar::placeSpinner() {
  const int textWidth = m_cleanup->fontMetrics().horizontalAdvance(m_cleanup->text());
  const int x = m_cleanup->width() / 2 - textWidth / 2 - kSpinnerGap - kSpinnerSize;
  m_spinner->move(x, (m_cleanup->height() - kSpinnerSize) / 2);
}

void DetailActionBar::applyColors() {
  const Theme &theme = Theme::of(this);
  QPalette palette = m_title->palette();
  palette.setColor(QPalette::WindowText, theme.primary);
  m_title->setPalette(palette);
  m_subtitle->setColor(theme.secondary);
  m_cleanup->setTint(theme.red);
}

void DetailActionBar::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyColors();
  }
}

void DetailActionBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  const Theme &theme = Theme::of(this);
  painter.fillRect(rect(), theme.barMaterial);
  const QRect divider(0, 0, width(), 1);
  painter.fillRect(divider, theme.separator);
  painter.fillRect(divider, theme.primaryAt(0.06));
}

} // namespace lumora
