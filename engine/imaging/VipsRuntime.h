#pragma once

/// Process-wide set-up of libvips for a photo scanner. Every entry point of the engine that
/// touches vips calls `ensureStarted()` first; it is cheap after the first call.
namespace lumora::VipsRuntime {

/// Starts libvips once per process (thread-safe) with the policy a scanner needs:
/// - no operation cache: every file is decoded once, so cached operations would only grow;
/// - loaders and savers marked untrusted (PDF, SVG, FITS, CSV, raw, …) are blocked, so no
///   file reaches them whatever its name. ImageMagick stays available because the app's
///   thumbnail decoder reads BMP through it; the engine's own decoder never uses it (it
///   accepts only the loaders of the photo formats and reads BMP itself);
/// - vips warnings about damaged files are dropped from stderr (the decoder logs failures).
/// libvips may already have been started elsewhere in the process; the policy is applied
/// all the same.
/// Returns false when libvips could not be started; nothing can be decoded then.
[[nodiscard]] bool ensureStarted();

/// Registers the calling thread so that vips's per-thread buffers are freed when the
/// thread ends (`vips_thread_shutdown`). Called by the decoder on every thread it runs on;
/// calling it again is free.
void attachThread();

} // namespace lumora::VipsRuntime
