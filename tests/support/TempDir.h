#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

/// A fresh folder under the isolated HOME, removed with everything in it when the
/// object goes out of scope.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  [[nodiscard]] const std::filesystem::path &path() const { return m_path; }
  /// The path of `name` inside the folder.
  [[nodiscard]] std::filesystem::path file(const std::string &name) const { return m_path / name; }
  /// Writes `bytes` to `name` inside the folder and returns its path.
  std::filesystem::path write(const std::string &name, const std::string &bytes) const;

private:
  std::filesystem::path m_path;
};

/// The whole contents of the file at `path`; empty when it cannot be read.
[[nodiscard]] std::string readBytes(const std::filesystem::path &path);

} // namespace testsupport
