#include "app/shell/components/AppMark.h"
#include "app/shell/components/FavoriteStarButton.h"
#include "app/shell/components/FocusCorners.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/components/GentleAppear.h"
#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/HeroOverlay.h"
#include "app/shell/components/HeroView.h"
#include "app/shell/components/HeroZoom.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/components/RollPlan.h"
#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/components/StatPill.h"
#include "app/shell/screens/RollingHeadline.h"
#include "app/shell/theme/Theme.h"
#include "tests/shell/support/PhotoPane.h"

#include "platform/gui/ReduceMotion.h"
#include "tests/shell/support/FilmedFrames.h"
#include <QVBoxLayout>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace lumora {
namespace {

// Runs the event loop until `done` holds or a minute passes (a bound for a hang, not a
// measure: a loaded machine may take many times the usual while).
template <typename F> bool waitFor(F done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return done();
}

struct ReduceMotionGuard {
  explicit ReduceMotionGuard(bool reduce) { platform::setReduceMotionOverride(reduce); }
  ~ReduceMotionGuard() { platform::setReduceMotionOverride(std::nullopt); }
};

TEST(FocusCornersTest, ArmsFollowTheWidthOnly) {
  EXPECT_DOUBLE_EQ(FocusCorners::arm(QRectF(0, 0, 100, 400)), 9);
  EXPECT_DOUBLE_EQ(FocusCorners::arm(QRectF(0, 0, 133.34, 10)), 12);
  EXPECT_DOUBLE_EQ(FocusCorners::arm(QRectF(0, 0, 900, 10)), 12);
  EXPECT_DOUBLE_EQ(FocusCorners::arm(QRectF(0, 0, 0, 50)), 0);
  const QPainterPath path = FocusCorners::path(QRectF(10, 20, 100, 50));
  ASSERT_EQ(path.elementCount(), 12);
  EXPECT_EQ(QPointF(path.elementAt(0)), QPointF(10, 29));
  EXPECT_EQ(QPointF(path.elementAt(5)), QPointF(110, 29));
  EXPECT_EQ(QPointF(path.elementAt(8)), QPointF(101, 70));
  EXPECT_EQ(QPointF(path.elementAt(11)), QPointF(10, 61));
}

TEST(FocusRingOverlayTest, ClicksReachTheItemUnderneath) {
  QWidget host;
  host.resize(300, 300);
  auto *item = new QPushButton(QStringLiteral("item"), &host);
  item->setGeometry(50, 50, 120, 90);
  auto *ring = new FocusRingOverlay(1, &host);
  ring->placeOver(item->geometry());
  host.show();
  EXPECT_EQ(ring->geometry(), QRect(48, 48, 124, 94));
  EXPECT_EQ(ring->itemRect(), QRectF(2, 2, 120, 90));
  QSignalSpy clicked(item, &QPushButton::clicked);
  QTest::mouseClick(host.childAt(60, 60), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_NE(host.childAt(60, 60), ring);
}

TEST(GentleAppearTest, FadesAndScalesInOnFirstShow) {
  QWidget screen;
  screen.resize(200, 100);
  GentleAppear *effect = GentleAppear::apply(&screen);
  EXPECT_DOUBLE_EQ(effect->opacity(), 0);
  EXPECT_DOUBLE_EQ(effect->scale(), 0.98);
  QPointer<GentleAppear> watched(effect);
  screen.show();
  // The first frame is laid out at 0 / 98 %: the move starts one loop turn later.
  EXPECT_FALSE(effect->appeared());
  EXPECT_TRUE(waitFor([&] { return watched.isNull(); })) << "the effect removes itself";
  EXPECT_EQ(screen.graphicsEffect(), nullptr);
}

TEST(GentleAppearTest, ReducedMotionFadesWithoutScaleAndAtOnce) {
  ReduceMotionGuard reduce(true);
  QWidget screen;
  GentleAppear *effect = GentleAppear::apply(&screen);
  screen.show();
  EXPECT_TRUE(effect->appeared());
  EXPECT_DOUBLE_EQ(effect->scale(), 1);
}

TEST(GentleAppearTest, WidgetDeletedBeforeTheDeferredStepIsHarmless) {
  auto *screen = new QWidget;
  GentleAppear::apply(screen);
  screen->show();
  delete screen;
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  SUCCEED();
}

TEST(HeroZoomTest, DisabledOrWithoutNamespaceLeavesTheViewAlone) {
  QWidget host;
  HeroNamespace space(&host);
  PhotoPane a(&host, Qt::red, {0, 0, 10, 10});
  heroZoom::source(&a, &space, QStringLiteral("g1"), false);
  heroZoom::source(&a, nullptr, QStringLiteral("g1"), true);
  EXPECT_TRUE(space.widgets(QStringLiteral("g1")).isEmpty());
  EXPECT_EQ(HeroNamespace::identifier(QString()), QStringLiteral("hero-"));
}

// One photo flies: held over the leaving view (which keeps its own photo, so its screen's
// picture never shows an empty box, but not its badge, which goes with the flight) until the new
// screen stands, then carried to the arriving view, which shows only its ground meanwhile and its
// own photo again when it lands. A destination still loading is reached by the leaving photo and
// takes it over; its own photo, once there, flies the rest of the way.
TEST(HeroZoomTest, OnePhotoFliesFromTheLeavingToTheArrivingView) {
  QWidget host;
  host.resize(600, 400);
  HeroNamespace space(&host);
  auto *card = new PhotoPane(&host, Qt::red, {10, 10, 100, 80});
  heroZoom::source(card, &space, QStringLiteral("g1"), true);
  host.show();
  space.beginTransition(QStringLiteral("g1"));
  EXPECT_EQ(card->layer(), HeroView::Layer::photo);
  EXPECT_EQ(card->grab().toImage().pixelColor(5, 5), QColor(Qt::red));
  ASSERT_TRUE(space.overlay()->isFlying());
  const auto pixel = [&](QPoint at) { return space.overlay()->grab().toImage().pixelColor(at); };
  space.overlay()->setProgress(0);
  EXPECT_EQ(pixel({60, 50}), QColor(Qt::red));
  EXPECT_EQ(pixel({15, 15}), QColor(Qt::white)) << "the badge lies over the held photo";
  delete card;

  auto *tile = new PhotoPane(&host, Qt::blue, {200, 100, 300, 240});
  tile->photo = QImage();
  heroZoom::destination(tile, &space, QStringLiteral("g1"), true);
  tile->show();
  EXPECT_EQ(space.finishTransition(), 1);
  EXPECT_EQ(tile->layer(), HeroView::Layer::ground);
  EXPECT_TRUE(space.overlay()->testAttribute(Qt::WA_TransparentForMouseEvents));
  const auto centreAt = [&](qreal progress) {
    space.overlay()->setProgress(progress);
    return pixel(
        HeroOverlay::rectAt(space.overlay()->flights().front(), progress).center().toPoint());
  };
  EXPECT_EQ(centreAt(0.5), QColor(Qt::red));
  tile->setPhoto(Qt::blue);
  EXPECT_EQ(centreAt(0.6), QColor(Qt::blue));
  space.overlay()->setProgress(1);
  EXPECT_EQ(pixel({205, 105}), QColor(Qt::white)) << "the arriving badge shows as it lands";
  tile->photo = QImage();
  space.overlay()->land();
  EXPECT_FALSE(space.overlay()->isFlying());
  EXPECT_EQ(tile->layer(), HeroView::Layer::whole);
  EXPECT_EQ(tile->received.pixelColor(0, 0), QColor(Qt::blue));
}

// The badges of each side move with the flying photo: never standing at their side's place
// while the photo slides beneath them, and half faded a quarter of the way from either end.
TEST(HeroZoomTest, TheBadgesOfEachSideRideOnTheFlyingPhoto) {
  QWidget host;
  host.resize(600, 400);
  HeroNamespace space(&host);
  auto *card = new PhotoPane(&host, Qt::red, {10, 10, 100, 80});
  heroZoom::source(card, &space, QStringLiteral("g1"), true);
  host.show();
  space.beginTransition(QStringLiteral("g1"));
  delete card;
  auto *tile = new PhotoPane(&host, Qt::red, {200, 100, 300, 240});
  heroZoom::destination(tile, &space, QStringLiteral("g1"), true);
  tile->show();
  ASSERT_EQ(space.finishTransition(), 1);
  const auto at = [&](qreal progress, QPoint offset, QPoint elsewhere) {
    space.overlay()->setProgress(progress);
    const QImage frame = space.overlay()->grab().toImage();
    const QPoint corner =
        HeroOverlay::rectAt(space.overlay()->flights().front(), progress).topLeft().toPoint();
    return std::pair(frame.pixelColor(corner + offset), frame.pixelColor(elsewhere));
  };
  // A quarter of the way: the card's badge at the photo's corner, half gone.
  const auto [leaving, cardPlace] = at(0.25, {2, 2}, {60, 50});
  EXPECT_NEAR(leaving.greenF(), 0.5, 0.05);
  EXPECT_EQ(cardPlace, QColor(Qt::red));
  // Three quarters: the tile's badge comes in at the photo's corner, not at the tile's own
  // corner, which the photo already covers.
  const auto [arriving, tilePlace] = at(0.75, {2, 2}, {205, 105});
  EXPECT_NEAR(arriving.greenF(), 0.5, 0.05);
  EXPECT_EQ(tilePlace, QColor(Qt::red));
  space.overlay()->land();
}

// With nowhere to land (the arriving screen does not show the pair), the photo stays and
// fades out with its screen; a new transition ends the flights of the last one at once.
TEST(HeroZoomTest, APhotoWithNowhereToGoFadesWithItsScreen) {
  QWidget host;
  host.resize(600, 400);
  HeroNamespace space(&host);
  auto *card = new PhotoPane(&host, Qt::red, {10, 10, 100, 80});
  heroZoom::source(card, &space, QStringLiteral("g1"), true);
  host.show();
  space.beginTransition(QStringLiteral("g1"));
  EXPECT_EQ(space.finishTransition(), 0);
  space.overlay()->setProgress(0.5);
  const QColor half = space.overlay()->grab().toImage().pixelColor(60, 50);
  EXPECT_NEAR(half.alphaF(), 0.5, 0.02);
  EXPECT_EQ(HeroOverlay::rectAt(space.overlay()->flights().front(), 0.5), QRectF(10, 10, 100, 80));
  space.beginTransition(QStringLiteral("other"));
  EXPECT_FALSE(space.overlay()->isFlying());
  EXPECT_EQ(card->layer(), HeroView::Layer::whole);
}

TEST(FavoriteStarButtonTest, PulsesOnlyWhenTurnedOnWithMotion) {
  FavoriteStarButton already(true);
  EXPECT_FALSE(already.isPulsing());
  EXPECT_DOUBLE_EQ(already.scale(), 1);

  FavoriteStarButton star(false);
  // The pulse moves 10 ms per turn of the event loop, so every step of it is seen.
  filmtest::ManualClock clock;
  star.setFavorite(true);
  EXPECT_TRUE(star.isPulsing());
  double largest = star.scale();
  for (int step = 0; step < 300 && (star.isPulsing() || star.scale() != 1.0); ++step) {
    QCoreApplication::processEvents();
    clock.advanceBy(10);
    largest = std::max(largest, star.scale());
  }
  EXPECT_GT(largest, 1.2);
  EXPECT_FALSE(star.isPulsing());
  EXPECT_EQ(star.scale(), 1.0);
  star.setFavorite(false);
  EXPECT_FALSE(star.isPulsing());

  ReduceMotionGuard reduce(true);
  star.setFavorite(true);
  EXPECT_FALSE(star.isPulsing());
}

TEST(FavoriteStarButtonTest, TheWholeSquareTakesClicks) {
  FavoriteStarButton star;
  star.show();
  QSignalSpy clicked(&star, &QAbstractButton::clicked);
  QTest::mouseClick(&star, Qt::LeftButton, {}, QPoint(1, 1));
  QTest::mouseClick(&star, Qt::LeftButton, {}, QPoint(27, 27));
  EXPECT_EQ(clicked.count(), 2);
  EXPECT_FALSE(star.isFavorite()) << "the caller owns the state";
}

TEST(AppMarkTest, ShadowHasItsMinimums) {
  EXPECT_DOUBLE_EQ(AppMark::shadowRadius(20), 1);
  EXPECT_DOUBLE_EQ(AppMark::shadowOffset(20), 1);
  EXPECT_DOUBLE_EQ(AppMark::shadowRadius(100), 3);
  EXPECT_DOUBLE_EQ(AppMark::shadowOffset(100), 1.5);
  EXPECT_FALSE(AppMark::iconPixmap(64).toImage().pixelColor(32, 32).alpha() == 0);
}

TEST(ShrinkingLabelTest, ShrinksBeforeItElides) {
  ShrinkingLabel label(QStringLiteral("IMG_20240101_123456_burst.jpg"));
  QFont font = label.font();
  font.setPixelSize(20);
  label.setFont(font);
  label.setMinimumScaleFactor(0.5);
  label.show();
  const int full = QFontMetrics(font).horizontalAdvance(label.text());
  label.resize(full * 3 / 4, 30);
  EXPECT_LT(label.fittedFont().pixelSize(), 20);
  EXPECT_EQ(label.shownText(), label.text());
  label.resize(full / 4, 30);
  EXPECT_EQ(label.fittedFont().pixelSize(), 10);
  EXPECT_NE(label.shownText(), label.text());
  EXPECT_EQ(label.toolTip(), label.text());
  label.resize(full + 10, 30);
  EXPECT_EQ(label.fittedFont().pixelSize(), 20);
  EXPECT_TRUE(label.toolTip().isEmpty());
}

} // namespace
} // namespace lumora

namespace lumora {
namespace {

TEST(ThemeTest, ComponentsRecolourWhenTheirTreeChangesScheme) {
  QWidget sheet;
  auto *layout = new QVBoxLayout(&sheet);
  auto *pill = new StatPill(QStringLiteral("timer"), QStringLiteral("12"), QStringLiteral("ms/张"));
  layout->addWidget(pill);
  sheet.show();
  Theme::setScheme(&sheet, ColorScheme::light);
  QCoreApplication::processEvents();
  const QImage image = pill->valueLabel()->grab().toImage();
  int darkPixels = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      darkPixels += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
  }
  EXPECT_GT(darkPixels, 5) << "the value is drawn in the light scheme's dark text";
}

TEST(StatPillTest, ValueRollsOverFastAndTheWidthFollowsTheText) {
  StatPill pill(QStringLiteral("timer"), QStringLiteral("12"), QStringLiteral("ms/张"));
  pill.show();
  const int narrow = pill.sizeHint().width();
  pill.setValue(QStringLiteral("13"));
  EXPECT_TRUE(pill.valueLabel()->isRolling());
  EXPECT_EQ(pill.toolTip(), QStringLiteral("ms/张：13"));
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(waitFor([&] { return !pill.valueLabel()->isRolling(); }));
  EXPECT_LT(clock.elapsed(), 1000);
  pill.setValue(QStringLiteral("1,300"));
  QCoreApplication::processEvents();
  EXPECT_GT(pill.sizeHint().width(), narrow);
  EXPECT_EQ(pill.width(), pill.sizeHint().width());
}

// Every frame of a roll shows whole texts: the label keeps room for the old and the new text
// until the roll ends, a headline keeps its start in place, a count its last digit.
TEST(RollingDigitsLabelTest, ARollNeverCutsTheOldOrTheNewText) {
  StatPill pill(QStringLiteral("photo"), QStringLiteral("120"), QStringLiteral("张照片"));
  pill.show();
  RollingDigitsLabel *value = pill.valueLabel();
  const int wide = value->textWidth(QStringLiteral("120"));
  pill.setValue(QStringLiteral("0"));
  QCoreApplication::processEvents();
  EXPECT_GE(value->width(), wide) << "the leaving 120 keeps its room while it rolls out";
  EXPECT_TRUE(waitFor([&] { return !value->isRolling(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(value->width(), value->textWidth(QStringLiteral("0")));

  RollingHeadline headline;
  headline.setFont(Theme::font(12, Theme::Weight::medium));
  headline.setColor(Qt::black);
  headline.resize(600, 20);
  headline.show();
  const QString longer = QStringLiteral("正在分析 967 / 980 张 · 已发现 12 组");
  const QString shorter = QStringLiteral("正在分析 980 张 · 已发现 12 组");
  headline.setText(longer, false);
  headline.setText(shorter, true);
  QCoreApplication::processEvents();
  auto *rolling = headline.findChild<RollingDigitsLabel *>();
  ASSERT_NE(rolling, nullptr);
  EXPECT_TRUE(rolling->isVisible() && rolling->isRolling());
  EXPECT_EQ(rolling->x(), 0);
  EXPECT_GE(rolling->width(), rolling->textWidth(longer));
  // Halfway the shared start stays where it was: the first column of ink does not move.
  rolling->setRollProgress(0.5);
  const auto firstInk = [&] {
    const QImage image = rolling->grab().toImage();
    const int background = qGray(image.pixel(image.width() - 1, 0));
    for (int x = 0; x < image.width(); ++x) {
      for (int y = 0; y < image.height(); ++y) {
        if (std::abs(qGray(image.pixel(x, y)) - background) > 60) {
          return x;
        }
      }
    }
    return -1;
  };
  const int midway = firstInk();
  rolling->setRollProgress(1);
  QCoreApplication::processEvents();
  EXPECT_GE(midway, 0);
  EXPECT_EQ(firstInk(), midway);
  EXPECT_EQ(rolling->width(), rolling->textWidth(shorter));
}

// A leaving or held picture may stand still for a while: a roll caught in it shows the text
// whole, as it will stand, never the half-way frame with its characters cut.
TEST(RollingDigitsLabelTest, APictureTakenMidRollShowsTheTextAsItWillStand) {
  QWidget screen;
  screen.resize(320, 40);
  auto *title = new RollingDigitsLabel(&screen);
  title->setFont(Theme::font(13, Theme::Weight::semibold));
  title->setAnchor(RollingDigitsLabel::Anchor::leading);
  title->setColor(Qt::black);
  title->setGeometry(10, 10, 300, 20);
  screen.show();
  title->setText(QStringLiteral("35 组 · 可释放 1.29 GB"));
  title->setRollProgress(1);
  title->setText(QStringLiteral("46 组 · 可释放 1.56 GB"));
  title->setRollProgress(0.5);
  const QImage midway = LeavingPicture::pictureOf(&screen).toImage();
  QPixmap shown(screen.size());
  shown.fill(Qt::transparent);
  screen.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_NE(shown.toImage(), midway) << "the window itself still shows the roll";
  title->setRollProgress(1);
  EXPECT_EQ(LeavingPicture::pictureOf(&screen).toImage(), midway);
}

} // namespace
} // namespace lumora

namespace lumora {
namespace {

/// The characters of `text` at `indices`, in order.
QString charactersAt(const QString &text, QList<qsizetype> indices) {
  std::sort(indices.begin(), indices.end());
  QString result;
  for (const qsizetype i : indices) {
    result += text.at(i);
  }
  return result;
}

// Only what changes rolls: the words, separators and unchanged digits of a summary title
// glide whole, a number that changes rolls only its changed digits, and a count that moves
// to another place in the headline glides there.
TEST(RollPlanTest, OnlyTheCharactersThatChangeRoll) {
  const QString before = QStringLiteral("157 组 · 可释放 1.29 GB");
  const QString after = QStringLiteral("152 组 · 可释放 1.10 GB");
  const rollplan::Plan title = rollplan::plan(before, after);
  EXPECT_EQ(charactersAt(before, title.out), QStringLiteral("729"));
  EXPECT_EQ(charactersAt(after, title.in), QStringLiteral("210"));
  EXPECT_EQ(title.glides.size() + title.out.size(), before.size());
  for (const auto &[from, to] : title.glides) {
    EXPECT_EQ(before.at(from), after.at(to));
  }

  const QString longer = QStringLiteral("正在分析 967 / 980 张 · 已发现 12 组");
  const QString shorter = QStringLiteral("正在分析 980 张 · 已发现 12 组");
  const rollplan::Plan headline = rollplan::plan(longer, shorter);
  EXPECT_TRUE(headline.in.isEmpty());
  EXPECT_EQ(charactersAt(longer, headline.out), QStringLiteral("967 / "));

  const rollplan::Plan unit = rollplan::plan(QStringLiteral("980 MB"), QStringLiteral("1.2 GB"));
  EXPECT_EQ(charactersAt(QStringLiteral("1.2 GB"), unit.in), QStringLiteral("1.2G"));
  EXPECT_EQ(rollplan::plan(before, before).out.size(), 0);
}

} // namespace
} // namespace lumora
