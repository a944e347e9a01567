#include "app/selftest/MotionFrames.h"
#include "app/selftest/MotionCapture.h"
#include "app/selftest/UIMotionSelfTestRun.h"

#include "tests/support/TempDir.h"

#include <QPainter>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace lumora;
using motionframes::Thumbnail;

Thumbnail flat(std::uint8_t value) { return Thumbnail(4096, value); }

// Half the values at `low`, half at `high`.
Thumbnail split(std::uint8_t low, std::uint8_t high) {
  Thumbnail values(4096, low);
  std::fill(values.begin() + 2048, values.end(), high);
  return values;
}

TEST(MotionFramesTest, DifferenceVarianceAndThumbnail) {
  EXPECT_DOUBLE_EQ(motionframes::diff(flat(0), flat(255)), 100.0);
  EXPECT_DOUBLE_EQ(motionframes::diff(flat(9), flat(9)), 0.0);
  EXPECT_DOUBLE_EQ(motionframes::diff(flat(0), Thumbnail(2048, 255)), 50.0);
  EXPECT_DOUBLE_EQ(motionframes::variance(split(98, 102)), 4.0);
  QImage black(300, 100, QImage::Format_RGB32);
  black.fill(Qt::black);
  const Thumbnail grey = motionframes::gray64(black);
  ASSERT_EQ(grey.size(), 4096u);
  EXPECT_EQ(grey.front(), 0);
  EXPECT_EQ(MotionCapture::sequenceRegion({900, 700}), QRect(330, 250, 240, 200));
  EXPECT_EQ(MotionCapture::sequenceRegion({200, 100}), QRect(0, 0, 200, 100));
}

TEST(MotionFramesTest, FiguresAtTheirThresholds) {
  // Each step changes 400 values by 55 or 255: well above 0.5 %.
  const auto shifted = [](int count) {
    Thumbnail values = split(0, 200);
    std::fill(values.begin(), values.begin() + count, 255);
    return values;
  };
  const MotionSegment still =
      motionframes::figures(QStringLiteral("s"), {split(0, 200), split(0, 200)});
  EXPECT_EQ(still.animated, 0);
  EXPECT_EQ(still.settleIndex, 0);
  EXPECT_EQ(still.maxJump, 0.0);
  const MotionSegment moving = motionframes::figures(
      QStringLiteral("m"), {shifted(0), shifted(400), shifted(800), shifted(400), shifted(400)});
  EXPECT_EQ(moving.animated, 3);
  EXPECT_EQ(moving.maxIndex, 0); // equal jumps: the earlier pair
  EXPECT_EQ(moving.settleIndex, 2);
  const MotionSegment white =
      motionframes::figures(QStringLiteral("w"), {split(98, 102), flat(255)});
  EXPECT_EQ(white.blank, 1);
}

TEST(MotionFramesTest, JudgementCollectsCutJumpAndFlashInOrder) {
  MotionSegment bad;
  bad.name = QStringLiteral("detail");
  bad.animated = 1;
  bad.settleIndex = 2;
  bad.maxIndex = 5;
  bad.blank = 1;
  EXPECT_EQ(UIMotionSelfTestRun::judge({bad}),
            QStringList({QStringLiteral("detail: animated pairs=1 < 2（疑似瞬切）"),
                         QStringLiteral("detail: maxJump 出现在 settle 之后（闪动/抖动）"),
                         QStringLiteral("detail: blankFrames=1（闪白）")}));
  bad.animated = 2;
  bad.settleIndex = 5;
  bad.blank = 0;
  EXPECT_TRUE(UIMotionSelfTestRun::judge({bad}).isEmpty());
}

// A patterned widget that turns white when told.
class Patterned : public QWidget {
public:
  bool white = false;

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!white) {
      for (int x = 0; x < width(); x += 40) {
        painter.fillRect(x, 0, 20, height(), Qt::black);
      }
    }
  }
};

TEST(MotionFramesTest, AStillWidgetIsAnInstantCutAndAWhiteOneAFlash) {
  testsupport::TempDir dir;
  MotionCapture camera(QString::fromStdString(dir.path().string()));
  Patterned view;
  view.resize(300, 240);
  view.show();
  const MotionSegment still = camera.captureSequence(QStringLiteral("still"), &view, [] {});
  EXPECT_TRUE(UIMotionSelfTestRun::judge({still}).contains(
      QStringLiteral("still: animated pairs=0 < 2（疑似瞬切）")));
  const MotionSegment flash = camera.captureSequence(QStringLiteral("flash"), &view, [&view] {
    view.white = true;
    view.update();
  });
  EXPECT_TRUE(UIMotionSelfTestRun::judge({flash}).contains(
      QStringLiteral("flash: blankFrames=13（闪白）")));
  EXPECT_TRUE(dir.file("flash-12.png").has_filename() &&
              std::filesystem::exists(dir.file("flash-12.png")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("motion.json")));
}

} // namespace
