// The owner of screen changes on its own, over a screen whose photo never comes: how long a
// held picture may stand.
#include "app/shell/transition/ScreenTransition.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/transition/LoadingImages.h"
#include "app/store/images/ThumbnailLoader.h"
#include "tests/shell/support/FilmedFrames.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

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

// Changes that come one after another while the picture waits for photos (the regroups of
// a running scan) keep the picture the user sees, still, and its time: it stands no longer
// than the wait's limit counted from the first of them, then gives way to what the screen
// shows now. Each change used to start the wait again, so a steady flow of them kept the
// screen frozen on the first picture.
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

  constexpr int kStepMs = 60;
  const lumora::LeavingPicture *first = nullptr;
  int stoodMs = 0;
  while (transition.state() != ScreenTransition::State::crossing && stoodMs < 1000) {
    transition.hold(screen, transition.pictureShown(screen, false));
    ASSERT_NE(transition.picture(), nullptr);
    first = first ? first : transition.picture();
    EXPECT_EQ(transition.picture(), first) << "the picture shown stays, it is not taken again";
    EXPECT_TRUE(transition.picture()->isStill());
    transition.dissolveHeld(screen, lumora::motion::fast());
    turn();
    clock.advanceBy(kStepMs);
    turn();
    stoodMs += kStepMs;
  }
  EXPECT_EQ(transition.state(), ScreenTransition::State::crossing);
  EXPECT_GE(stoodMs, lumora::PhotoWait::kLimitMs);
  EXPECT_LE(stoodMs, lumora::PhotoWait::kLimitMs + 2 * kStepMs);

  // Once it has moved, a new change takes a new picture and waits its own limit.
  transition.hold(screen, transition.pictureShown(screen, false));
  transition.dissolveHeld(screen, lumora::motion::fast());
  turn();
  clock.advanceBy(kStepMs);
  turn();
  EXPECT_EQ(transition.state(), ScreenTransition::State::waitingForPhotos);
}
