#include "platform/core/imaging/VipsRuntime.h"

#include <vips/vips.h>
// After vips.h, which it needs.
#include <vips/vector.h>

#include <mutex>

namespace platform::vipsruntime {
namespace {

void dropMessage(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

bool start() {
  if (VIPS_INIT("pindle") != 0) {
    vips_error_clear();
    return false;
  }
  vips_cache_set_max(0);
  vips_cache_set_max_mem(0);
  vips_cache_set_max_files(0);
  // One vips thread per decode. Our own workers already decode several files at once, and
  // every vips thread holds its own strips of a picture as wide as the photo: a 14000-pixel
  // PNG took 500 MB on eight threads and under 300 MB on one, and no longer to decode,
  // since PNG, TIFF and GIF decode on one thread whatever follows. The memory a decode is
  // charged (DecodeCost.h) was measured on one thread.
  vips_concurrency_set(1);
  // No run-time generated vector code: freeing a resampler's compiled code while other
  // threads decode crashes inside the vector library (seen while thumbnails stream in
  // during fast scrolling); the plain C paths are fast enough for thumbnail sizes.
  vips_vector_set_enabled(FALSE);
  // Untrusted loaders (ImageMagick among them) never see a user's file. Saving through
  // ImageMagick reads no user file, so that one stays open.
  vips_block_untrusted_set(TRUE);
  vips_operation_block_set("VipsForeignSaveMagick", FALSE);
  g_log_set_handler("VIPS",
                    static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE |
                                                G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG),
                    dropMessage, nullptr);
  return true;
}

/// Lives once per thread that decoded something; its destructor runs at thread exit.
struct ThreadGuard {
  ~ThreadGuard() { vips_thread_shutdown(); }
};

} // namespace

bool ensureStarted() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] { started = start(); });
  return started;
}

void attachThread() { thread_local ThreadGuard guard; }

} // namespace platform::vipsruntime
