#include "app/selftest/CardTapCheck.h"

#include "app/results/GroupCard.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace lumora::cardtapcheck {
namespace {

constexpr QSize kHostSize{420, 640};
// (210, 546) from the window's bottom left corner.
constexpr QPoint kPressPoint{210, 640 - 546};
constexpr int kTries = 6;
constexpr int kKeyRounds = 40;

QString valueText(const std::optional<std::string> &value) {
  return value ? QString::fromStdString(*value) : QStringLiteral("nil");
}

// Sends a mouse event of `type` at `point` (the receiver's coordinates) to `receiver`.
void sendMouse(QObject *receiver, QEvent::Type type, QPoint point, Qt::MouseButton button,
               QPoint global) {
  const Qt::MouseButtons held =
      type == QEvent::MouseButtonRelease || button == Qt::NoButton ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(point), QPointF(global), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(receiver, &event);
}

// The host window is never mapped nor activated (it must not take the user's focus):
// showing it again is all that is left of bringing it forward.
void bringForward(QWidget *window) { window->show(); }

// A window never mapped on the display, or one that takes no focus (the self-tests' own
// hosts), can never become active: waiting for it would only cost the 4 s.
bool canBecomeActive(const QWidget *window) {
  return !window->testAttribute(Qt::WA_DontShowOnScreen) &&
         !window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus);
}

void waitForActive(QWidget *window) {
  if (!canBecomeActive(window)) {
    return;
  }
  for (int round = 0; round < kKeyRounds; ++round) {
    if (window->isActiveWindow() || QApplication::activeWindow() != nullptr) {
      return;
    }
    bringForward(window);
    SelfTestHarness::wait(100);
  }
  Diagnostics::log(QStringLiteral("selftest"),
                   QStringLiteral("window not active after 4s; dispatch anyway"));
}

// The tries through the window; true when one of them recorded the press.
bool pressThroughWindow(AppStore &store, const PhotoGroup &group, QWidget *window) {
  QWindow *handle = window->windowHandle();
  const QPoint global = window->mapToGlobal(kPressPoint);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    bringForward(window);
    SelfTestHarness::spin(80);
    sendMouse(handle, QEvent::MouseMove, kPressPoint, Qt::NoButton, global);
    sendMouse(handle, QEvent::MouseButtonPress, kPressPoint, Qt::LeftButton, global);
    SelfTestHarness::spin(120);
    if (store.lastPressedGroupID() == group.id) {
      return true;
    }
    const QPoint dragged = kPressPoint + QPoint(1, 0);
    sendMouse(handle, QEvent::MouseMove, dragged, Qt::LeftButton, window->mapToGlobal(dragged));
    SelfTestHarness::spin(120);
    if (store.lastPressedGroupID() == group.id) {
      return true;
    }
  }
  return false;
}

} // namespace

QWidget *makeHost(AppStore &store, const PhotoGroup &group) {
  auto *host = new QWidget;
  auto *layout = new QVBoxLayout(host);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(new GroupCard(store, group, nullptr, 0, host));
  layout->addStretch(1);
  host->setFixedSize(kHostSize);
  return host;
}

void verify(AppStore &store, const PhotoGroup &group, bool reduceMotion) {
  const QString suffix = reduceMotion ? QStringLiteral("（Reduce Motion）") : QString();
  QWidget *host = makeHost(store, group);
  SelfTestHarness::hideAllWindows();
  std::unique_ptr<QWidget> window(
      SelfTestHarness::hostWindow(host, QRect(QPoint(80, 80), kHostSize)));
  waitForActive(window.get());
  SelfTestHarness::wait(120);
  store.setDetailGroupID(std::nullopt);
  SelfTestHarness::wait(60);

  const bool throughWindow = pressThroughWindow(store, group, window.get());
  QWidget *card = host->findChild<GroupCard *>();
  const QPoint cardPoint = card->mapFrom(window.get(), kPressPoint);
  const QPoint global = window->mapToGlobal(kPressPoint);
  if (!throughWindow) {
    sendMouse(card, QEvent::MouseButtonPress, cardPoint, Qt::LeftButton, global);
    SelfTestHarness::spin(150);
  }
  if (store.lastPressedGroupID() != group.id) {
    throw SelfTestFailure{QStringLiteral("按下状态未记录") + suffix +
                          QStringLiteral("，lastPressedGroupID=") +
                          valueText(store.lastPressedGroupID())};
  }
  if (throughWindow) {
    sendMouse(window->windowHandle(), QEvent::MouseButtonRelease, kPressPoint, Qt::LeftButton,
              global);
  } else {
    sendMouse(card, QEvent::MouseButtonRelease, cardPoint, Qt::LeftButton, global);
  }
  SelfTestHarness::spin(320);
  if (store.detailGroupID() != group.id) {
    throw SelfTestFailure{QStringLiteral("合成点击没有触发详情") + suffix +
                          QStringLiteral("，detailGroupID=") + valueText(store.detailGroupID()) +
                          QStringLiteral("，期望=") + QString::fromStdString(group.id)};
  }
  if (store.lastPressedGroupID()) {
    throw SelfTestFailure{QStringLiteral("抬起后按下状态未复位") + suffix +
                          QStringLiteral("，lastPressedGroupID=") +
                          valueText(store.lastPressedGroupID())};
  }
  window->hide();
  (void)window.release(); // kept, hidden, until the process ends
  SelfTestHarness::spin(120);
}

void verifyBuild(AppStore &store, const PhotoGroup &group) {
  QWidget *window =
      SelfTestHarness::hostWindow(makeHost(store, group), QRect(QPoint(520, 80), kHostSize));
  window->hide();
  (void)window->grab();
}

} // namespace lumora::cardtapcheck
