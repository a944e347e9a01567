#pragma once

#include <QString>

/// The application's permission to read and change the photo library. Linux shows no
/// prompt: a request while nothing is decided grants full access, and the answer is kept
/// with the library. Never fails: a refusal is the result false. Safe from any thread.
namespace lumora::PhotoLibraryAccess {

/// True when the recorded status is authorized or limited; false for not determined,
/// restricted and denied. Asks nothing.
[[nodiscard]] bool isGranted();

/// Asks for read-write access (granted at once while nothing is decided) and returns true
/// when the resulting status is authorized or limited.
[[nodiscard]] bool requestAuthorization();

/// The fixed explanation shown when access is missing, with a blank line after each of its
/// first two sentences.
[[nodiscard]] QString denialHint();

} // namespace lumora::PhotoLibraryAccess
