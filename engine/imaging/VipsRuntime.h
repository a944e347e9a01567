#pragma once

/// Process-wide set-up of libvips for a photo scanner. Every entry point of the engine that
/// touches vips calls `ensureStarted()` first; it is cheap after the first call.
namespace lumora::VipsRuntime {

/// Starts libvips once per process (thread-safe) with the policy a scanner needs:
/// - no operation cache: every file is decoded once, so cached operations would only grow;
/// - loaders marked untrusted (ImageMagick, PDF, SVG, …) are blocked, so a file with a photo
///   extension can only reach the decoders of the formats we list;
/// - one vips worker thread per pipeline: scans run several decodes side by side already,
///   and a small thumbnail gains nothing from splitting it into tiles;
/// - vips warnings about damaged files are dropped from stderr (failures are logged by the
///   decoder instead).
/// Returns false when libvips could not be started; nothing can be decoded then.
[[nodiscard]] bool ensureStarted();

/// Registers the calling thread so that vips's per-thread buffers are freed when the
/// thread ends (`vips_thread_shutdown`). Called by the decoder on every thread it runs on;
/// calling it again is free.
void attachThread();

} // namespace lumora::VipsRuntime
