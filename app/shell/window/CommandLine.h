#pragma once

#include <optional>

/// The questions the command line can ask without starting the window.
namespace lumora::commandline {

/// Answers "--help" (or "-h") and "--version" (or "-v") before anything needs a display:
/// prints the usage, or "Pindle <version> (<build>)", to standard output and returns the
/// exit code 0. Returns none when neither was asked: the application starts as usual.
[[nodiscard]] std::optional<int> answerInformationRequest(int argc, char **argv);

} // namespace lumora::commandline
