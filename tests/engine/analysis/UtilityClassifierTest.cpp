#include "UtilityModelChecks.h"

#include "engine/analysis/QualityMeasures.h"
#include "engine/analysis/UtilityClassifier.h"
#include "engine/analysis/UtilityModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <set>

using namespace lumora;

namespace {

/// The measures the trees read; the six the blank-frame, boxed-window, lined-page, dark-screen
/// and sheet rules alone read come after them.
constexpr std::size_t kMeasureCount = 28;
constexpr std::size_t kRuleOnlyCount = 6;

using Change = void (*)(QualityMeasures &);

/// Each of `changes` made to `base` alone takes it out of `rule`.
void expectEachChangeLeaves(bool (*rule)(const QualityMeasures &), const QualityMeasures &base,
                            std::initializer_list<Change> changes) {
  for (const Change change : changes) {
    QualityMeasures other = base;
    change(other);
    EXPECT_FALSE(rule(other));
  }
}

} // namespace

TEST(UtilityClassifier, evaluatorReproducesTheTrainersMargins) {
  // The trainer wrote held-out rows with the margins its own trees gave them: the C++ walk of
  // the table must give the same sums, or the flag in the product is not the flag measured.
  for (const auto &check : utilitymodel::kChecks) {
    const double margin = utilityclassifier::margin(check.features);
    EXPECT_NEAR(margin, check.margin, 1e-9);
  }
}

TEST(UtilityClassifier, featuresFollowTheTablesNamesAndRatios) {
  const auto named = QualityMeasures{}.named();
  ASSERT_EQ(named.size(), kMeasureCount + kRuleOnlyCount);
  ASSERT_EQ(utilitymodel::kFeatureNames.size(), kMeasureCount + 2);
  for (std::size_t i = 0; i < kMeasureCount; ++i) {
    EXPECT_STREQ(named[i].first, utilitymodel::kFeatureNames[i]) << i;
  }
  QualityMeasures m;
  m.contrast = 8;    // below the floor of 16 grey levels
  m.sharpness = 512; // 512 / 16²
  m.noise = 2;       // 5 · 2² / 512
  m.straightEdges = 0.25f;
  m.blankFlat = 0.9f;   // read by the rules only
  m.boxedPanels = 0.5f; // likewise
  const auto f = utilityclassifier::features(m);
  EXPECT_FLOAT_EQ(f[kMeasureCount - 1], 0.25f);
  EXPECT_FLOAT_EQ(f[kMeasureCount], 2.0f);
  EXPECT_FLOAT_EQ(f[kMeasureCount + 1], 20.0f / 512.0f);
  // A flat frame divides by the floors, not by zero.
  const auto flat = utilityclassifier::features(QualityMeasures{});
  EXPECT_EQ(flat[kMeasureCount], 0.0f);
  EXPECT_EQ(flat[kMeasureCount + 1], 0.0f);
}

TEST(UtilityClassifier, tableIsAForestOfFiniteTrees) {
  const auto &nodes = utilitymodel::kNodes;
  std::set<int> reached;
  for (const int root : utilitymodel::kRoots) {
    ASSERT_GE(root, 0);
    ASSERT_LT(static_cast<std::size_t>(root), nodes.size());
    reached.insert(root);
  }
  for (std::size_t n = 0; n < nodes.size(); ++n) {
    const auto &node = nodes[n];
    ASSERT_TRUE(std::isfinite(node.value)) << n;
    if (node.feature < 0)
      continue;
    // Children come after their parent, so every walk ends at a leaf.
    ASSERT_LT(static_cast<std::size_t>(node.feature), utilitymodel::kFeatureNames.size()) << n;
    ASSERT_GT(node.left, static_cast<int>(n));
    ASSERT_GT(node.right, static_cast<int>(n));
    ASSERT_LT(static_cast<std::size_t>(node.left), nodes.size());
    ASSERT_LT(static_cast<std::size_t>(node.right), nodes.size());
    reached.insert(node.left);
    reached.insert(node.right);
  }
  EXPECT_EQ(reached.size(), nodes.size()) << "every node belongs to a tree";
}

TEST(UtilityClassifier, marginIsFiniteAndDeterministicForExtremeMeasures) {
  QualityMeasures extreme;
  for (float *v : {&extreme.meanGrey, &extreme.contrast, &extreme.sharpness, &extreme.noise,
                   &extreme.colourfulness, &extreme.printPatchSpan}) {
    *v = std::numeric_limits<float>::max();
  }
  const auto f = utilityclassifier::features(extreme);
  const double margin = utilityclassifier::margin(f);
  EXPECT_TRUE(std::isfinite(margin));
  EXPECT_EQ(margin, utilityclassifier::margin(utilityclassifier::features(extreme)));
  EXPECT_TRUE(std::isfinite(utilityclassifier::margin(utilityclassifier::features({}))));
}

TEST(UtilityClassifier, nearlyBlackSoftColourlessFramesAreNightPhotos) {
  QualityMeasures night;
  night.meanGrey = 20;
  night.sharpness = 250;
  night.colourfulness = 5;
  EXPECT_TRUE(utilityclassifier::isNightPhoto(night));
  EXPECT_FALSE(utilityclassifier::isUtility(night));
  // Brighter, crisper or coloured, it is left to the trees.
  expectEachChangeLeaves(utilityclassifier::isNightPhoto, night,
                         {+[](QualityMeasures &m) { m.meanGrey = 30; },
                          +[](QualityMeasures &m) { m.sharpness = 400; },
                          +[](QualityMeasures &m) { m.colourfulness = 10; }});
}

TEST(UtilityClassifier, greyFramesOfExactPanelsOnEverySideAreWindows) {
  QualityMeasures panels;
  panels.meanGrey = 40;
  panels.contrast = 5;
  panels.exactFlat = 0.95f;
  panels.colourfulness = 1;
  panels.flatBorderSides = 4;
  EXPECT_TRUE(utilityclassifier::isPanelFrame(panels));
  EXPECT_TRUE(utilityclassifier::isUtility(panels));
  // Less flat, coloured like a flat drawing, or open on one side, it is left to the trees.
  expectEachChangeLeaves(utilityclassifier::isPanelFrame, panels,
                         {+[](QualityMeasures &m) { m.exactFlat = 0.9f; },
                          +[](QualityMeasures &m) { m.colourfulness = 10; },
                          +[](QualityMeasures &m) { m.flatBorderSides = 3; }});
  // Nearly black and soft, it is a night photo all the same.
  panels.meanGrey = 10;
  panels.sharpness = 20;
  EXPECT_FALSE(utilityclassifier::isUtility(panels));
}

TEST(UtilityClassifier, greyFramesOfExactBlackOrWhiteWithFewMarksAreBlankWindows) {
  QualityMeasures blank;
  blank.meanGrey = 250;
  blank.blankFlat = 0.9f;
  blank.blankFringe = 0.03f;
  blank.colourfulness = 1;
  blank.markLines = 0.02f;
  EXPECT_TRUE(utilityclassifier::isBlankFrame(blank));
  EXPECT_TRUE(utilityclassifier::isUtility(blank));
  // Less of it blank, fading into the scene, coloured, or without a single line of marks, it
  // is left to the trees.
  expectEachChangeLeaves(utilityclassifier::isBlankFrame, blank,
                         {+[](QualityMeasures &m) { m.blankFlat = 0.7f; },
                          +[](QualityMeasures &m) { m.blankFringe = 0.1f; },
                          +[](QualityMeasures &m) { m.colourfulness = 10; },
                          +[](QualityMeasures &m) { m.markLines = 0; }});
}

TEST(UtilityClassifier, blankAndPanelFramesWeighTheirLayoutEvenWhereTheNightRuleHoldsThem) {
  // A dialog on an empty dark desktop is nearly black and soft like a night sky, yet its
  // layout is all that tells it from another dialog; a night photo weighs none.
  QualityMeasures blank;
  blank.meanGrey = 10;
  blank.sharpness = 20;
  blank.blankFlat = 0.9f;
  blank.blankFringe = 0.03f;
  blank.markLines = 0.02f;
  ASSERT_TRUE(utilityclassifier::isNightPhoto(blank));
  ASSERT_TRUE(utilityclassifier::isBlankFrame(blank));
  EXPECT_EQ(utilityclassifier::documentWeight(blank), 1.0f);
  blank.blankFlat = 0.5f;
  EXPECT_EQ(utilityclassifier::documentWeight(blank), 0.0f);
}

TEST(UtilityClassifier, nearlyFlatGreyFramesHoldingABoxOfPanelsAreWindowsWeighedWholly) {
  // A message dialog on an empty desktop: the trees see a plain ground with something in the
  // middle and may take it for a render on a backdrop.
  QualityMeasures dialog;
  dialog.meanGrey = 70;
  dialog.sharpness = 900;
  dialog.exactFlat = 0.96f;
  dialog.colourfulness = 11; // its icon tints it a little
  dialog.boxedPanels = 0.45f;
  EXPECT_TRUE(utilityclassifier::isBoxedWindow(dialog));
  EXPECT_TRUE(utilityclassifier::isUtility(dialog));
  EXPECT_EQ(utilityclassifier::documentWeight(dialog), 1.0f);
  // A box of grainy content (a photo in a mount), a large box that leaves less of the frame
  // flat, or a colourful frame is left to the trees.
  expectEachChangeLeaves(utilityclassifier::isBoxedWindow, dialog,
                         {+[](QualityMeasures &m) { m.boxedPanels = 0.07f; },
                          +[](QualityMeasures &m) { m.exactFlat = 0.85f; },
                          +[](QualityMeasures &m) { m.colourfulness = 20; }});
}

TEST(UtilityClassifier, aBoxOfPanelsOnAFlatDesktopWeighsItsLayoutWhateverItsColourOrMargin) {
  QualityMeasures dialog;
  dialog.meanGrey = 70;
  dialog.sharpness = 900;
  dialog.exactFlat = 0.96f;
  dialog.colourfulness = 25; // coloured icons and buttons: the flag is left to the trees
  dialog.boxedPanels = 0.45f;
  const auto weighs = [](const QualityMeasures &m, float weight) {
    EXPECT_FLOAT_EQ(utilityclassifier::windowWeight(m), weight);
    EXPECT_FLOAT_EQ(utilityclassifier::documentWeight(m),
                    std::max(weight, utilityclassifier::marginWeight(utilityclassifier::margin(
                                         utilityclassifier::features(m)))));
  };
  weighs(dialog, 1);
  // A larger window leaves less of the frame flat and counts less, evenly, so a copy that
  // moves the flat share a little moves the weight a little.
  dialog.exactFlat = 0.75f;
  weighs(dialog, 0.5f);
  dialog.exactFlat = 0.55f; // a grainy photograph in a plain mount
  weighs(dialog, 0);
  // Without a box of panels the margin alone weighs, as for any frame.
  dialog.exactFlat = 0.96f;
  dialog.boxedPanels = 0.07f;
  weighs(dialog, 0);
  // A window on a dark desktop keeps its weight where the night rule holds the frame.
  dialog.boxedPanels = 0.45f;
  dialog.meanGrey = 10;
  dialog.sharpness = 20;
  dialog.colourfulness = 2;
  ASSERT_TRUE(utilityclassifier::isNightPhoto(dialog));
  EXPECT_EQ(utilityclassifier::documentWeight(dialog), 1.0f);
}

TEST(UtilityClassifier, evenLinesOfPrintArePagesWhateverTheirMarginAndKeepItsWeight) {
  // A receipt lying in a colourful scene: the trees see mostly the scene.
  QualityMeasures page;
  page.meanGrey = 110;
  page.colourfulness = 40;
  page.sharpness = 300;
  page.contrast = 50;
  page.printPatchSpan = 11;
  page.lineRhythm = 0.8f;
  page.printedText = 0.04f;
  EXPECT_TRUE(utilityclassifier::isLinedPage(page));
  EXPECT_TRUE(utilityclassifier::isUtility(page));
  EXPECT_EQ(utilityclassifier::documentWeight(page),
            utilityclassifier::marginWeight(
                utilityclassifier::margin(utilityclassifier::features(page))));
  // Uneven lines, print too narrow to be a page's (ripples) or without letters (blinds) are
  // left to the trees.
  expectEachChangeLeaves(utilityclassifier::isLinedPage, page,
                         {+[](QualityMeasures &m) { m.lineRhythm = 0.59f; },
                          +[](QualityMeasures &m) { m.printPatchSpan = 5; },
                          +[](QualityMeasures &m) { m.printedText = 0.009f; }});
}

TEST(UtilityClassifier, darkScreensOfEvenTextAreFlaggedWhateverTheirMarginAndKeepItsWeight) {
  // A phone-sized terminal, which the trees take for a night photo.
  QualityMeasures screen;
  screen.meanGrey = 20;
  screen.colourfulness = 25;
  screen.sharpness = 2000;
  screen.contrast = 40;
  screen.darkLineRhythm = 0.55f;
  EXPECT_TRUE(utilityclassifier::isDarkScreenText(screen));
  EXPECT_TRUE(utilityclassifier::isUtility(screen));
  EXPECT_EQ(utilityclassifier::documentWeight(screen),
            utilityclassifier::marginWeight(
                utilityclassifier::margin(utilityclassifier::features(screen))));
  // Uneven lines, a brighter frame (an even texture) or soft detail (petals or lights in rows
  // in a dim photograph) are left to the trees.
  expectEachChangeLeaves(utilityclassifier::isDarkScreenText, screen,
                         {+[](QualityMeasures &m) { m.darkLineRhythm = 0.49f; },
                          +[](QualityMeasures &m) { m.meanGrey = 64; },
                          +[](QualityMeasures &m) { m.sharpness = 299; }});
}

TEST(UtilityClassifier, sheetsInScenesWithLettersArePagesWhateverTheirMarginAndKeepItsWeight) {
  // A page on grass whose lines lie too close for their rhythm to show.
  QualityMeasures page;
  page.meanGrey = 120;
  page.colourfulness = 40;
  page.sharpness = 300;
  page.contrast = 50;
  page.pageShape = 0.8f;
  page.printedText = 0.02f;
  EXPECT_TRUE(utilityclassifier::isSheetInScene(page));
  EXPECT_TRUE(utilityclassifier::isUtility(page));
  EXPECT_EQ(utilityclassifier::documentWeight(page),
            utilityclassifier::marginWeight(
                utilityclassifier::margin(utilityclassifier::features(page))));
  // A rounder patch (a pale stone) or one without letters (a tile) is left to the trees.
  expectEachChangeLeaves(utilityclassifier::isSheetInScene, page,
                         {+[](QualityMeasures &m) { m.pageShape = 0.69f; },
                          +[](QualityMeasures &m) { m.printedText = 0.009f; }});
}
