#pragma once

/// The one process-wide set-up of libvips, shared by the folder decoder and the photo library.
/// Every piece of code that touches vips calls `ensureStarted()` first; it is cheap after the
/// first call, and whoever calls it first starts vips with the same policy.
namespace platform::vipsruntime {

/// Starts libvips once per process (thread-safe) with the policy a photo tool needs:
/// - no operation cache: every file is decoded once, so cached operations would only grow;
/// - loaders marked untrusted (SVG, netpbm, ImageMagick and the like) are blocked, so no
///   file reaches them whatever its name, in a folder or in the photo library;
/// - no run-time generated vector code;
/// - vips warnings about damaged files are dropped from stderr (callers report failures).
/// libvips may already have been started elsewhere in the process; the policy is applied
/// all the same.
/// Returns false when libvips could not be started; nothing can be decoded then.
[[nodiscard]] bool ensureStarted();

/// Registers the calling thread so that vips's per-thread buffers are freed when the
/// thread ends (`vips_thread_shutdown`). Called by every decoder on the threads it runs on;
/// calling it again is free.
void attachThread();

} // namespace platform::vipsruntime
