#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

/// Entries planted in place of the application's files, and a file of the user's that a
/// planted link points at, which must come out of every test as it went in.
namespace testsupport {

enum class Planted { fifo, symlink };

/// Writes known bytes with mode 0644 to `target`.
void makeLinkTarget(const std::filesystem::path &target);
/// True when `target` still holds those bytes with that mode.
bool isUntouchedLinkTarget(const std::filesystem::path &target);

/// Puts a FIFO, or a link to `target`, at `at`; false when that failed.
bool plant(Planted kind, const std::filesystem::path &at, const std::filesystem::path &target);
/// True when a regular file (no link, no FIFO) stands at `path`.
bool isRegularFile(const std::filesystem::path &path);

/// Runs `work` on a thread of its own for at most `limit`. Past it, the FIFOs in `folder` are
/// opened and closed until the work ends, and the result is false: a test fails, never hangs.
bool finishesWithin(std::chrono::milliseconds limit, const std::function<void()> &work,
                    const std::filesystem::path &folder);

inline std::string nameOf(Planted kind) { return kind == Planted::fifo ? "fifo" : "symlink"; }
inline void PrintTo(Planted kind, std::ostream *out) { *out << nameOf(kind); }

} // namespace testsupport
