#pragma once

// Picture makers for the memory benchmarks' generated folders. A folder is made in a child
// process (`buildInChild`), so that the memory its generation takes never counts in the
// peak the benchmark then measures.

// libvips (through GLib) must come before Qt: Qt's "signals" keyword macro breaks GIO headers.
#include <vips/vips.h>

#include <cstdio>
#include <functional>
#include <string>
#include <sys/wait.h>
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

inline bool saveJpeg(const std::string &path, int width, int height, bool progressive) {
  VipsImage *image = gradient(width, height);
  const int failed = vips_jpegsave(image, path.c_str(), "Q", 90, "interlace", progressive,
                                   "subsample_mode", VIPS_FOREIGN_SUBSAMPLE_OFF, nullptr);
  g_object_unref(image);
  return failed == 0;
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
