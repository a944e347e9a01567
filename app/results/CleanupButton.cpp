#include "app/results/CleanupButton.h"

#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <algorithm>

namespace lumora {
namespace {

constexpr int kPadding = 9;
constexpr int kSymbol = 11;
constexpr int kSpinner = 12;
constexpr qreal kGap = 6;

} // namespace

CleanupButton::CleanupButton(QWidget *parent)
    : ThemedButton(QString(), Style::bordered, Size::small, parent),
      m_spinner(new Spinner(kSpinner, this)) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  // The grid is one Tab stop whose keys reach every card: a stop on each card's button would
  // walk Tab through hundreds of cards, pooled ones out of sight among them.
  setFocusPolicy(Qt::NoFocus);
  setFont(Theme::font(11, Theme::Weight::medium));
  m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_spinner->hide();
}

void CleanupButton::setLabel(const QString &title, const QString &bytes) {
  if (title == m_title && bytes == m_bytes) {
    return;
  }
  m_title = title;
  m_bytes = bytes;
  update();
}

void CleanupButton::setCleaning(bool cleaning) {
  if (cleaning == m_cleaning) {
    return;
  }
  m_cleaning = cleaning;
  m_spinner->setVisible(cleaning);
  applyOpacity();
}

void CleanupButton::setOpacity(qreal opacity) {
  opacity = std::clamp(opacity, 0.0, 1.0);
  if (opacity == m_opacity) {
    return;
  }
  m_opacity = opacity;
  applyOpacity();
}

// While the card fades, the button is drawn as one picture at the card's opacity, as an
// opacity effect draws it, but from a snapshot kept while its look stays the same instead
// of rendering the button again for every step. The spinner is a child widget of its own:
// while it shows, an opacity effect fades the two together.
void CleanupButton::applyOpacity() {
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
  if (m_opacity < 1 && m_cleaning) {
    if (effect == nullptr) {
      effect = new QGraphicsOpacityEffect(this);
      setGraphicsEffect(effect);
    }
    effect->setOpacity(m_opacity);
  } else if (effect != nullptr) {
    setGraphicsEffect(nullptr);
  }
  if (m_opacity >= 1) {
    m_snapshot = QPixmap();
  }
  update();
}

bool CleanupButton::event(QEvent *event) {
  if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave) {
    m_hovered = event->type() == QEvent::HoverEnter;
  }
  return ThemedButton::event(event);
}

CleanupButton::Look CleanupButton::look() const {
  const Theme &theme = Theme::of(this);
  return {size(),
          devicePixelRatioF(),
          m_title,
          m_bytes,
          m_plain,
          isEnabled(),
          isDown(),
          m_hovered,
          hasFocus(),
          theme.primary.rgba(),
          theme.red.rgba(),
          theme.secondary.rgba(),
          theme.accent.rgba()};
}

void CleanupButton::setPlain(bool plain) {
  if (plain == m_plain) {
    return;
  }
  m_plain = plain;
  setButtonStyle(plain ? Style::link : Style::bordered);
}

void CleanupButton::resizeEvent(QResizeEvent *event) {
  ThemedButton::resizeEvent(event);
  m_spinner->move(kPadding, (height() - kSpinner) / 2);
}

QColor CleanupButton::labelColor() const {
  const Theme &theme = Theme::of(this);
  return m_plain ? theme.primary : theme.red;
}

void CleanupButton::paintEvent(QPaintEvent *) {
  if (m_opacity >= 1 || m_cleaning) {
    QPainter painter(this);
    paintButton(painter);
    return;
  }
  if (m_opacity <= 0) {
    return;
  }
  const Look now = look();
  if (m_snapshot.isNull() || now != m_snapshotLook) {
    // Painted straight onto the picture: the painter of a widget may be the one of a whole
    // window being captured (a screen's exit picture), which would put the button there.
    m_snapshot = QPixmap((QSizeF(now.size) * now.devicePixelRatio).toSize());
    m_snapshot.setDevicePixelRatio(now.devicePixelRatio);
    m_snapshot.fill(Qt::transparent);
    QPainter picture(&m_snapshot);
    paintButton(picture);
    m_snapshotLook = now;
  }
  QPainter painter(this);
  painter.setOpacity(m_opacity);
  painter.drawPixmap(0, 0, m_snapshot);
}

void CleanupButton::paintButton(QPainter &painter) const {
  paintFace(painter);
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  if (!isEnabled()) {
    painter.setOpacity(0.4);
  }
  const QRectF inner = QRectF(rect()).adjusted(kPadding, 2, -kPadding, -2);
  qreal x = inner.left();
  if (!m_cleaning) {
    const QPixmap trash = platform::symbols::pixmap(QStringLiteral("trash"), kSymbol, labelColor(),
                                                    devicePixelRatioF());
    painter.drawPixmap(QPointF(x, inner.center().y() - kSymbol / 2.0), trash);
  }
  x += kSpinner + kGap;
  const QFontMetricsF metrics(font());
  qreal bytesWidth = 0;
  if (!m_bytes.isEmpty()) {
    painter.setFont(Theme::font(11));
    painter.setPen(Theme::of(this).secondary);
    bytesWidth = QFontMetricsF(painter.font()).horizontalAdvance(m_bytes);
    painter.drawText(QRectF(inner.right() - bytesWidth, inner.top(), bytesWidth, inner.height()),
                     Qt::AlignRight | Qt::AlignVCenter, m_bytes);
  }
  const qreal room =
      std::max<qreal>(inner.right() - x - (bytesWidth > 0 ? bytesWidth + kGap : 0), 0);
  painter.setFont(font());
  painter.setPen(labelColor());
  painter.drawText(QRectF(x, inner.top(), room, inner.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(m_title, Qt::ElideRight, room));
  painter.restore();
}

} // namespace lumora
