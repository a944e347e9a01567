#pragma once

// Picture makers for the memory benchmarks' generated folders. A folder is made in a child
// process (`buildInChild`), so that the memory its generation takes never counts in the
// peak the benchmark then measures.

// libvips (through GLib) must come before Qt: Qt's "signals" keyword macro breaks GIO headers.
#include <vips/vips.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace benchfolders {

/// A smooth colour picture of `width` × `height`, cheap to make at any size.
inline VipsImage *gradient(int width, int height) {
  VipsImage *xy = nullptr;
  VipsImage *scaled = nullptr;
  VipsImage *x = nullptr;
  VipsImage *y = nullptr;
  VipsImage *out = nullptr;
  vips_xyz(&xy, width, height, nullptr);
  const double scale[] = {255.0 / width, 255.0 / height};
  const double offset[] = {0, 0};
  vips_linear(xy, &scaled, scale, offset, 2, "uchar", TRUE, nullptr);
  vips_extract_band(scaled, &x, 0, nullptr);
  vips_extract_band(scaled, &y, 1, nullptr);
  VipsImage *bands[] = {x, y, x};
  vips_bandjoin(bands, &out, 3, nullptr);
  for (VipsImage *image : {xy, scaled, x, y}) {
    g_object_unref(image);
  }
  return out;
}

/// A picture with detail at several scales, so that it codes like a photo, not a flat field.
inline VipsImage *photoLike(int width, int height) {
  VipsImage *base = gradient(width, height);
  VipsImage *noise = nullptr;
  VipsImage *sum = nullptr;
  VipsImage *out = nullptr;
  vips_gaussnoise(&noise, width, height, "sigma", 24.0, "mean", 0.0, nullptr);
  vips_add(base, noise, &sum, nullptr);
  vips_cast(sum, &out, VIPS_FORMAT_UCHAR, nullptr);
  for (VipsImage *image : {base, noise, sum}) {
    g_object_unref(image);
  }
  return out;
}

/// Saves `image` to `path` (options allowed) and lets it go.
inline bool saveAndRelease(VipsImage *image, const std::string &path) {
  const int failed = vips_image_write_to_file(image, path.c_str(), nullptr);
  g_object_unref(image);
  return failed == 0;
}

inline bool saveJpeg(const std::string &path, int width, int height, bool progressive) {
  VipsImage *image = gradient(width, height);
  const int failed = vips_jpegsave(image, path.c_str(), "Q", 90, "interlace", progressive,
                                   "subsample_mode", VIPS_FOREIGN_SUBSAMPLE_OFF, nullptr);
  g_object_unref(image);
  return failed == 0;
}

/// The file that marks a folder a benchmark made (hidden, so scans pass it by).
inline constexpr const char *kMadeMarker = ".made-by-bench";

/// Makes `dir` ready to be filled by `tool` and marks it as made by a benchmark. A missing
/// or empty folder is taken; a folder a benchmark made before (it holds the marker) is
/// emptied. Anything else (a folder with other files, a file, a link) is refused with a
/// message and left as it is, so that a real folder passed by mistake is never wiped. False
/// when refused or not writable.
inline bool claimFolder(const std::string &dir, const char *tool) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder(dir);
  const fs::file_status status = fs::symlink_status(folder, error);
  if (fs::exists(status)) {
    const bool ours = fs::is_directory(status) &&
                      (fs::is_empty(folder, error) ||
                       fs::is_regular_file(fs::symlink_status(folder / kMadeMarker, error)));
    if (!ours) {
      std::fprintf(stderr, "%s: %s holds files no benchmark made; give a new or empty folder\n",
                   tool, dir.c_str());
      return false;
    }
    fs::remove_all(folder, error);
  }
  fs::create_directories(folder, error);
  std::ofstream(folder / kMadeMarker) << tool << '\n';
  return fs::is_regular_file(folder / kMadeMarker, error);
}

/// Runs `build` in a child process with libvips started; true when it returned true.
inline bool buildInChild(const char *name, const std::function<bool()> &build) {
  const pid_t child = ::fork();
  if (child == 0) {
    const bool made = VIPS_INIT(name) == 0 && build();
    vips_shutdown();
    std::fflush(nullptr);
    ::_exit(made ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

} // namespace benchfolders
