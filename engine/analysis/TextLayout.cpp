#include "engine/analysis/TextLayout.h"

#include "engine/analysis/BoxMean.h"
#include "engine/analysis/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <utility>

namespace lumora::textlayout {

namespace {

// A step is counted up to this many grey levels: the bold edge of a dark frame counts no more
// than a stroke of print.
constexpr float kStepCeiling = 30.0f;
// The writing less this multiple of its median: what paper grain and sensor noise leave.
constexpr float kNoiseFloor = 2.0f;
// The share of the writing left outside the box on each side, and the box's margin.
constexpr double kBoxTail = 0.01;
constexpr double kBoxMargin = 0.02;
// Marks stronger than this share of the writing at this rank place the box.
constexpr float kStrongShare = 0.2f;
constexpr double kStrongRank = 0.995;
// Below this root-mean-square per entry the grid is not scaled up to unit length.
constexpr float kFloor = 0.1f;
// The fine grid is laid over a box shown at up to this many times its size in the thumbnail
// (and at most `kFineBoxSide`): a re-save at another size then shows it at the same size too,
// shrunk from its own larger decode.
constexpr double kFineEnlargement = 2.0;
// The fine grid takes the writing's layout over from the thumbnail's where it shows the box
// larger: not at all up to this gain in size, wholly from the next.
constexpr double kCoarseGain = 1.1;
constexpr double kFineGain = 1.4;
// The longest side a larger decode is asked for.
constexpr double kMostDecodeSide = 2048;
// The fine writing is taken on a 5 × 5 average with steps two pixels wide: at this size a
// letter spans ten pixels or more, and a re-save's ringing and a resampling's blur stay below it.
constexpr int kFineAverage = 2;
constexpr int kFineStep = 2;
// The fine grid is blurred by this many of the source's pixels (in cells, so that a box the
// file shows in fewer pixels is blurred more) before it is finished, and its blurred copy
// taken off spans 9 × 9 cells: what tells two fillings of one template apart is where words
// and lines end, not the strokes of single letters.
constexpr double kFineBlurPixels = 5.0;
constexpr int kFineBackground = 4;
// The strokes' directions are taken on the box cut at up to this many pixels on its longer
// side, and at most this many times its size in the thumbnail: a re-save at 85 % then shows it
// no larger than the original does, both mostly shrunk, so their letters keep one sharpness.
constexpr double kStrokeBoxSide = 320;
constexpr double kStrokeEnlargement = 2.5;
// The cut box is placed on its writing averaged over 7 × 7 with steps 2 pixels wide, so a
// re-save's ringing along a window's dark frame does not stretch it by the frame.
constexpr int kStrokePlaceAverage = 3;
constexpr int kStrokePlaceStep = 2;
// Before its steps the box is blurred by a Gaussian of this deviation, in pixels of the box: a
// re-save's ringing and a resampling's steps vanish, while a letter of a small dialog (six to
// eight pixels high in the box) keeps strokes of its own. A step counts from this many grey
// levels (flat paper and JPEG noise) up to that many (a frame's edge no more than a letter's).
constexpr double kStrokeBlur = 1.6;
constexpr float kStrokeStepFloor = 2.0f;
constexpr float kStrokeStepCeiling = 40.0f;
// A cell's directions are divided by their length plus this floor: a nearly empty cell's noise,
// or the few faint steps a re-save leaves beside a letter, is not blown up to a letter's weight.
constexpr double kStrokeCellFloor = 20.0;
// Each cell counts by this power of the writing it holds against the box's mean: the cells of
// the message outweigh those of a window's chrome, which every dialog of one program shares.
constexpr double kStrokeHeldPower = 1.5;
// The directions are blurred by this many cells across and down: a placement a pixel or two
// apart moves little.
constexpr double kStrokeBlurCells = 0.5;
// The strokes' share of the fine part, as the sine of their angle to the fine grid.
constexpr double kStrokeShare = 0.65;
// A box the thumbnail shows large (no fine grid) shares its layout with its strokes, their share
// this sine, while its longer side is under `kLargeBoxSide` less `kLargeBoxRamp` thumbnail
// pixels, less and less up to `kLargeBoxSide`: a form dialog on a desktop, not a page or a whole
// window. Its strokes are cut at up to `kLargeStrokeBoxSide` pixels, near the size a screenshot
// shows such a box at, so that a field's letters keep their shapes.
constexpr double kLargeStrokeShare = 0.9;
constexpr double kLargeBoxSide = 300;
constexpr double kLargeBoxRamp = 40;
constexpr double kLargeStrokeBoxSide = 640;

using Plane = std::vector<float>;

/// The absolute central differences across (`dx` 1) or along (`dy` 1), halved and capped.
Plane steps(const Plane &grey, int width, int height, int dx, int dy) {
  Plane out(grey.size(), 0.0f);
  for (int y = dy; y < height - dy; ++y) {
    for (int x = dx; x < width - dx; ++x) {
      const auto at = [&](int px, int py) {
        return grey[static_cast<std::size_t>(py * width + px)];
      };
      out[static_cast<std::size_t>(y * width + x)] =
          std::min(kStepCeiling, std::abs(at(x + dx, y + dy) - at(x - dx, y - dy)) / 2.0f);
    }
  }
  return out;
}

/// The value at `rank` (0…1) of the plane's values in ascending order.
float ranked(Plane plane, double rank) {
  const auto at = plane.begin() + static_cast<std::ptrdiff_t>(rank * (plane.size() - 1));
  std::nth_element(plane.begin(), at, plane.end());
  return *at;
}

float median(const Plane &plane) { return ranked(plane, 0.5); }

/// The place along `profile` (a running sum) where the share `share` of its total is reached.
int quantile(const std::vector<double> &running, double share) {
  const double goal = share * running.back();
  return static_cast<int>(std::lower_bound(running.begin(), running.end(), goal) - running.begin());
}

/// [¼ ½ ¼] along each row and each column of a grid, edges repeated.
void soften(Plane &grid, int side) {
  Plane copy = grid;
  for (int pass = 0; pass < 2; ++pass) {
    for (int a = 0; a < side; ++a) {
      for (int b = 0; b < side; ++b) {
        const auto at = [&](int i) {
          const int c = std::clamp(i, 0, side - 1);
          return pass == 0 ? copy[static_cast<std::size_t>(a * side + c)]
                           : copy[static_cast<std::size_t>(c * side + a)];
        };
        const float v = 0.25f * at(b - 1) + 0.5f * at(b) + 0.25f * at(b + 1);
        grid[static_cast<std::size_t>(pass == 0 ? a * side + b : b * side + a)] = v;
      }
    }
    copy = grid;
  }
}

/// A grey plane of `width` × `height` pixels.
struct GreyCrop {
  int width = 0;
  int height = 0;
  Plane grey;
  /// Pixels of the decode the crop was cut from per pixel of the crop.
  double sourcePerPixel = 1;
};

/// The writing of a plane of floats: the geometric mean of the mean steps across and along,
/// `step` pixels wide, taken on the plane averaged over (2 `average` + 1)², each less twice its
/// median over the plane.
Plane writingOf(const Plane &grey, int width, int height, int average, int step) {
  // A JPEG re-save rings around each letter a pixel wide, which on its own would count as
  // writing where the original has none; averaged, the ringing mostly cancels while the
  // letters remain.
  const Plane smooth = boxmean::of(grey, width, height, average);
  Plane across = boxmean::of(steps(smooth, width, height, step, 0), width, height, 1);
  Plane along = boxmean::of(steps(smooth, width, height, 0, step), width, height, 1);
  // Each way's noise is taken off before the two meet: a rule under sensor noise steps one way
  // by its ink and the other by the noise, and must not pass for writing.
  for (Plane *plane : {&across, &along}) {
    const float floor = kNoiseFloor * median(*plane);
    for (float &v : *plane)
      v = std::max(0.0f, v - floor);
  }
  Plane out(grey.size());
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = std::sqrt(across[i] * along[i]);
  return boxmean::of(out, width, height, 2);
}

/// `box` of a `width` × `height` plane, resampled so that its longer side is `side` pixels.
template <typename Sample>
GreyCrop cropOf(const std::vector<Sample> &grey, int width, int height, Box box, double side) {
  box.x = std::clamp(box.x, 0, width - 1);
  box.y = std::clamp(box.y, 0, height - 1);
  box.width = std::clamp(box.width, 1, width - box.x);
  box.height = std::clamp(box.height, 1, height - box.y);
  const double scale = side / std::max(box.width, box.height);
  GreyCrop crop;
  crop.width = std::max(1, static_cast<int>(std::lround(box.width * scale)));
  crop.height = std::max(1, static_cast<int>(std::lround(box.height * scale)));
  crop.grey = resampler::resample(
      grey, width, resampler::Region{box.x, box.y, box.width, box.height}, crop.width, crop.height);
  crop.sourcePerPixel = static_cast<double>(box.width) / crop.width;
  return crop;
}

/// One pass of a Gaussian blur of `sigma` cells along the rows (`across`) or the columns of a
/// `gw` × `gh` grid, edges repeated.
void gaussianPass(Plane &grid, int gw, int gh, double sigma, bool across) {
  if (sigma < 0.05)
    return;
  const int reach = static_cast<int>(std::ceil(3 * sigma));
  std::vector<double> weights(static_cast<std::size_t>(2 * reach + 1));
  double total = 0;
  for (int i = -reach; i <= reach; ++i)
    total += weights[static_cast<std::size_t>(i + reach)] =
        std::exp(-0.5 * i * i / (sigma * sigma));
  const Plane copy = grid;
  for (int y = 0; y < gh; ++y) {
    for (int x = 0; x < gw; ++x) {
      double sum = 0;
      for (int i = -reach; i <= reach; ++i) {
        const int cx = across ? std::clamp(x + i, 0, gw - 1) : x;
        const int cy = across ? y : std::clamp(y + i, 0, gh - 1);
        sum += weights[static_cast<std::size_t>(i + reach)] *
               copy[static_cast<std::size_t>(cy * gw + cx)];
      }
      grid[static_cast<std::size_t>(y * gw + x)] = static_cast<float>(sum / total);
    }
  }
}

/// A square grid of writing softened, compressed by a square root, less its mean over
/// (2 `background` + 1)² cells, centred and scaled to unit length, or by its contrast floor.
Plane finished(Plane grid, int side, int background) {
  soften(grid, side);
  for (float &v : grid)
    v = std::sqrt(std::max(0.0f, v));
  return boxmean::relief(std::move(grid), side, side, background, double(kFloor) * side);
}

/// The fine grid of the writing of `crop`.
Plane fineGrid(const GreyCrop &crop) {
  if (crop.width < 3 || crop.height < 3)
    return Plane(static_cast<std::size_t>(kFineSide * kFineSide), 0.0f);
  const Plane marks = writingOf(crop.grey, crop.width, crop.height, kFineAverage, kFineStep);
  Plane grid = resampler::resample(
      marks, crop.width, resampler::Region{0, 0, crop.width, crop.height}, kFineSide, kFineSide);
  // A crop enlarged from a smaller decode holds less than its pixels: blur by source pixels.
  const double shown = std::min(1.0, crop.sourcePerPixel);
  gaussianPass(grid, kFineSide, kFineSide, kFineBlurPixels * kFineSide / (crop.width * shown),
               true);
  gaussianPass(grid, kFineSide, kFineSide, kFineBlurPixels * kFineSide / (crop.height * shown),
               false);
  return finished(std::move(grid), kFineSide, kFineBackground);
}

/// The box the thumbnail placed (`box`, in thumbnail pixels, the thumbnail `thumbWidth` ×
/// `thumbHeight`) found again in a decode of `width` × `height` and cut out at `side`.
GreyCrop boxAgain(const std::vector<std::uint8_t> &grey, int width, int height, Box box,
                  int thumbWidth, int thumbHeight, double side, int placeAverage = 1,
                  int placeStep = 1) {
  const double sx = double(width) / thumbWidth, sy = double(height) / thumbHeight;
  // The thumbnail placed the box to one of its own pixels; the decode places it again within
  // two of them, at its own finer step.
  const int mx = static_cast<int>(std::ceil(2 * sx)), my = static_cast<int>(std::ceil(2 * sy));
  const Box wide{static_cast<int>(box.x * sx) - mx, static_cast<int>(box.y * sy) - my,
                 static_cast<int>(std::ceil(box.width * sx)) + 2 * mx,
                 static_cast<int>(std::ceil(box.height * sy)) + 2 * my};
  const GreyCrop region = cropOf(grey, width, height, wide, side);
  const Box refined =
      writingBox(writingOf(region.grey, region.width, region.height, placeAverage, placeStep),
                 region.width, region.height);
  GreyCrop crop = cropOf(region.grey, region.width, region.height, refined, side);
  crop.sourcePerPixel *= region.sourcePerPixel;
  return crop;
}

/// The steps of `smooth` (`width` × `height`) binned by cell and direction: each step's
/// strength, floored and capped, shared linearly between the two nearest cells each way and the
/// two nearest directions. One plane of cells per direction.
std::vector<Plane> binnedSteps(const Plane &smooth, int width, int height) {
  constexpr int across = kStrokeAcross, down = kStrokeDown, directions = kStrokeDirections;
  constexpr double pi = 3.14159265358979323846;
  std::vector<Plane> bins(directions, Plane(static_cast<std::size_t>(across * down), 0.0f));
  const auto at = [&](int x, int y) { return smooth[static_cast<std::size_t>(y * width + x)]; };
  for (int y = 1; y < height - 1; ++y) {
    const double cy = (y + 0.5) * down / height - 0.5;
    const int y0 = static_cast<int>(std::floor(cy));
    for (int x = 1; x < width - 1; ++x) {
      const float gx = (at(x + 1, y) - at(x - 1, y)) / 2, gy = (at(x, y + 1) - at(x, y - 1)) / 2;
      const float strength =
          std::min(kStrokeStepCeiling, std::sqrt(gx * gx + gy * gy)) - kStrokeStepFloor;
      if (strength <= 0)
        continue;
      double angle = std::atan2(gy, gx);
      if (angle < 0)
        angle += pi;
      const double o = angle / pi * directions - 0.5, cx = (x + 0.5) * across / width - 0.5;
      const int o0 = static_cast<int>(std::floor(o)), x0 = static_cast<int>(std::floor(cx));
      const double share[3][2] = {
          {1 - (cx - x0), cx - x0}, {1 - (cy - y0), cy - y0}, {1 - (o - o0), o - o0}};
      for (int j = 0; j < 2; ++j) {
        const int row = std::clamp(y0 + j, 0, down - 1);
        for (int i = 0; i < 2; ++i) {
          const int cell = row * across + std::clamp(x0 + i, 0, across - 1);
          for (int k = 0; k < 2; ++k) {
            const int bin = ((o0 + k) % directions + directions) % directions;
            bins[static_cast<std::size_t>(bin)][static_cast<std::size_t>(cell)] +=
                static_cast<float>(strength * share[0][i] * share[1][j] * share[2][k]);
          }
        }
      }
    }
  }
  return bins;
}

/// `box` (placed in the thumbnail) cut again at `side`, placed on its writing averaged over
/// (2 `average` + 1)² with steps `step` wide: from a decode of that size when `facts` gives a
/// larger one, else from the thumbnail.
GreyCrop cutAgain(const ImagePlanes &planes, const SourceFacts &facts, Box box, double side,
                  int average, int step) {
  const int w = planes.width(), h = planes.height(), boxSide = std::max(box.width, box.height);
  GreyCrop crop;
  if (facts.redecode && facts.pixels > static_cast<std::int64_t>(w) * h) {
    const double wanted = std::min(kMostDecodeSide, double(std::max(w, h)) * side / boxSide);
    facts.redecode(static_cast<int>(wanted), [&](const PixelView &view) {
      if (view.width > w && view.height > h) {
        const ImagePlanes larger(view);
        crop = boxAgain(larger.grey(), larger.width(), larger.height(), box, w, h, side, average,
                        step);
      }
    });
  }
  if (crop.grey.empty())
    crop = boxAgain(planes.grey(), w, h, box, w, h, side, average, step);
  return crop;
}

/// The strokes of `box` cut again at up to `mostSide` pixels (and `kStrokeEnlargement` times its
/// size in the thumbnail at most).
Plane strokesAgain(const ImagePlanes &planes, const SourceFacts &facts, Box box, double mostSide) {
  const double side = std::min(mostSide, kStrokeEnlargement * std::max(box.width, box.height));
  const GreyCrop crop = cutAgain(planes, facts, box, side, kStrokePlaceAverage, kStrokePlaceStep);
  return strokes(crop.grey, crop.width, crop.height);
}

/// Where the thumbnail shows the box large but not yet as large as a page's (a form dialog on a
/// desktop), `out`'s thumbnail grid (its first entries, already at `weight`) shares its part of
/// the layout with the box's strokes, cut at up to `kLargeStrokeBoxSide`: the thumbnail shows a
/// field's words a few pixels tall, and two forms of one template filled otherwise differ in
/// little else. Their share falls evenly to none over the sizes up to `kLargeBoxSide`, and they
/// join the thumbnail grid wherever it counts, so no box size switches. Returns how far they
/// count, 0…1 (1 for a box under the ramp outside the blend band).
double largeBoxStrokes(const ImagePlanes &planes, const SourceFacts &facts, Box box, double weight,
                       Plane &out) {
  const double boxSide = std::max(box.width, box.height);
  const double ramp = std::clamp((kLargeBoxSide - boxSide) / kLargeBoxRamp, 0.0, 1.0);
  const double share = kLargeStrokeShare * ramp;
  if (share <= 0.0)
    return 0.0;
  const Plane directions = strokesAgain(planes, facts, box, kLargeStrokeBoxSide);
  const auto keep = static_cast<float>(std::sqrt(1 - share * share));
  for (std::size_t i = 0; i < kThumbnailLength; ++i)
    out[i] *= keep;
  for (std::size_t i = 0; i < directions.size(); ++i)
    out[kThumbnailLength + kFineLength + i] = directions[i] * static_cast<float>(share * weight);
  return ramp * weight;
}

} // namespace

std::vector<float> strokes(const std::vector<float> &grey, int width, int height) {
  constexpr int cells = kStrokeAcross * kStrokeDown, directions = kStrokeDirections;
  Plane out(kStrokeLength, 0.0f);
  if (width < 3 || height < 3)
    return out;
  Plane smooth = grey;
  gaussianPass(smooth, width, height, kStrokeBlur, true);
  gaussianPass(smooth, width, height, kStrokeBlur, false);
  std::vector<Plane> bins = binnedSteps(smooth, width, height);
  for (Plane &bin : bins) {
    gaussianPass(bin, kStrokeAcross, kStrokeDown, kStrokeBlurCells, true);
    gaussianPass(bin, kStrokeAcross, kStrokeDown, kStrokeBlurCells, false);
  }
  // How much writing each cell holds, against the box's mean: the message's letters count more
  // than a window's flat chrome.
  const Plane held =
      resampler::resample(writingOf(grey, width, height, 1, 1), width,
                          resampler::Region{0, 0, width, height}, kStrokeAcross, kStrokeDown);
  const double heldMean = std::accumulate(held.begin(), held.end(), 0.0) / cells;
  double squares = 0;
  for (int c = 0; c < cells; ++c) {
    float *cell = out.data() + static_cast<std::ptrdiff_t>(c) * directions;
    double mean = 0;
    for (int b = 0; b < directions; ++b)
      mean += cell[b] = bins[static_cast<std::size_t>(b)][static_cast<std::size_t>(c)];
    mean /= directions;
    double length = 0;
    for (int b = 0; b < directions; ++b)
      length += (cell[b] - mean) * (cell[b] - mean);
    const double weight =
        heldMean > 0 ? std::pow(std::max(0.0f, held[static_cast<std::size_t>(c)]) / heldMean,
                                kStrokeHeldPower)
                     : 0.0;
    for (int b = 0; b < directions; ++b) {
      cell[b] =
          static_cast<float>((cell[b] - mean) / (std::sqrt(length) + kStrokeCellFloor) * weight);
      squares += static_cast<double>(cell[b]) * cell[b];
    }
  }
  if (squares > 0)
    for (float &v : out)
      v = static_cast<float>(v / std::sqrt(squares));
  return out;
}

std::vector<float> writing(const std::vector<std::uint8_t> &grey, int width, int height) {
  return writingOf(Plane(grey.begin(), grey.end()), width, height, 1, 1);
}

Box writingBox(const std::vector<float> &writing, int width, int height) {
  // Only strong marks place the box: the grain and noise left all over a photographed page or
  // a noisy desktop would otherwise stretch it to the frame.
  const float strong = kStrongShare * ranked(writing, kStrongRank);
  std::vector<double> across(static_cast<std::size_t>(width), 0.0);
  std::vector<double> along(static_cast<std::size_t>(height), 0.0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float v = writing[static_cast<std::size_t>(y * width + x)];
      if (v <= strong)
        continue;
      across[static_cast<std::size_t>(x)] += v;
      along[static_cast<std::size_t>(y)] += v;
    }
  }
  std::partial_sum(across.begin(), across.end(), across.begin());
  std::partial_sum(along.begin(), along.end(), along.begin());
  if (across.back() <= 0.0)
    return Box{0, 0, width, height};
  int x0 = quantile(across, kBoxTail), x1 = quantile(across, 1.0 - kBoxTail) + 1;
  int y0 = quantile(along, kBoxTail), y1 = quantile(along, 1.0 - kBoxTail) + 1;
  const int margin = static_cast<int>(std::lround(kBoxMargin * std::max(x1 - x0, y1 - y0)));
  x0 = std::max(0, x0 - margin);
  y0 = std::max(0, y0 - margin);
  x1 = std::min(width, x1 + margin);
  y1 = std::min(height, y1 + margin);
  return Box{x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0)};
}

std::vector<float> describe(const ImagePlanes &planes) { return describe(planes, SourceFacts{}); }

std::vector<float> describe(const ImagePlanes &planes, const SourceFacts &facts) {
  return measure(planes, facts).layout;
}

Measure measure(const ImagePlanes &planes, const SourceFacts &facts) {
  const int w = planes.width(), h = planes.height();
  Measure result{Plane(kLength, 0.0f), 0.0};
  Plane &out = result.layout;
  if (w < 3 || h < 3)
    return result;
  const Plane marks = writing(planes.grey(), w, h);
  const Box box = writingBox(marks, w, h);
  const int boxSide = std::max(box.width, box.height);
  const double side = std::min(double(kFineBoxSide), kFineEnlargement * boxSide);
  // The fine grid's share, as the sine of its angle to the thumbnail's: it grows evenly with
  // the gain in size, so a box a pixel larger or smaller moves the layout a little, not from
  // one grid to the other.
  const double share =
      std::clamp((side / boxSide - kCoarseGain) / (kFineGain - kCoarseGain), 0.0, 1.0);
  constexpr double kQuarter = 1.5707963267948966;
  if (share < 1.0) {
    // Where the thumbnail shows the box large enough: its own grid.
    Plane grid = finished(
        resampler::resample(marks, w, resampler::Region{box.x, box.y, box.width, box.height},
                            kGridSide, kGridSide),
        kGridSide, 2);
    const double c = share > 0.0 ? std::cos(share * kQuarter) : 1.0;
    for (std::size_t i = 0; i < grid.size(); ++i)
      out[i] = grid[i] * static_cast<float>(c);
    result.formStrokes = largeBoxStrokes(planes, facts, box, c, out);
    if (share <= 0.0)
      return result;
  }
  // A small box (a dialog on a large desktop): the fine grid and the strokes, measured in a
  // larger decode when the file holds more pixels, else in the thumbnail. Each is cut at its own
  // size, the fine grid first.
  const Plane grid = fineGrid(cutAgain(planes, facts, box, side, 1, 1));
  const Plane directions = strokesAgain(planes, facts, box, kStrokeBoxSide);
  const double f = share < 1.0 ? std::sin(share * kQuarter) : 1.0;
  const auto g = static_cast<float>(f * std::sqrt(1 - kStrokeShare * kStrokeShare));
  const auto d = static_cast<float>(f * kStrokeShare);
  for (std::size_t i = 0; i < grid.size(); ++i)
    out[kThumbnailLength + i] = grid[i] * g;
  for (std::size_t i = 0; i < directions.size(); ++i)
    out[kThumbnailLength + kFineLength + i] += directions[i] * d;
  // Where both grids share the layout, both cuts' strokes lie in one place: unit length again.
  if (share < 1.0) {
    double squares = 0;
    for (const float v : out)
      squares += static_cast<double>(v) * v;
    if (squares > 0)
      for (float &v : out)
        v = static_cast<float>(v / std::sqrt(squares));
  }
  return result;
}

} // namespace lumora::textlayout
