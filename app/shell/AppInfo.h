#pragma once

#include <QString>
#include <optional>

namespace lumora {

/// The application's version and build, compiled in from the build (the project version
/// and PINDLE_BUILD_NUMBER). The About tab shows them.
class AppInfo {
public:
  /// The version, e.g. "0.1.0"; "1.0" when the build gave none.
  [[nodiscard]] static QString shortVersion();
  /// The build number; "1" when the build gave none.
  [[nodiscard]] static QString buildVersion();
  /// The values as compiled in, none when empty (the launch log line writes "?" then).
  [[nodiscard]] static std::optional<QString> compiledShortVersion();
  [[nodiscard]] static std::optional<QString> compiledBuildVersion();

  /// Hands the build number and the identifier to the diagnostics report, which cannot read
  /// them on its own. Called once at start-up.
  static void describeToDiagnostics();

  /// The desktop identity: application name, reverse-DNS identifier, desktop entry name.
  static constexpr char kName[] = "Pindle";
  static constexpr char kIdentifier[] = "com.lumora.Pindle";
};

} // namespace lumora
