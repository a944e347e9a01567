#include "tests/support/TestEnvironment.h"

#include "platform/core/imaging/VipsRuntime.h"

#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {
namespace {

std::string &homePath() {
  static std::string path;
  return path;
}

void removeHome() {
  std::error_code ec;
  std::filesystem::remove_all(homePath(), ec);
}

void makeDir(const std::string &path) { std::filesystem::create_directories(path); }

} // namespace

void isolateEnvironment() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pindle-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::abort();
  }
  homePath() = pattern;
  const std::string dataHome = pattern + "/.local/share";
  const std::string configHome = pattern + "/.config";
  const std::string cacheHome = pattern + "/.cache";
  const std::string runtimeDir = pattern + "/runtime";
  for (const auto &dir : {dataHome, configHome, cacheHome, runtimeDir}) {
    makeDir(dir);
  }
  std::filesystem::permissions(runtimeDir, std::filesystem::perms::owner_all);
  ::setenv("HOME", pattern.c_str(), 1);
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
  ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
  ::setenv("LUMORA_PHOTO_LIBRARY", (dataHome + "/Lumora/PhotoLibrary").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // libvips writes environment variables while it starts. Started later, on a decoding
  // thread, that races with the threads Qt and GLib start meanwhile (a crash in getenv), so
  // it starts here, with the application's policy, while the process has one thread.
  if (!platform::vipsruntime::ensureStarted()) {
    std::abort();
  }
  std::atexit(removeHome);
}

QString isolatedHome() { return QString::fromStdString(homePath()); }

std::filesystem::path homeTrash() {
  return std::filesystem::path(
             QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()) /
         "Trash";
}

std::size_t trashedFileCount() {
  const std::filesystem::path files = homeTrash() / "files";
  std::error_code error;
  std::size_t count = 0;
  for (std::filesystem::directory_iterator entry(files, error), end; !error && entry != end;
       entry.increment(error)) {
    ++count;
  }
  return count;
}

} // namespace testsupport
