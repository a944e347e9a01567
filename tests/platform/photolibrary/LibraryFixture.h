#pragma once

#include "platform/core/photolibrary/PhotoLibrary.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace testsupport {

/// Writes a generated photo (the format follows the extension) and returns its path.
std::filesystem::path writePhoto(const std::filesystem::path &path, int width, int height);

/// A fresh library in a temporary folder with a helper to add generated photos.
class LibraryFixture {
public:
  LibraryFixture();

  [[nodiscard]] std::filesystem::path location() const { return m_dir.path() / "Library"; }
  [[nodiscard]] platform::PhotoLibrary &library() { return *m_library; }
  /// Opens the library folder again through a new connection, as after a restart.
  [[nodiscard]] std::shared_ptr<platform::PhotoLibrary> reopen() const;
  /// Adds a generated photo and returns its identifier; fails the test when adding fails.
  std::string add(std::optional<double> created, std::optional<double> modified = std::nullopt,
                  int width = 64, int height = 48);
  [[nodiscard]] const TempDir &dir() const { return m_dir; }

private:
  TempDir m_dir;
  std::shared_ptr<platform::PhotoLibrary> m_library;
  int m_added = 0;
};

} // namespace testsupport
