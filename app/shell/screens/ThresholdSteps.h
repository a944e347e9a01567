#pragma once

/// The no-similar screen's looser and stricter buttons: steps of 0.06 within the similarity
/// range 0.18…0.55. Every result lies on the similarity slider's 0.01 grid, so the slider
/// can show it and the message's percentage agrees with the slider's: 0.36 + 0.06 in single
/// precision is 0.42000002, which reads 47 % where the slider's 0.42 reads 48 %.
namespace lumora::thresholdsteps {

inline constexpr float kStep = 0.06f;

/// The looser button is enabled below the loosest threshold (compared in single precision).
[[nodiscard]] bool canLoosen(float threshold);
/// The stricter button is present above the strictest threshold.
[[nodiscard]] bool canTighten(float threshold);
/// threshold + 0.06, at most 0.55, on the slider's grid.
[[nodiscard]] float looser(float threshold);
/// threshold − 0.06, at least 0.18, on the slider's grid.
[[nodiscard]] float stricter(float threshold);
/// The nearest value the slider can show ((18 + k) / 100 as one float division), within
/// 0.18…0.55; the default threshold for a value that is not a number.
[[nodiscard]] float onSliderGrid(float threshold);

} // namespace lumora::thresholdsteps
