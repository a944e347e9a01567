// Opening and closing a group's detail, filmed frame by frame in the composed window with
// the real screens: a plain dissolve between the two screens and a hero zoom that leaves
// nothing behind, in both schemes and under reduced motion.
#include "app/ApplicationScreens.h"
#include "app/results/GroupCard.h"
#include "app/results/GroupCardHero.h"
#include "app/results/ResultsView.h"
#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/HeroOverlay.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/root/ControlsBar.h"
#include "app/shell/root/HeaderBar.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/transition/LoadingImages.h"
#include "app/shell/transition/ScreenTransition.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/shell/root/RootViewFixture.h"
#include "tests/shell/support/FilmedFrames.h"

using lumora::AppStore;
using lumora::ColorScheme;

namespace {

constexpr int kFrameMs = 20;

/// A view of the results whose photo never comes while it exists.
class EndlessPhoto : public QWidget, public lumora::LoadingImages {
public:
  using QWidget::QWidget;
  [[nodiscard]] bool isLoadingImages() const override { return true; }
};

class DetailTransition : public roottest::RootViewTest {
protected:
  DetailTransition() { factory = lumora::applicationScreens(); }
  ~DetailTransition() override { platform::setReduceMotionOverride(std::nullopt); }

  /// Scans two groups of real photos, opens the first group once and closes it again, so
  /// its photos are cached and the films show the transitions, not the decoding.
  void showResults() {
    rig.writeBurst("a", 1, 4);
    rig.writeBurst("b", 2, 3, 1.8e9);
    view();
    rig.store->chooseFolder();
    ASSERT_TRUE(rig.waitForPhase(AppStore::Phase::Kind::ready));
    ASSERT_TRUE(roottest::waitFor([&] { return view().controlsBar() != nullptr; }));
    const QWidget *bar = view().controlsBar();
    m_band = QRect(bar->mapTo(window(), QPoint(0, 0)), QSize(bar->width(), bar->height() + 160));
    rig.store->openDetail(rig.store->groups().front());
    settle();
    rig.store->setDetailGroupID(std::nullopt);
    settle();
  }

  /// Waits until the change between the results and the detail is over and the hero has
  /// landed: the event, however long a busy machine takes.
  void settle() {
    ASSERT_TRUE(roottest::waitFor([&] {
      return view().detailTransition().state() == lumora::ScreenTransition::State::idle &&
             !view().heroNamespace()->overlay()->isFlying();
    }));
    roottest::spin(50);
  }

  /// Films `change` from the frame before it for `ms`, one frame per 20 ms; `eachFrame`
  /// looks at the window as each frame shows it.
  std::vector<QImage> film(const std::function<void()> &change, int ms,
                           const std::function<void()> &eachFrame = {}) {
    filmtest::ManualClock clock;
    std::vector<QImage> frames{filmtest::composed(window())};
    change();
    for (int t = 0; t < ms; t += kFrameMs) {
      frames.push_back(filmtest::composed(window()));
      if (eachFrame) {
        eachFrame();
      }
      // Every frame is what the widgets now are: nothing stale stays in the window.
      const double stale = filmtest::difference(
          frames.back(), window()->grab().toImage().convertToFormat(QImage::Format_RGB32),
          window()->rect());
      EXPECT_LT(stale / (window()->width() * window()->height()), 1.0) << "frame at " << t << " ms";
      // The photo wait gives up on this clock: it moves only once the photos asked for are
      // in, so a machine slow to hand them over films what a quick one shows.
      EXPECT_TRUE(roottest::waitFor([&] { return !lumora::LoadingImages::anyIn(window()); }))
          << "frame at " << t << " ms";
      clock.advanceBy(kFrameMs);
    }
    frames.push_back(filmtest::composed(window()));
    return frames;
  }
  std::vector<QImage> filmOpening(int ms = 800) {
    return film([&] { rig.store->openDetail(rig.store->groups().front()); }, ms);
  }
  std::vector<QImage> filmClosing(int ms = 800, const std::function<void()> &eachFrame = {}) {
    return film([&] { rig.store->setDetailGroupID(std::nullopt); }, ms, eachFrame);
  }

  /// The shown card of the first group, and its hero image.
  [[nodiscard]] lumora::GroupCard *firstCard() const {
    for (lumora::GroupCard *card : window()->findChildren<lumora::GroupCard *>()) {
      if (card->isVisible() && card->group().id == rig.store->groups().front().id) {
        return card;
      }
    }
    return nullptr;
  }
  [[nodiscard]] static lumora::GroupCardHero *heroOf(lumora::GroupCard *card) {
    return card ? card->findChild<lumora::GroupCardHero *>() : nullptr;
  }
  /// Everything below the window's header, where the screens change.
  [[nodiscard]] QRect body() {
    const QWidget *header = view().headerBar();
    const int top = header->mapTo(window(), QPoint(0, header->height())).y();
    return {0, top, window()->width(), window()->height() - top};
  }

  /// Whether some frame shows the two screens about evenly mixed.
  [[nodiscard]] bool passesHalfway(const std::vector<QImage> &frames) const {
    return std::any_of(frames.begin(), frames.end(), [&](const QImage &frame) {
      const double progress = filmtest::progressOf(frame, frames.front(), frames.back(), m_band);
      return progress > 0.3 && progress < 0.7;
    });
  }

  QRect m_band;
};

} // namespace

TEST_F(DetailTransition, openingAndClosingDissolveTheScreensInBothSchemes) {
  showResults();
  for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
    SCOPED_TRACE(scheme == ColorScheme::light ? "light" : "dark");
    lumora::Theme::setScheme(window(), scheme);
    roottest::spin(50);
    const std::vector<QImage> opening = filmOpening();
    EXPECT_LE(filmtest::largestStep(opening, m_band), 1.0 / 3.0);
    EXPECT_TRUE(passesHalfway(opening));
    const std::vector<QImage> closing = filmClosing();
    EXPECT_LE(filmtest::largestStep(closing, m_band), 1.0 / 3.0);
    EXPECT_TRUE(passesHalfway(closing));
  }
}

TEST_F(DetailTransition, underReducedMotionTheDetailFadesInAFastEaseWithoutAZoom) {
  platform::setReduceMotionOverride(true);
  showResults();
  const std::vector<QImage> opening = filmOpening(300);
  EXPECT_FALSE(view().heroNamespace()->overlay()->isFlying());
  EXPECT_TRUE(passesHalfway(opening));
  // 0.14 s: the frame 160 ms in is the settled one.
  const QImage &settled = opening[1 + 160 / kFrameMs];
  EXPECT_GT(filmtest::progressOf(settled, opening.front(), opening.back(), m_band), 0.99);
}

// Leaving a group, the best photo travels back to its card and is the card's photo when it
// lands: no frame shows the card's picture box empty, the first frame is the detail as it
// was, and no frame carries more than a third of the change in any column of the window,
// nor of the window's, in both schemes down to the smallest window.
TEST_F(DetailTransition, leavingAGroupCarriesTheBestPhotoOntoItsCard) {
  showResults();
  for (const auto &[size, scheme] : {std::pair(QSize(1150, 780), ColorScheme::dark),
                                     std::pair(QSize(900, 700), ColorScheme::light),
                                     std::pair(QSize(900, 700), ColorScheme::dark)}) {
    SCOPED_TRACE(QStringLiteral("%1 px, %2").arg(size.width()).arg(int(scheme)).toStdString());
    lumora::Theme::setScheme(window(), scheme);
    resize(size.width(), size.height());
    rig.store->openDetail(rig.store->groups().front());
    settle();
    lumora::HeroOverlay *overlay = view().heroNamespace()->overlay();
    int flying = 0;
    const std::vector<QImage> closing = filmClosing(800, [&] {
      lumora::GroupCardHero *hero = heroOf(firstCard());
      ASSERT_NE(hero, nullptr);
      const bool carried = overlay->isFlying() && !overlay->flights().front().photo.isNull() &&
                           overlay->flights().front().destinationWidget == hero;
      flying += carried ? 1 : 0;
      EXPECT_TRUE(carried ||
                  (hero->heroLayer() == lumora::HeroView::Layer::whole && hero->hasImage()));
    });
    EXPECT_GE(flying, 10);
    EXPECT_FALSE(overlay->isFlying());
    EXPECT_LT(filmtest::progressOf(closing[1], closing.front(), closing.back(), body()), 0.1);
    EXPECT_LE(filmtest::largestColumnStep(closing, body(), 64), 1.0 / 3.0);
    EXPECT_LE(filmtest::largestStep(closing, body()), 1.0 / 3.0);
  }
}

// Leaving a group moves from its first frame, however long the grid's other photos take
// (evicted from the cache while the detail showed): the card's photo comes with the flight.
TEST_F(DetailTransition, leavingAGroupDoesNotWaitForTheGridsPhotos) {
  showResults();
  rig.store->openDetail(rig.store->groups().front());
  settle();
  filmtest::ManualClock clock;
  const QImage before = filmtest::composed(window());
  rig.store->setDetailGroupID(std::nullopt);
  auto *results = window()->findChild<lumora::ResultsView *>();
  ASSERT_NE(results, nullptr);
  auto *loading = new EndlessPhoto(results);
  loading->show();
  ASSERT_TRUE(lumora::LoadingImages::anyIn(results));
  // The clock stands: only the crossing's own start can end the wait.
  ASSERT_TRUE(roottest::waitFor([&] {
    return view().detailTransition().state() == lumora::ScreenTransition::State::crossing;
  }));
  clock.advanceBy(kFrameMs);
  EXPECT_GT(filmtest::difference(before, filmtest::composed(window()), body()), 0.0);
  EXPECT_TRUE(view().heroNamespace()->overlay()->isFlying());
  delete loading;
  for (int t = 0;
       t < 2000 && (view().detailTransition().state() != lumora::ScreenTransition::State::idle ||
                    view().heroNamespace()->overlay()->isFlying());
       t += kFrameMs) {
    clock.advanceBy(kFrameMs);
  }
  settle();
}

// Opening a group, one photo moves: the results fade out with the card's photo in its box
// (never an empty box), the zoom carries a copy with the card's badges, so the window shows
// the card as it was, and the detail's badges come in on the photo; the leaving picture
// shows no ring, so one ring shows at a time.
TEST_F(DetailTransition, openingAGroupMovesOnePhoto) {
  showResults();
  lumora::GroupCardHero *hero = heroOf(firstCard());
  ASSERT_NE(hero, nullptr);
  const QRect card = lumora::HeroOverlay::frameIn(window(), hero);
  const std::vector<QImage> opening = filmOpening();
  EXPECT_LT(filmtest::progressOf(opening[1], opening.front(), opening.back(), body()), 0.1);
  EXPECT_LE(filmtest::largestColumnStep(opening, body(), 64), 1.0 / 3.0);
  rig.store->setDetailGroupID(std::nullopt);
  settle();

  // The results were built anew on the way back.
  hero = heroOf(firstCard());
  ASSERT_NE(hero, nullptr);
  filmtest::ManualClock clock;
  const QImage before = filmtest::composed(window());
  rig.store->openDetail(rig.store->groups().front());
  ASSERT_NE(window()->findChild<lumora::LeavingPicture *>(), nullptr);
  // The card, about to go with its screen, shows its photo without the badges, which leave
  // with the flying photo.
  EXPECT_EQ(hero->heroLayer(), lumora::HeroView::Layer::photo);
  const QImage bare = hero->grab().toImage();
  hero->setHeroLayer(lumora::HeroView::Layer::whole);
  EXPECT_GT(filmtest::difference(bare, hero->grab().toImage(), bare.rect()), 0.0);
  hero->setHeroLayer(lumora::HeroView::Layer::photo);
  const QImage left = filmtest::composed(window());
  double difference = 0;
  int count = 0;
  for (int y = card.top(); y <= card.bottom(); y += 2) {
    for (int x = card.left(); x <= card.right(); x += 2) {
      const QRgb a = before.pixel(x, y);
      const QRgb b = left.pixel(x, y);
      difference += std::abs(qGray(a) - qGray(b));
      ++count;
    }
  }
  EXPECT_LT(difference / count, 2.0) << "the card leaves as it was shown";
}
