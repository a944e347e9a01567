#include "SyntheticImages.h"

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PageLayout.h"
#include "engine/analysis/TextLayout.h"
#include "engine/analysis/VisionAnalyzer.h"
#include "engine/imaging/ImageLoader.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QUrl>
#include <cmath>
#include <string>
#include <type_traits>

using namespace lumora;
using namespace analysistest;

namespace {

/// A form of one template: a title, ten labelled boxes (rules on every side) and, when `fill`
/// is not 0, each box filled with a word whose length `fill` chooses; drawn at (`left`, `top`)
/// on a flat desktop of `width` × `height`.
TestImage form(unsigned fill, int left = 40, int top = 30, int width = 512, int height = 400) {
  TestImage image(width, height, 3, 90);
  image.fillRect(left, top, 300, 340, 245, 245, 245);
  image.fillRect(left + 12, top + 10, 150, 6, 30, 30, 30); // the title
  unsigned state = fill * 2654435761u + 7u;
  for (int row = 0; row < 10; ++row) {
    const int y = top + 32 + row * 30;
    image.fillRect(left + 12, y, 40 + (row * 7) % 30, 4, 40, 40, 40); // the label
    // The box: four one-pixel rules.
    image.fillRect(left + 12, y + 8, 276, 1, 60, 60, 60);
    image.fillRect(left + 12, y + 24, 276, 1, 60, 60, 60);
    image.fillRect(left + 12, y + 8, 1, 17, 60, 60, 60);
    image.fillRect(left + 287, y + 8, 1, 17, 60, 60, 60);
    if (fill == 0)
      continue;
    state = state * 1664525u + 1013904223u;
    const int words = 1 + static_cast<int>((state >> 12) % 3);
    int x = left + 18 + static_cast<int>((state >> 20) % 40);
    for (int w = 0; w < words && x < left + 270; ++w) {
      state = state * 1664525u + 1013904223u;
      const int length = 12 + static_cast<int>((state >> 16) % 60);
      for (int letter = x; letter < std::min(x + length, left + 282); letter += 4)
        image.fillRect(letter, y + 13, 2, 7, 20, 30, 120);
      x += length + 8;
    }
  }
  return image;
}

/// A small message box on a wide dark desktop, its one line of text `message` (a letter per
/// character, its height and place chosen by the character, spaces left blank), centred.
testsupport::Rgb desktopWithMessage(const std::string &message, int x, int y) {
  const int left = 480, top = 324, width = 406, height = 140;
  if (x < left || x >= left + width || y < top || y >= top + height)
    return {60, 60, 60};
  if (y < top + 20) // the title bar
    return {120, 150, 200};
  if (x >= left + 14 && x < left + 58 && y >= top + 32 && y < top + 76) // the icon
    return {230, 140, 40};
  if (x >= left + 312 && x < left + 396 && y >= top + 98 && y < top + 132) // the button
    return (x == left + 312 || x == left + 395 || y == top + 98 || y == top + 131)
               ? testsupport::Rgb{120, 120, 120}
               : testsupport::Rgb{235, 235, 235};
  const int lineWidth = static_cast<int>(message.size()) * 8;
  const int start = left + 60 + (width - 60 - lineWidth) / 2, i = (x - start) / 8;
  if (x >= start && i < static_cast<int>(message.size()) && message[i] != ' ') {
    const auto c = static_cast<unsigned char>(message[i]);
    const int stroke = (x - start) % 8, rise = static_cast<int>(c % 4);
    if (y >= top + 34 - rise && y < top + 44 + static_cast<int>(c % 3) &&
        (stroke == 1 + static_cast<int>(c % 3) || (stroke < 6 && (y + c) % 5 == 0)))
      return {40, 40, 40};
  }
  return {245, 245, 245};
}

/// The writing layout of the 512-pixel thumbnail a scan decodes from `path`.
std::vector<float> writingOfFile(const std::filesystem::path &path) {
  const auto loaded =
      ImageLoader::load(QUrl::fromLocalFile(QString::fromStdString(path.string())), 512);
  EXPECT_TRUE(loaded.has_value()) << path;
  if (!loaded)
    return {};
  const platform::DecodedImage &image = loaded->image;
  return textlayout::describe(ImagePlanes(
      PixelView{image.width, image.height, image.bands, image.pixels.data(), image.stride()}));
}

float apart(const std::vector<float> &a, const std::vector<float> &b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    sum += (a[i] - b[i]) * (a[i] - b[i]);
  return static_cast<float>(std::sqrt(sum));
}

float length(const std::vector<float> &v) { return apart(v, std::vector<float>(v.size(), 0.0f)); }

std::vector<float> writingOf(const TestImage &image) {
  return textlayout::describe(ImagePlanes(image.view()));
}

} // namespace

TEST(TextLayout, placesTheWritingWithinItsBoxNotTheRulesOrTheFrame) {
  // Rules alone are hardly writing; the filled boxes are.
  const TestImage empty = form(0), filled = form(3);
  const auto sumOf = [](const TestImage &image) {
    const std::vector<float> w =
        textlayout::writing(ImagePlanes(image.view()).grey(), image.width, image.height);
    double sum = 0;
    for (const float v : w)
      sum += v;
    return sum;
  };
  EXPECT_GT(sumOf(filled), 3.0 * sumOf(empty));
  // The box holds the sheet's writing, wherever the sheet lies on the desktop, so the same form
  // moved across the desktop keeps its layout.
  const std::vector<float> marks =
      textlayout::writing(ImagePlanes(filled.view()).grey(), filled.width, filled.height);
  const textlayout::Box box = textlayout::writingBox(marks, filled.width, filled.height);
  EXPECT_GE(box.x, 40 - 10);
  EXPECT_LE(box.x + box.width, 40 + 300 + 10);
  EXPECT_GE(box.y, 30 - 10);
  EXPECT_LE(box.y + box.height, 30 + 340 + 10);
  EXPECT_LT(apart(writingOf(filled), writingOf(form(3, 160, 40))), 0.15f);
  // Blank frames have no writing at all.
  EXPECT_EQ(length(writingOf(TestImage(200, 100, 3, 255))), 0.0f);
  EXPECT_EQ(length(writingOf(TestImage(2, 2, 1))), 0.0f);
}

TEST(TextLayout, tellsFormsOfOneTemplateApartButNotTheirCopies) {
  // Filled differently, the forms of one template lie apart; shifted by a pixel or two, with
  // noise (a re-save) or shown in another grey, a form keeps its writing.
  std::vector<std::vector<float>> forms;
  for (unsigned fill = 1; fill <= 5; ++fill)
    forms.push_back(writingOf(form(fill)));
  for (std::size_t i = 0; i < forms.size(); ++i) {
    for (std::size_t j = i + 1; j < forms.size(); ++j)
      EXPECT_GT(apart(forms[i], forms[j]), 0.45f) << i << " " << j;
  }
  EXPECT_LT(apart(forms[0], writingOf(shifted(form(1), 2))), 0.15f);
  EXPECT_LT(apart(forms[0], writingOf(noisy(shifted(form(1), 1), 3, 5))), 0.2f);
  EXPECT_LT(apart(forms[0], writingOf(exposed(form(1), 0.6f))), 0.15f);
}

TEST(TextLayout, theProjectedBlockKeepsDistancesAndTheFeatureVectorSeparatesTheForms) {
  // The block maps the frame's and the writing's layouts to a fixed length and keeps their
  // distances within a few hundredths.
  const auto joint = [](const TestImage &image) {
    const ImagePlanes planes(image.view());
    std::vector<float> out;
    const float frameShare =
        std::sqrt(1.0f - pagelayout::kWritingShare * pagelayout::kWritingShare);
    for (const float v : pagelayout::describe(planes.small()))
      out.push_back(frameShare * v);
    for (const float v : textlayout::describe(planes))
      out.push_back(pagelayout::kWritingShare * v);
    return out;
  };
  const auto block = [](const TestImage &image) {
    return pagelayout::block(ImagePlanes(image.view()));
  };
  for (unsigned fill = 2; fill <= 4; ++fill) {
    const float before = apart(joint(form(1)), joint(form(fill)));
    EXPECT_NEAR(apart(block(form(1)), block(form(fill))), before, 0.15f * before) << fill;
  }
  EXPECT_EQ(block(form(1)).size(), pagelayout::kLength);
  EXPECT_EQ(block(form(1)), block(form(1)));
  // Analysed as screenshots, two forms of one template do not join at the default threshold,
  // and a copy joins at the strictest.
  const auto distance = [](const TestImage &a, const TestImage &b) {
    const auto fa = VisionAnalyzer::analyze(a.view()), fb = VisionAnalyzer::analyze(b.view());
    EXPECT_TRUE(fa.value().isUtility && fb.value().isUtility);
    double dot = 0;
    for (std::size_t i = 0; i < fa.value().feature.size(); ++i)
      dot += fa.value().feature[i] * fb.value().feature[i];
    return static_cast<float>(std::sqrt(std::max(0.0, 2 - 2 * dot)));
  };
  EXPECT_GT(distance(form(1), form(2)), 0.30f);
  EXPECT_LT(distance(form(1), shifted(form(1), 1)), 0.18f);
}

TEST(TextLayout, aJpegResaveOfASmallMessageBoxKeepsItsWriting) {
  // A screenshot's message box is a few hundred pixels on a wide desktop; in the thumbnail its
  // letters are two or three pixels tall, and a JPEG re-save rings around every one of them.
  // The ringing must move the writing well under what another message does.
  const testsupport::TempDir folder;
  const auto save = [&](const std::string &name, const std::string &message) {
    const std::filesystem::path path = folder.path() / name;
    EXPECT_TRUE(testsupport::writeImage(
        path, 1366, 768, [&](int x, int y) { return desktopWithMessage(message, x, y); }));
    return writingOfFile(path);
  };
  const std::vector<float> original = save("a.png", "Printer is out of paper.");
  const std::vector<float> resaved = save("a.jpg", "Printer is out of paper.");
  const std::vector<float> other = save("b.png", "Update finished.");
  ASSERT_EQ(original.size(), textlayout::kLength);
  const float copy = apart(original, resaved);
  // Measured: 0.125 (0.160 before the strokes joined the layout), and 0.81 for the other message.
  EXPECT_LT(copy, 0.19f);
  EXPECT_LT(3.0f * copy, apart(original, other));
}

namespace {

/// What `measure` makes of the file at `path` as a scan sees it: its 512-pixel thumbnail, and a
/// larger decode of the file when asked for one; `asked` counts the asks.
template <typename Use>
auto asScanned(const std::filesystem::path &path, int &asked, const Use &measure) {
  const auto loaded = ImageLoader::loadFile(path.string(), 512);
  EXPECT_TRUE(static_cast<bool>(loaded)) << path;
  if (!loaded)
    return std::invoke_result_t<const Use &, const ImagePlanes &, const SourceFacts &>{};
  SourceFacts facts{loaded->sourcePixels, loaded->detailStep, loaded->codingTrace, {}};
  facts.redecode = [&](int longSide, const SourceFacts::Use &use) {
    ++asked;
    EXPECT_GT(longSide, 512);
    EXPECT_LE(longSide, 2048);
    const auto again = ImageLoader::loadFile(path.string(), longSide);
    if (again)
      use(PixelView{again->image.width, again->image.height, again->image.bands,
                    again->image.pixels.data(), again->image.stride()});
  };
  const platform::DecodedImage &image = loaded->image;
  return measure(ImagePlanes(PixelView{image.width, image.height, image.bands, image.pixels.data(),
                                       image.stride()}),
                 facts);
}

/// The writing layout a scan measures for the file at `path`.
std::vector<float> writingAsScanned(const std::filesystem::path &path, int &asked) {
  return asScanned(path, asked, [](const ImagePlanes &planes, const SourceFacts &facts) {
    return textlayout::describe(planes, facts);
  });
}

/// A 1366-pixel desktop drawn by `desktop` (x, y), resampled `width` pixels wide: each pixel
/// the mean of the full-size desktop under it, as a resampled copy has it.
template <typename Desktop>
testsupport::Rgb desktopAtWidth(const Desktop &desktop, int width, int x, int y) {
  const double scale = 1366.0 / width;
  int sum[3] = {0, 0, 0};
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) {
      const testsupport::Rgb c = desktop(static_cast<int>((x + (i + 0.5) / 4) * scale),
                                         static_cast<int>((y + (j + 0.5) / 4) * scale));
      sum[0] += c.r;
      sum[1] += c.g;
      sum[2] += c.b;
    }
  return testsupport::Rgb{static_cast<std::uint8_t>(sum[0] / 16),
                          static_cast<std::uint8_t>(sum[1] / 16),
                          static_cast<std::uint8_t>(sum[2] / 16)};
}

/// `desktopWithMessage` drawn `width` pixels wide.
testsupport::Rgb messageAtWidth(const std::string &message, int width, int x, int y) {
  return desktopAtWidth([&](int px, int py) { return desktopWithMessage(message, px, py); }, width,
                        x, y);
}

/// A form dialog of six framed fields (640 × 318, as a claim form on a 1366 × 768 desktop), its
/// fields filled with `fields` in letters drawn as `desktopWithMessage` draws them.
testsupport::Rgb desktopWithForm(const std::vector<std::string> &fields, int x, int y) {
  const int left = 363, top = 237, width = 640, height = 318;
  if (x < left || x >= left + width || y < top || y >= top + height)
    return {58, 95, 127};
  if (y < top + 20)
    return {120, 150, 200};
  const int row = (y - top - 40) / 39, inRow = (y - top - 40) % 39;
  if (row < 0 || row >= static_cast<int>(fields.size()) || inRow >= 32)
    return {245, 245, 245};
  if (x >= left + 10 && x < left + 70 && inRow >= 12 && inRow < 21 && (x / 3 + row) % 4 != 0)
    return {50, 50, 50}; // the label
  if (x < left + 83 || x >= left + 635)
    return {245, 245, 245};
  if (x == left + 83 || x == left + 634 || inRow == 0 || inRow == 31)
    return {150, 150, 150}; // the field's frame
  const std::string &text = fields[static_cast<std::size_t>(row)];
  const int i = (x - left - 92) / 8;
  if (x >= left + 92 && i < static_cast<int>(text.size()) && text[i] != ' ') {
    const auto c = static_cast<unsigned char>(text[i]);
    const int stroke = (x - left - 92) % 8, rise = static_cast<int>(c % 4);
    if (inRow >= 11 - rise && inRow < 21 + static_cast<int>(c % 3) &&
        (stroke == 1 + static_cast<int>(c % 3) || (stroke < 6 && (inRow + c) % 5 == 0)))
      return {20, 20, 20};
  }
  return {255, 255, 255};
}

} // namespace

TEST(TextLayout, aSmallDialogIsMeasuredInALargerDecodeWhereItsCopiesStayClose) {
  // In the thumbnail of a whole desktop the message is two or three pixels tall; decoded again
  // larger, two messages of one length lie well over twice as far apart as a JPEG copy at 85 %
  // of the size, and a message of another length farther.
  const testsupport::TempDir folder;
  const auto save = [&](const std::string &name, const std::string &message, int width) {
    const std::filesystem::path path = folder.path() / name;
    EXPECT_TRUE(testsupport::writeImage(path, width, width * 768 / 1366, [&](int x, int y) {
      return messageAtWidth(message, width, x, y);
    }));
    return path;
  };
  const auto a = save("a.png", "Printer is out of paper.", 1366);
  const auto b = save("b.png", "Could not open the file.", 1366);
  int asked = 0;
  const std::vector<float> original = writingAsScanned(a, asked);
  EXPECT_EQ(asked, 2); // one for the fine grid, one for the strokes
  const std::vector<float> copy =
      writingAsScanned(save("a-small.jpg", "Printer is out of paper.", 1161), asked);
  const std::vector<float> sameLength = writingAsScanned(b, asked);
  const std::vector<float> shorter =
      writingAsScanned(save("c.png", "Update finished.", 1366), asked);
  EXPECT_EQ(asked, 8);
  ASSERT_EQ(original.size(), textlayout::kLength);
  // Measured: the copy 0.21 apart, the message of one length 0.63 (the fine grid alone put it
  // 0.18 apart, as close as the copy), the shorter one 0.88.
  EXPECT_LT(apart(original, copy), 0.23f);
  EXPECT_GT(apart(original, sameLength), 2.5f * apart(original, copy));
  EXPECT_GT(apart(original, shorter), 3.0f * apart(original, copy));
}

TEST(TextLayout, formsOfOneTemplateShownLargeAreToldApartByTheirStrokesWhereCopiesStayClose) {
  // A form dialog fills half the thumbnail of its desktop, too large for the fine grid, yet its
  // fields' words are three pixels tall there: two claims that differ in one name of one length
  // lie apart by their strokes, cut again from a larger decode, while a JPEG copy at 85 % of the
  // size stays close.
  const testsupport::TempDir folder;
  const auto save = [&](const std::string &name, const std::string &employee, int width) {
    const std::vector<std::string> fields = {employee, "CC-592", "Riga",
                                             "Audit",  "2",      "1869.00 EUR"};
    const std::filesystem::path path = folder.path() / name;
    EXPECT_TRUE(testsupport::writeImage(path, width, width * 768 / 1366, [&](int x, int y) {
      return desktopAtWidth([&](int px, int py) { return desktopWithForm(fields, px, py); }, width,
                            x, y);
    }));
    return path;
  };
  int asked = 0;
  const std::vector<float> original = writingAsScanned(save("a.png", "Luis Dubois", 1366), asked);
  EXPECT_EQ(asked, 1); // for the strokes alone
  const std::vector<float> copy = writingAsScanned(save("a.jpg", "Luis Dubois", 1161), asked);
  const std::vector<float> other = writingAsScanned(save("b.png", "Anna Moreau", 1366), asked);
  EXPECT_EQ(asked, 3);
  ASSERT_EQ(original.size(), textlayout::kLength);
  // Measured: the copy 0.29 apart, the other claim 0.55. With the thumbnail's grid alone the
  // copy lay 0.12 apart and the other claim 0.03, closer than the copy.
  EXPECT_LT(apart(original, copy), 0.33f);
  EXPECT_GT(apart(original, other), 1.8f * apart(original, copy));
  // In the layout block the strokes also take the frame's share: both claims share their frame.
  // Measured: the copy 0.32 apart, the other claim 0.61 (1.90 times as far); with the frame's
  // share kept, 0.30 and 0.51 (1.73 times).
  const auto block = [&](const std::string &name) {
    return asScanned(folder.path() / name, asked,
                     [](const ImagePlanes &planes, const SourceFacts &facts) {
                       EXPECT_NEAR(textlayout::measure(planes, facts).formStrokes, 1.0, 1e-9);
                       return pagelayout::block(planes, facts);
                     });
  };
  const std::vector<float> originalBlock = block("a.png");
  const float copyApart = apart(originalBlock, block("a.jpg"));
  const float otherApart = apart(originalBlock, block("b.png"));
  EXPECT_LT(copyApart, 0.35f);
  EXPECT_GT(otherApart, 1.85f * copyApart);
}

TEST(TextLayout, onlyADocumentWithASmallBoxAsksForALargerDecodeAndAFailedOneChangesNothing) {
  // Photographs carry no layout, pages fill the thumbnail: neither is decoded again.
  int asked = 0;
  SourceFacts facts{std::int64_t{4000} * 3000, 0, 0, {}};
  facts.redecode = [&](int, const SourceFacts::Use &) { ++asked; };
  for (const TestImage &picture : {scene(1), documentPage(), screenshot()})
    EXPECT_TRUE(VisionAnalyzer::analyze(picture.view(), facts).hasValue());
  EXPECT_EQ(asked, 0);
  // A small dialog asks; a decode that gives nothing, or nothing larger, leaves the thumbnail's
  // own measure, and a file no larger than its thumbnail is not asked at all.
  TestImage desktop(512, 288, 3);
  for (int y = 0; y < desktop.height; ++y)
    for (int x = 0; x < desktop.width; ++x) {
      const testsupport::Rgb c = messageAtWidth("Printer is out of paper.", 512, x, y);
      std::uint8_t *p = desktop.at(x, y);
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  const ImagePlanes planes(desktop.view());
  const std::vector<float> alone = textlayout::describe(planes);
  EXPECT_EQ(textlayout::describe(planes, facts), alone);
  EXPECT_EQ(asked, 2);
  facts.redecode = [&](int, const SourceFacts::Use &use) {
    ++asked;
    use(desktop.view());
  };
  EXPECT_EQ(textlayout::describe(planes, facts), alone);
  EXPECT_EQ(asked, 4);
  facts.pixels = std::int64_t{desktop.width} * desktop.height;
  EXPECT_EQ(textlayout::describe(planes, facts), alone);
  EXPECT_EQ(asked, 4);
}

TEST(TextLayout, aBoxAPixelLargerMovesTheLayoutLittleWhereTheFineGridTakesOver) {
  // One dialog drawn a little larger step by step across the sizes where the fine grid takes
  // over from the thumbnail's: each step moves the layout about as little as elsewhere, never
  // from one grid to the other (which would put the two sizes √2 apart).
  const auto dialog = [](int width) {
    TestImage image(512, 288, 3, 60);
    const int height = width * 2 / 5, left = 256 - width / 2, top = 144 - height / 2;
    image.fillRect(left, top, width, height, 245, 245, 245);
    image.fillRect(left, top, width, height / 8, 120, 150, 200);
    for (int letter = 0; letter < 24; ++letter) {
      const int x =
          left + width / 5 + letter * width * 3 / 100 + (letter % 5 == 4 ? width / 60 : 0);
      image.fillRect(x, top + height / 3 + letter % 2, std::max(1, width / 100), 3 + letter % 3, 40,
                     40, 40);
    }
    image.fillRect(left + width * 3 / 4, top + height * 3 / 4, width / 5, height / 6, 200, 200,
                   200);
    return textlayout::describe(ImagePlanes(image.view()));
  };
  std::vector<float> previous = dialog(160);
  for (int width = 166; width <= 250; width += 6) {
    const std::vector<float> next = dialog(width);
    EXPECT_LT(apart(previous, next), 0.65f) << width; // measured: 0.57 at most
    previous = next;
  }
}

namespace {

/// How a message box's window looks around its message: where its button's left edge lies, and
/// whether its title bar shows a title (a window with and without focus, a button moved).
struct Chrome {
  int buttonLeft = 230;
  bool titled = false;
};

/// A 320 × 110 message box as the strokes see it: a dark title bar, a framed button and one
/// line of `message` in the middle, each character a glyph of strokes whose directions its code
/// chooses, the line moved `shift` pixels right and its ink at `contrast` of full.
std::vector<float> boxGrey(const std::string &message, int shift = 0, float contrast = 1,
                           Chrome chrome = {}) {
  const int width = 320, height = 110;
  std::vector<float> grey(static_cast<std::size_t>(width * height), 240.0f);
  const auto ink = [&](int x, int y, float level) {
    if (x >= 0 && x < width && y >= 0 && y < height)
      grey[static_cast<std::size_t>(y * width + x)] = level;
  };
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < width; ++x)
      ink(x, y, chrome.titled && y >= 4 && y < 10 && x >= 120 && x < 200 && x % 3 == 0 ? 230 : 90);
  const int b = chrome.buttonLeft;
  for (int i = 0; i < 70; ++i) {
    ink(b + i, 80, 120);
    ink(b + i, 100, 120);
  }
  for (int j = 80; j <= 100; ++j) {
    ink(b, j, 120);
    ink(b + 69, j, 120);
  }
  const float level = 240.0f - 200.0f * contrast;
  const int start = 160 - static_cast<int>(message.size()) * 4 + shift;
  for (std::size_t i = 0; i < message.size(); ++i) {
    const auto c = static_cast<unsigned>(static_cast<unsigned char>(message[i]));
    const int x0 = start + static_cast<int>(i) * 8, y0 = 40;
    for (int t = 0; t < 10; ++t) {
      if (message[i] == ' ')
        break;
      if (c & 1u)
        ink(x0 + 1, y0 + t, level); // an upright
      if (c & 2u)
        ink(x0 + t * 6 / 10, y0 + (c & 8u ? 9 : 0), level); // a bar
      if (c & 4u)
        ink(x0 + t * 6 / 10, y0 + 9 - t, level); // a rising diagonal
      if ((c & 7u) == 0)
        ink(x0 + t * 6 / 10, y0 + t, level); // a falling diagonal
    }
  }
  return grey;
}

std::vector<float> strokesOfBox(const std::string &message, int shift = 0, float contrast = 1,
                                Chrome chrome = {}) {
  return textlayout::strokes(boxGrey(message, shift, contrast, chrome), 320, 110);
}

} // namespace

TEST(TextLayout, strokesTellTwoMessagesOfOneLengthApartWhileAShiftOrPalerInkMovesThemLittle) {
  // Where the fine grid sees only where the words end, the strokes see which letters they are:
  // two messages of one length in one box lie far apart, the same message a pixel to the side,
  // in paler ink or in a window whose button and title bar look otherwise stays close. A box
  // without strokes describes nothing.
  EXPECT_EQ(textlayout::strokes(std::vector<float>(320 * 110, 200.0f), 320, 110),
            std::vector<float>(textlayout::kStrokeLength, 0.0f));
  const std::vector<float> printer = strokesOfBox("Printer is out of paper.");
  const std::vector<float> couldNot = strokesOfBox("Could not open the file.");
  ASSERT_EQ(printer.size(), textlayout::kStrokeLength);
  EXPECT_NEAR(length(printer), 1.0f, 1e-4f);
  const float shifted = apart(printer, strokesOfBox("Printer is out of paper.", 1));
  const float paler = apart(printer, strokesOfBox("Printer is out of paper.", 0, 0.6f));
  const float other = apart(printer, couldNot);
  // Measured: 0.22, 0.14 and 1.05.
  EXPECT_LT(shifted, 0.3f);
  EXPECT_LT(paler, 0.2f);
  EXPECT_GT(other, 3.0f * std::max(shifted, paler));
  // The message, not the window around it, makes the strokes: a button 40 pixels to the side
  // and a title in the bar move them under a tenth of another message's distance (measured
  // 0.09; counting each cell by its writing alone, not more than its share, gives 0.18).
  EXPECT_LT(apart(printer, strokesOfBox("Printer is out of paper.", 0, 1, Chrome{190, true})),
            0.12f * other);
}
