// The preview's pinch, drag, double-click and clamp.
#include "app/detail/PreviewZoom.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace lumora;

namespace {

const QSizeF kStage(1000, 800);

} // namespace

TEST(PreviewZoom, pinchesStayWithinOneToFourAndSnapBackAtTheThreshold) {
  PreviewZoom zoom;
  zoom.pinchChanged(0.5, kStage);
  EXPECT_EQ(zoom.zoom(), 1.0);
  EXPECT_EQ(zoom.offset(), QPointF());
  zoom.pinchEnded();
  EXPECT_EQ(zoom.baseZoom(), 1.0);

  zoom.pinchChanged(5, kStage);
  EXPECT_EQ(zoom.zoom(), 4.0);
  zoom.pinchChanged(std::numeric_limits<double>::quiet_NaN(), kStage);
  zoom.pinchChanged(std::numeric_limits<double>::infinity(), kStage);
  zoom.pinchChanged(-2, kStage);
  EXPECT_EQ(zoom.zoom(), 4.0);
  zoom.pinchEnded();

  // From 2×, a scale of 0.51 stays above the threshold, and may pan by 1 % of the stage.
  zoom.toggle();
  zoom.toggle();
  ASSERT_EQ(zoom.zoom(), 2.0);
  zoom.pinchChanged(0.51, kStage);
  zoom.pinchEnded();
  EXPECT_DOUBLE_EQ(zoom.zoom(), 1.02);
  zoom.dragChanged({500, -500}, kStage);
  EXPECT_NEAR(zoom.offset().x(), 10, 1e-9);
  EXPECT_NEAR(zoom.offset().y(), -8, 1e-9);

  // Exactly 1.01 at the end of a pinch snaps back.
  zoom.reset();
  zoom.pinchChanged(1.01, kStage);
  zoom.pinchEnded();
  EXPECT_EQ(zoom.zoom(), 1.0);
  EXPECT_EQ(zoom.baseZoom(), 1.0);
}

TEST(PreviewZoom, zoomingOutWhilePannedPullsTheOffsetIn) {
  PreviewZoom zoom;
  zoom.pinchChanged(3, kStage);
  zoom.dragChanged({2000, 2000}, kStage);
  EXPECT_EQ(zoom.offset(), QPointF(1000, 800));
  zoom.pinchChanged(1.5, kStage);
  EXPECT_EQ(zoom.offset(), QPointF(250, 200));
}

TEST(PreviewZoom, dragsPanOnlyWhileZoomedAndAccumulate) {
  PreviewZoom zoom;
  zoom.dragChanged({300, 300}, kStage);
  zoom.dragEnded();
  EXPECT_EQ(zoom.offset(), QPointF());
  EXPECT_EQ(zoom.baseOffset(), QPointF());

  zoom.toggle();
  zoom.dragChanged({700, -100}, kStage);
  zoom.dragEnded();
  EXPECT_EQ(zoom.offset(), QPointF(500, -100));
  zoom.dragChanged({-200, 0}, kStage);
  zoom.dragEnded();
  EXPECT_EQ(zoom.offset(), QPointF(300, -100));
  EXPECT_EQ(zoom.baseOffset(), QPointF(300, -100));
}

TEST(PreviewZoom, aDragThatOutlivesAPinchFollowsItsWholeTranslation) {
  PreviewZoom zoom;
  zoom.dragChanged({50, 0}, kStage);
  zoom.pinchChanged(2, kStage);
  zoom.dragChanged({120, 30}, kStage);
  EXPECT_EQ(zoom.offset(), QPointF(120, 30));
}

TEST(PreviewZoom, doubleClickGoesToACentredTwoAndBackFromAnyZoom) {
  for (const double start : {1.02, 1.5, 4.0}) {
    PreviewZoom zoom;
    zoom.pinchChanged(start, kStage);
    zoom.pinchEnded();
    zoom.dragChanged({40, 40}, kStage);
    zoom.toggle();
    EXPECT_EQ(zoom.zoom(), 1.0) << start;
    EXPECT_EQ(zoom.offset(), QPointF()) << start;
    EXPECT_EQ(zoom.baseOffset(), QPointF()) << start;
  }
  PreviewZoom zoom;
  zoom.toggle();
  EXPECT_EQ(zoom.zoom(), 2.0);
  EXPECT_EQ(zoom.baseZoom(), 2.0);
  EXPECT_EQ(zoom.clampOffset({std::nan(""), 1e12}, kStage), QPointF(0, 400));
}
