// The owner of screen changes on its own, over a screen whose photo never comes: how long a
// held picture may stand.
#include "app/shell/transition/ScreenTransition.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/transition/LoadingImages.h"
#include "app/store/images/ThumbnailLoader.h"
#include "tests/shell/support/FilmedFrames.h"

#include <QCoreApplication>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using lumora::PhotoWait;
using lumora::ScreenTransition;

namespace {

/// A view whose photo never comes while it exists.
class EndlessPhoto : public QWidget, public lumora::LoadingImages {
public:
  using QWidget::QWidget;
  [[nodiscard]] bool isLoadingImages() const override { return true; }
};

/// Lets queued calls and new animations be taken on; no time passes on the clock.
void turn() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
  }
}

} // namespace

// Changes that come one after another while the picture waits for photos (a threshold
// dragged through several values) keep the picture the user sees, still, and the time it
// has waited: it waits no longer than the wait's limit counted over all of them, then gives
// way to what the screen shows now. Each change used to start the wait again, so a steady
// flow of them kept the screen frozen on the first picture.
TEST(ScreenTransitionTest, changesOneAfterAnotherHoldThePictureNoLongerThanTheLimit) {
  filmtest::ManualClock clock;
  lumora::ThumbnailLoader photos([](const lumora::PhotoItem &, int) { return QImage(); });
  QWidget window;
  window.resize(240, 160);
  auto *screen = new QWidget(&window);
  screen->setGeometry(window.rect());
  (new EndlessPhoto(screen))->show();
  window.show();
  ScreenTransition transition(photos);
  // Keeps the hand-driven clock running throughout, as the window's spinners do: a clock
  // that stops and starts again when nothing moves counts its pause on restarting.
  QVariantAnimation running;
  running.setDuration(3600 * 1000);
  running.setStartValue(0.0);
  running.setEndValue(1.0);
  running.start();
  turn();
  clock.advanceBy(20);
  turn();

  constexpr int kStepMs = 60;
  const lumora::LeavingPicture *first = nullptr;
  int waitedMs = 0;
  while (transition.state() != ScreenTransition::State::crossing && waitedMs < 1000) {
    transition.hold(screen, transition.pictureShown(screen, false));
    ASSERT_NE(transition.picture(), nullptr);
    first = first ? first : transition.picture();
    EXPECT_EQ(transition.picture(), first) << "the picture shown stays, it is not taken again";
    EXPECT_TRUE(transition.picture()->isStill());
    // The time a change is computed under the hold is not a wait for photos.
    clock.advanceBy(kStepMs);
    turn();
    transition.dissolveHeld(screen, lumora::motion::fast());
    turn();
    clock.advanceBy(kStepMs);
    turn();
    waitedMs += kStepMs;
  }
  EXPECT_EQ(transition.state(), ScreenTransition::State::crossing);
  EXPECT_GE(waitedMs, lumora::PhotoWait::kLimitMs);
  EXPECT_LE(waitedMs, lumora::PhotoWait::kLimitMs + 2 * kStepMs);

  // Once it has moved, a new change takes a new picture and waits its own limit.
  transition.hold(screen, transition.pictureShown(screen, false));
  EXPECT_NE(transition.picture(), first);
  transition.dissolveHeld(screen, lumora::motion::fast());
  turn();
  clock.advanceBy(kStepMs);
  turn();
  EXPECT_EQ(transition.state(), ScreenTransition::State::waitingForPhotos);

  // A replacement does not inherit a hold's waiting time either.
  QWidget *entering = new QWidget(&window);
  (new EndlessPhoto(entering))->show();
  entering->setGeometry(window.rect());
  entering->show();
  clock.advanceBy(PhotoWait::kLimitMs - 2 * kStepMs);
  turn();
  transition.replace(screen, entering, {lumora::motion::fast(), {}, {}});
  turn();
  clock.advanceBy(2 * kStepMs);
  turn();
  EXPECT_EQ(transition.state(), ScreenTransition::State::waitingForPhotos);
}
