#pragma once

#include "engine/model/Date.h"
#include "engine/model/PhotoItem.h"
#include "engine/model/ScanTypes.h"
#include "engine/scan/CancelFlag.h"
#include "engine/scan/ItemSink.h"
#include "engine/scan/ProgressBox.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

/// The pool of worker threads that analyses a scan's cache misses. Each worker takes one
/// contiguous slice of the misses and works through it in order, reports progress after every
/// photo and hands its analysed photos over in batches, so that the cache log and the live
/// results grow while the scan runs. Cancellation is cooperative: a worker looks at the scan's
/// stop token before each photo.
///
/// Workers never hold a lock while they call back: the three shared boxes are locked for one
/// read, append or increment only. A caller that guards its own state with one mutex may
/// therefore take that mutex inside `onBatch` (briefly) and must never hold it while it waits
/// for `analyzeConcurrently` to return.
namespace lumora::analysisworkers {

/// After a photo that analysed, a worker hands its batch over once this many seconds passed
/// since its last hand-over, even when the batch is not full.
inline constexpr double kFlushIntervalSeconds = 1.0;

/// What one run of the workers gives back.
struct BatchOutcome {
  /// Every photo analysed by any worker, in the order they finished.
  std::vector<PhotoItem> items;
  /// A worker saw the scan cancelled, or it was cancelled by the time all workers ended.
  bool cancelled = false;
  /// The inputs the workers came to, analysed or failed; the rest were never reached.
  std::int64_t handled = 0;
};

/// The numbers of one run.
struct WorkerPlan {
  /// Photos of the whole scan, cache hits included.
  std::int64_t total = 0;
  /// Photos already done before the workers start: the progress count begins here.
  std::int64_t cacheHits = 0;
  /// Most workers running at once; values below 1 mean one.
  std::int64_t workers = 1;
  /// Photos per batch; values below 1 mean one.
  std::int64_t flushEvery = 250;
  /// When the scan began: progress reports count elapsed time and estimates from here.
  Date t0;
  /// The clock for elapsed time and the batch interval; replaceable in tests.
  std::function<Date()> clock = &Date::now;
};

/// What the scan supplies per input. Every callback may be called from any worker at any time
/// and must be safe for that. Only `analyze` may throw (the input then counts as failed); the
/// others must not.
template <typename Input, typename Analysis> struct WorkerCallbacks {
  /// Receives an `analyzing` report after every input, failed ones included; reports of
  /// different workers may arrive out of `done` order.
  std::function<void(const ScanProgress &)> progress;
  /// Analyses one input; nothing when it cannot be used.
  std::function<std::optional<Analysis>(const Input &)> analyze;
  /// Builds the photo of an input and its analysis.
  std::function<PhotoItem(const Input &, const Analysis &)> makeItem;
  /// The name shown for the input in progress reports.
  std::function<QString(const Input &)> nameOf;
  /// Receives each batch of analysed photos; the worker waits until it returns.
  std::function<void(const std::vector<PhotoItem> &)> onBatch;
};

/// Splits `items` into contiguous slices of ⌈length ÷ n⌉ items from the start, where n is
/// `workers` clamped to 1…length; the last slice may be shorter and there may be fewer than n
/// slices (9 items and 4 workers give three slices of 3). An empty list gives no slices.
template <typename T>
[[nodiscard]] std::vector<std::vector<T>> chunk(const std::vector<T> &items, std::int64_t workers) {
  const auto length = static_cast<std::int64_t>(items.size());
  std::vector<std::vector<T>> slices;
  if (length == 0) {
    return slices;
  }
  const std::int64_t n = std::clamp<std::int64_t>(workers, 1, length);
  const std::int64_t size = (length + n - 1) / n;
  for (std::int64_t start = 0; start < length; start += size) {
    const std::int64_t end = std::min(start + size, length);
    slices.emplace_back(items.begin() + start, items.begin() + end);
  }
  return slices;
}

namespace detail {

/// What every worker of one run shares.
struct SharedState {
  const WorkerPlan &plan;
  std::stop_token stop;
  ProgressBox done;
  ItemSink sink;
  CancelFlag cancelled;
};

/// The `analyzing` report for `done` photos handled, with the estimate spread over all of them.
[[nodiscard]] ScanProgress progressAfter(std::int64_t done, const WorkerPlan &plan,
                                         QString currentName);

/// Starts the image decoder library once per process, so that its per-thread resources can be
/// released; false when it could not be started.
[[nodiscard]] bool prepareThreadResources();

/// Releases what the image decoder keeps per thread; called as a worker thread ends.
void releaseThreadResources(bool prepared);

template <typename Input, typename Analysis>
[[nodiscard]] std::optional<Analysis>
analyzeSafely(const WorkerCallbacks<Input, Analysis> &callbacks, const Input &input) {
  try {
    return callbacks.analyze(input);
  } catch (...) {
    return std::nullopt; // an input whose analysis throws yields no photo, like a failed load
  }
}

/// One worker: its slice in order, stopping before the next input once the scan is cancelled.
template <typename Input, typename Analysis>
void runSlice(const std::vector<Input> &slice, SharedState &shared,
              const WorkerCallbacks<Input, Analysis> &callbacks) {
  const WorkerPlan &plan = shared.plan;
  const auto flushEvery = static_cast<std::size_t>(std::max<std::int64_t>(plan.flushEvery, 1));
  std::vector<PhotoItem> batch;
  batch.reserve(std::min(slice.size(), flushEvery));
  Date lastHandOver = plan.clock();
  for (const Input &input : slice) {
    if (shared.stop.stop_requested()) {
      shared.cancelled.set();
      break;
    }
    if (const std::optional<Analysis> analysis = analyzeSafely(callbacks, input)) {
      PhotoItem item = callbacks.makeItem(input, *analysis);
      shared.sink.append(item);
      batch.push_back(std::move(item));
      const double sinceHandOver = plan.clock().secondsSince1970 - lastHandOver.secondsSince1970;
      if (batch.size() >= flushEvery || sinceHandOver >= kFlushIntervalSeconds) {
        callbacks.onBatch(batch);
        batch.clear();
        lastHandOver = plan.clock();
      }
    }
    callbacks.progress(progressAfter(shared.done.increment(), plan, callbacks.nameOf(input)));
  }
  if (!batch.empty()) {
    callbacks.onBatch(batch);
  }
}

} // namespace detail

/// Analyses `inputs` on up to `plan.workers` threads, one per slice of `chunk`, and waits for
/// all of them. Photos analysed before a cancellation are in the outcome and have all been
/// handed to `onBatch`. Safe to call from any thread; call it with no lock held that `onBatch`
/// or any other callback takes.
template <typename Input, typename Analysis>
[[nodiscard]] BatchOutcome
analyzeConcurrently(const std::vector<Input> &inputs, const WorkerPlan &plan,
                    const WorkerCallbacks<Input, Analysis> &callbacks, std::stop_token stop) {
  detail::SharedState shared{plan, stop, ProgressBox(plan.cacheHits), {}, {}};
  const std::vector<std::vector<Input>> slices = chunk(inputs, plan.workers);
  const bool prepared = detail::prepareThreadResources();
  {
    std::vector<std::jthread> threads;
    threads.reserve(slices.size());
    for (const std::vector<Input> &slice : slices) {
      try {
        threads.emplace_back([&shared, &slice, &callbacks, prepared] {
          detail::runSlice(slice, shared, callbacks);
          detail::releaseThreadResources(prepared);
        });
      } catch (const std::system_error &) {
        // No thread to be had: this slice runs here rather than being lost.
        detail::runSlice(slice, shared, callbacks);
      }
    }
  } // joins every worker
  return BatchOutcome{shared.sink.take(), shared.cancelled.isSet() || stop.stop_requested(),
                      shared.done.value() - plan.cacheHits};
}

} // namespace lumora::analysisworkers
