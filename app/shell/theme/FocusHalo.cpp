#include "app/shell/theme/FocusHalo.h"

#include "app/shell/theme/Theme.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <cmath>

namespace lumora {
namespace {

constexpr char kRadiusProperty[] = "pindleFocusHaloRadius";
constexpr char kInsideProperty[] = "pindleFocusHaloInside";

/// How far the ring reaches beyond the control, with a pixel for antialiasing.
constexpr int kOutset = static_cast<int>(FocusHalo::kGap + FocusHalo::kWidth) + 1;
/// The corners of the style's push buttons.
constexpr qreal kPlainButtonRadius = 3;

QPointer<FocusHalo> &current() {
  static QPointer<FocusHalo> halo;
  return halo;
}

bool isScrollViewport(const QWidget *widget) {
  const auto *area = qobject_cast<const QAbstractScrollArea *>(widget->parentWidget());
  return area != nullptr && area->viewport() == widget;
}

/// The scheme's ring colour. A dialog outside the window's content (a file dialog parented
/// to the window itself) has no scheme of its own: its palette, which follows the
/// application's appearance, tells light from dark.
QColor ringColor(const QWidget *control) {
  for (const QWidget *w = control; w != nullptr; w = w->parentWidget()) {
    if (Theme::hasOwnScheme(w)) {
      return Theme::of(control).focusRing;
    }
  }
  const bool light = control->palette().color(QPalette::Window).lightness() > 128;
  return Theme::forScheme(light ? ColorScheme::light : ColorScheme::dark).focusRing;
}

/// `widget`, or the first of its ancestors that is no splitter: a splitter takes every child
/// widget for a pane of its own, so a ring there would push the dialog's lists aside.
QWidget *ownerOutsideSplitters(QWidget *widget) {
  while (qobject_cast<QSplitter *>(widget) != nullptr) {
    widget = widget->parentWidget();
  }
  return widget;
}

} // namespace

FocusHalo::FocusHalo(QWidget *host) : QWidget(host) {
  setObjectName(QStringLiteral("focusHalo"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void FocusHalo::install(QWidget *control, qreal cornerRadius, Placement placement) {
  Q_ASSERT(control != nullptr);
  control->setProperty(kRadiusProperty, cornerRadius);
  control->setProperty(kInsideProperty, placement == Placement::inside);
  static const bool connected = [] {
    QObject::connect(qApp, &QApplication::focusChanged, qApp,
                     [](QWidget *, QWidget *now) { focusChanged(now); });
    return true;
  }();
  (void)connected;
  if (control->hasFocus()) {
    focusChanged(control);
  }
}

bool FocusHalo::isInstalled(const QWidget *control) {
  return control != nullptr && control->property(kRadiusProperty).isValid();
}

FocusHalo *FocusHalo::shown() {
  FocusHalo *halo = current();
  return halo != nullptr && halo->m_control != nullptr && halo->isVisible() ? halo : nullptr;
}

void FocusHalo::focusChanged(QWidget *now) {
  // Qt's own push buttons (alerts, file dialogs) get the ring too: the style's focus frame on
  // them is a faint line of the accent. So do a file dialog's lists (its side bar draws no
  // focus of its own), inside their edge.
  if (now != nullptr && !isInstalled(now)) {
    if (qobject_cast<QPushButton *>(now) != nullptr) {
      now->setProperty(kRadiusProperty, kPlainButtonRadius);
    } else if (qobject_cast<QAbstractItemView *>(now) != nullptr &&
               qobject_cast<QFileDialog *>(now->window()) != nullptr) {
      now->setProperty(kRadiusProperty, 0);
      now->setProperty(kInsideProperty, true);
    }
  }
  QWidget *host = isInstalled(now) ? hostFor(now) : nullptr;
  if (host == nullptr) {
    if (current() != nullptr) {
      current()->release();
    }
    return;
  }
  // The ring dies with the widget it last lived in; a new one takes its place.
  if (current() == nullptr) {
    current() = new FocusHalo(host);
  }
  current()->follow(now, host);
}

void FocusHalo::follow(QWidget *control, QWidget *host) {
  release();
  m_control = control;
  m_radius = control->property(kRadiusProperty).toReal();
  m_placement =
      control->property(kInsideProperty).toBool() ? Placement::inside : Placement::outside;
  for (QWidget *w = control; w != nullptr && w != host; w = w->parentWidget()) {
    m_watched.append(w);
    w->installEventFilter(this);
  }
  if (parentWidget() != host) {
    setParent(host);
  }
  place();
  raise();
  show();
}

void FocusHalo::release() {
  for (const QPointer<QWidget> &w : std::as_const(m_watched)) {
    if (w != nullptr) {
      w->removeEventFilter(this);
    }
  }
  m_watched.clear();
  m_control = nullptr;
  hide();
}

QWidget *FocusHalo::hostFor(QWidget *control) {
  QWidget *host = ownerOutsideSplitters(control->parentWidget());
  if (host == nullptr || control->property(kInsideProperty).toBool()) {
    return host;
  }
  // Climb until the ring fits, but never out of a window or a scrolled viewport: the ring
  // must scroll and clip with the control.
  while (!host->isWindow() && !isScrollViewport(host) && host->parentWidget() != nullptr) {
    const QRect ring = QRect(control->mapTo(host, QPoint(0, 0)), control->size())
                           .adjusted(-kOutset, -kOutset, kOutset, kOutset);
    if (host->rect().contains(ring)) {
      break;
    }
    host = ownerOutsideSplitters(host->parentWidget());
  }
  return host;
}

QRect FocusHalo::controlRectIn(const QWidget *host) const {
  return {m_control->mapTo(host, QPoint(0, 0)), m_control->size()};
}

void FocusHalo::place() {
  if (m_control == nullptr || parentWidget() == nullptr) {
    return;
  }
  const int outset = m_placement == Placement::outside ? kOutset : 0;
  setGeometry(controlRectIn(parentWidget()).adjusted(-outset, -outset, outset, outset));
  update();
}

QRectF FocusHalo::ringRect() const {
  if (m_control == nullptr || parentWidget() == nullptr) {
    return {};
  }
  const QRectF control =
      QRectF(controlRectIn(parentWidget())).translated(-QPointF(geometry().topLeft()));
  const qreal half = kWidth / 2;
  if (m_placement == Placement::inside) {
    return control.adjusted(half, half, -half, -half);
  }
  const qreal out = kGap + half;
  return control.adjusted(-out, -out, out, out);
}

void FocusHalo::paintEvent(QPaintEvent *) {
  if (m_control == nullptr) {
    return;
  }
  const qreal radius = m_placement == Placement::inside ? std::max(m_radius - kWidth / 2, 0.0)
                                                        : m_radius + kGap + kWidth / 2;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(ringColor(m_control), kWidth));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(ringRect(), radius, radius);
}

bool FocusHalo::eventFilter(QObject *watched, QEvent *event) {
  switch (event->type()) {
  case QEvent::Move:
  case QEvent::Resize: place(); break;
  case QEvent::Hide: hide(); break;
  case QEvent::Show:
    if (m_control != nullptr && m_control->hasFocus()) {
      place();
      show();
    }
    break;
  case QEvent::ParentChange:
    if (m_control != nullptr) {
      QWidget *control = m_control;
      release();
      if (control->hasFocus()) {
        focusChanged(control);
      }
    }
    break;
  default: break;
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace lumora
