#include "engine/scan/AnalysisWorkers.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

using namespace lumora;
using namespace lumora::analysisworkers;

namespace {

using Ids = std::multiset<std::string>;

std::vector<int> range(int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) {
    values.push_back(i);
  }
  return values;
}

Ids idsOf(const std::vector<PhotoItem> &items) {
  Ids ids;
  for (const PhotoItem &item : items) {
    ids.insert(item.id);
  }
  return ids;
}

std::optional<int> analyzeAll(const int &input) { return input; }

/// Records every callback, from any number of workers. Inputs are ints; photo ids "/p/<int>".
struct Recorder {
  std::mutex lock;
  std::vector<ScanProgress> reports;
  std::vector<std::vector<PhotoItem>> batches;

  WorkerCallbacks<int, int> callbacks(std::function<std::optional<int>(const int &)> analyze) {
    return {[this](const ScanProgress &p) {
              const std::scoped_lock guard(lock);
              reports.push_back(p);
            },
            std::move(analyze),
            [](const int &input, const int &) {
              PhotoItem item;
              item.id = "/p/" + std::to_string(input);
              return item;
            },
            [](const int &input) { return QString::number(input); },
            [this](const std::vector<PhotoItem> &batch) {
              const std::scoped_lock guard(lock);
              batches.push_back(batch);
            }};
  }
  std::vector<std::size_t> batchSizes() const {
    std::vector<std::size_t> sizes;
    for (const auto &batch : batches) {
      sizes.push_back(batch.size());
    }
    return sizes;
  }
  Ids batchedIds() const {
    Ids ids;
    for (const auto &batch : batches) {
      ids.merge(idsOf(batch));
    }
    return ids;
  }
};

/// A clock that moves only when a test moves it.
struct ManualClock {
  std::atomic<double> now{1000};
  std::function<Date()> function() {
    return [this] { return Date{now.load()}; };
  }
};

} // namespace

TEST(AnalysisWorkers, chunkMakesContiguousSlicesOfCeilingSize) {
  const auto sizesOf = [](int length, std::int64_t workers) {
    std::vector<std::size_t> sizes;
    for (const auto &slice : chunk(range(length), workers)) {
      sizes.push_back(slice.size());
    }
    return sizes;
  };
  EXPECT_EQ(sizesOf(9, 4), (std::vector<std::size_t>{3, 3, 3})); // fewer tasks than workers
  EXPECT_EQ(sizesOf(10, 4), (std::vector<std::size_t>{3, 3, 3, 1}));
  EXPECT_EQ(sizesOf(3, 8), (std::vector<std::size_t>{1, 1, 1}));
  EXPECT_EQ(sizesOf(5, 0), (std::vector<std::size_t>{5}));
  EXPECT_TRUE(chunk(std::vector<int>{}, 4).empty());
  EXPECT_EQ(chunk(range(10), 4)[1], (std::vector<int>{3, 4, 5}));
}

TEST(AnalysisWorkers, progressCountsFromCacheHitsAndEveryInputIsReportedOnce) {
  ManualClock clock;
  Recorder recorder;
  // 5 hits and 10 photos in all; the second worker's inputs fail or throw but still count.
  const auto analyze = [](const int &input) -> std::optional<int> {
    if (input == 4) {
      throw std::runtime_error("decoder failure");
    }
    return input < 3 ? std::optional<int>(input) : std::nullopt;
  };
  const WorkerPlan plan{10, 5, 2, 250, Date{clock.now - 2}, clock.function()};
  const BatchOutcome outcome = analyzeConcurrently(range(5), plan, recorder.callbacks(analyze), {});
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_EQ(idsOf(outcome.items), (Ids{"/p/0", "/p/1", "/p/2"}));
  EXPECT_EQ(recorder.batchSizes(), std::vector<std::size_t>{3}) << "a failing slice hands nothing";

  std::set<std::int64_t> done;
  std::set<QString> names;
  for (const ScanProgress &report : recorder.reports) {
    EXPECT_EQ(report.total, 10);
    EXPECT_DOUBLE_EQ(report.elapsed, 2);
    // 2 s spread over `done` photos, projected onto the rest; nothing left at the end.
    EXPECT_EQ(report.eta, report.done < 10
                              ? std::optional<double>(2.0 / report.done * (10 - report.done))
                              : std::nullopt);
    done.insert(report.done);
    names.insert(report.currentName);
  }
  EXPECT_EQ(recorder.reports.size(), 5u);
  EXPECT_EQ(done, (std::set<std::int64_t>{6, 7, 8, 9, 10})); // never the same count twice
  EXPECT_EQ(names, (std::set<QString>{"0", "1", "2", "3", "4"}));
}

TEST(AnalysisWorkers, batchIsHandedOverWhenFullOrAfterASecondAndRestAtEndOfSlice) {
  ManualClock clock; // frozen: only the count triggers a hand-over
  Recorder byCount;
  (void)analyzeConcurrently(range(10), WorkerPlan{10, 0, 1, 4, Date{clock.now}, clock.function()},
                            byCount.callbacks(analyzeAll), {});
  EXPECT_EQ(byCount.batchSizes(), (std::vector<std::size_t>{4, 4, 2}));

  Recorder byTime; // each photo takes half a second of the manual clock
  const auto slowAnalyze = [&clock](const int &input) -> std::optional<int> {
    clock.now = clock.now + 0.5;
    return input;
  };
  (void)analyzeConcurrently(range(9), WorkerPlan{9, 0, 1, 250, Date{clock.now}, clock.function()},
                            byTime.callbacks(slowAnalyze), {});
  EXPECT_EQ(byTime.batchSizes(), (std::vector<std::size_t>{2, 2, 2, 2, 1}));
}

TEST(AnalysisWorkers, cancellationStopsEveryWorkerAndKeepsWhatWasAnalysed) {
  Recorder recorder;
  std::stop_source source;
  std::atomic<int> calls{0};
  const auto analyze = [&](const int &input) -> std::optional<int> {
    if (++calls == 6) {
      source.request_stop();
    }
    return input;
  };
  const BatchOutcome outcome =
      analyzeConcurrently(range(400), WorkerPlan{400, 0, 4, 250, Date::now()},
                          recorder.callbacks(analyze), source.get_token());
  EXPECT_TRUE(outcome.cancelled);
  // Each of the four workers stops before its next input: at most one more call each.
  EXPECT_GE(outcome.items.size(), 6u);
  EXPECT_LE(outcome.items.size(), 9u);
  EXPECT_EQ(outcome.items.size(), static_cast<std::size_t>(calls.load()));
  EXPECT_EQ(recorder.reports.size(), outcome.items.size()); // none for inputs not started
  EXPECT_EQ(recorder.batchedIds(), idsOf(outcome.items));   // everything reached the cache

  Recorder early;
  const BatchOutcome none = analyzeConcurrently(range(10), WorkerPlan{10, 0, 3, 250, Date::now()},
                                                early.callbacks(analyzeAll), source.get_token());
  EXPECT_TRUE(none.cancelled);
  EXPECT_TRUE(none.items.empty());
  EXPECT_TRUE(early.reports.empty() && early.batches.empty());
}

// The engine's pattern: one mutex guards its state, taken briefly inside onBatch and by other
// operations (a live regroup) while the workers run; nothing is lost and nothing deadlocks.
TEST(AnalysisWorkers, engineLockTakenInsideBatchesAndBesideThemNeverDeadlocks) {
  constexpr int kInputs = 3000;
  std::mutex engineLock;
  std::vector<PhotoItem> persisted;
  std::atomic<bool> scanning{true};
  std::jthread regrouper([&] {
    while (scanning) {
      const std::scoped_lock guard(engineLock);
      [[maybe_unused]] const std::size_t seen = persisted.size();
    }
  });
  Recorder recorder;
  WorkerCallbacks<int, int> callbacks = recorder.callbacks(analyzeAll);
  callbacks.onBatch = [&](const std::vector<PhotoItem> &batch) {
    const std::scoped_lock guard(engineLock);
    persisted.insert(persisted.end(), batch.begin(), batch.end());
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  };
  const BatchOutcome outcome = analyzeConcurrently(
      range(kInputs), WorkerPlan{kInputs, 0, 8, 16, Date::now()}, callbacks, {});
  scanning = false;
  EXPECT_EQ(recorder.reports.size(), static_cast<std::size_t>(kInputs));
  const std::scoped_lock guard(engineLock);
  const Ids persistedIds = idsOf(persisted);
  EXPECT_EQ(persistedIds, idsOf(outcome.items));
  EXPECT_EQ(std::set<std::string>(persistedIds.begin(), persistedIds.end()).size(),
            static_cast<std::size_t>(kInputs)); // each photo handed over exactly once
}
