#pragma once

#include <QString>
#include <cstdint>

namespace lumora {
class AppStore;
}

/// What the live results screen and its scan status banner show, read from the store: the
/// counts, the banner's headline, the form of its progress bar and the hint's texts. Every
/// number is formatted with the locale's grouping. GUI thread.
namespace lumora::livescanstate {

/// N photos analysed so far, of T expected, in G groups.
struct Counts {
  std::int64_t photos = 0;
  std::int64_t total = 0;
  std::int64_t groups = 0;
};

/// How the banner draws its progress.
enum class BarForm {
  /// Not shown: the scan is neither running nor paused.
  hidden,
  /// Fill of N ÷ T over a track.
  determinate,
  /// The moving bar, when there is no total or more photos than the total.
  indeterminate,
  /// The indeterminate bar under reduced motion: a still 30 % fill.
  still,
};

[[nodiscard]] Counts counts(const AppStore &store);
/// Whether a running scan is stopping for a pause: asked to, or already paused while its
/// groups are refreshed before the phase ends.
[[nodiscard]] bool isPausing(const AppStore &store);
/// The banner's one-line status: the scanning forms while the phase scans, the paused form
/// for a paused scan, and a scan that ran to its end keeps its analysing count.
[[nodiscard]] QString headline(const AppStore &store);
[[nodiscard]] BarForm barForm(const AppStore &store, bool reduceMotion);
/// N ÷ T clamped to 0…1; 0 without a total.
[[nodiscard]] double fraction(const AppStore &store);
/// The running hint: "已发现 N 张照片，正在寻找相似组…".
[[nodiscard]] QString findingText(const AppStore &store);
/// The paused hint's explanation with N, T and the T − N photos still to analyse.
[[nodiscard]] QString pausedDetail(const AppStore &store);

} // namespace lumora::livescanstate
