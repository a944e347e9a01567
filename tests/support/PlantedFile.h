#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

namespace testsupport {

/// What is planted in place of one of the application's files.
enum class Planted { fifo, symlink };

/// A file of the user's outside the data folder, with known bytes and mode 0644, that planted
/// links point at: it must come out of any test exactly as it went in.
class LinkTarget {
public:
  explicit LinkTarget(std::filesystem::path path);
  [[nodiscard]] const std::filesystem::path &path() const { return m_path; }
  /// True when the bytes and the mode are still those it was made with.
  [[nodiscard]] bool isUntouched() const;

private:
  std::filesystem::path m_path;
};

/// Puts a FIFO, or a link to `target`, at `at`; false when that failed.
bool plant(Planted kind, const std::filesystem::path &at, const std::filesystem::path &target);

/// True when a regular file (not a link, not a FIFO) stands at `path`.
bool isRegularFile(const std::filesystem::path &path);

/// Runs `work` on a thread of its own and waits for it at most `limit`. When it has not
/// finished by then, every FIFO in `folder` is opened and closed again so that an open or
/// read blocked on one ends, and the result is false: the test fails instead of hanging.
bool finishesWithin(std::chrono::milliseconds limit, const std::function<void()> &work,
                    const std::filesystem::path &folder);

/// "fifo" or "symlink", for test names.
std::string nameOf(Planted kind);

/// Prints `kind` by its name in test output.
inline void PrintTo(Planted kind, std::ostream *out) { *out << nameOf(kind); }

} // namespace testsupport
