#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string_view>

namespace lumora {

/// The quality band of a photo's displayed score (0…10 scale).
enum class ScoreTier { great, good, fair, poor };

namespace scoretier {

inline constexpr std::array<ScoreTier, 4> kAll{ScoreTier::great, ScoreTier::good, ScoreTier::fair,
                                               ScoreTier::poor};

/// "great", "good", "fair" or "poor".
[[nodiscard]] std::string_view rawValue(ScoreTier tier);
/// The tier named by `raw`; none for any other string.
[[nodiscard]] std::optional<ScoreTier> fromRawValue(std::string_view raw);
/// The engine's fixed Chinese label: "出色", "不错", "一般", "较差".
[[nodiscard]] QString label(ScoreTier tier);
/// The tier of a displayed score: ≥ 8.5 great, ≥ 7.0 good, ≥ 5.0 fair, else (also NaN) poor.
[[nodiscard]] ScoreTier forDisplayScore(double displayScore);

} // namespace scoretier
} // namespace lumora
