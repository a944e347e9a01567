// Measures how long pair building takes for a large synthetic library shot in bursts.
//
//   pair-throughput [--photos N] [--dim L] [--threads T] [--repeat R] [--gap-minutes G]
//                   [--seed S] [--json]
//
// Photos come in bursts of 1–12 frames a second or two apart; the frames of a burst are small
// perturbations of one random unit vector, bursts are random unit vectors, and the time
// between bursts is exponential with a mean of G minutes (default 20, dense enough that the
// engine's 6,000,000-pair limit is reached: the worst case). Each run measures the pairs with
// the engine's limits; the figures are the fastest and the median of R runs with T threads
// (0: every core) and one single-threaded run, whose result must be identical.

#include "engine/cluster/Clusterer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace lumora;

namespace {

struct Options {
  std::size_t photos = 100000;
  std::size_t dim = 256;
  unsigned threads = 0;
  int repeat = 5;
  double gapMinutes = 20;
  unsigned seed = 1;
  bool json = false;
};

bool parse(int argc, char **argv, Options &options) {
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    const bool hasValue = k + 1 < argc;
    if (arg == "--json") {
      options.json = true;
    } else if (arg == "--photos" && hasValue) {
      options.photos = std::strtoull(argv[++k], nullptr, 10);
    } else if (arg == "--dim" && hasValue) {
      options.dim = std::strtoull(argv[++k], nullptr, 10);
    } else if (arg == "--threads" && hasValue) {
      options.threads = static_cast<unsigned>(std::strtoul(argv[++k], nullptr, 10));
    } else if (arg == "--repeat" && hasValue) {
      options.repeat = std::max(1, std::atoi(argv[++k]));
    } else if (arg == "--gap-minutes" && hasValue) {
      options.gapMinutes = std::strtod(argv[++k], nullptr);
    } else if (arg == "--seed" && hasValue) {
      options.seed = static_cast<unsigned>(std::strtoul(argv[++k], nullptr, 10));
    } else {
      return false;
    }
  }
  return options.dim > 0;
}

std::vector<float> unitVector(std::vector<float> values) {
  double norm = 0;
  for (float v : values) {
    norm += static_cast<double>(v) * v;
  }
  const float scale = static_cast<float>(1.0 / std::sqrt(std::max(norm, 1e-30)));
  for (float &v : values) {
    v *= scale;
  }
  return values;
}

std::vector<PhotoItem> burstLibrary(const Options &options) {
  std::mt19937 rng(options.seed);
  std::normal_distribution<float> gauss(0.0f, 1.0f);
  std::uniform_int_distribution<int> burstSize(1, 12);
  std::uniform_real_distribution<double> frameGap(0.5, 2.0);
  std::exponential_distribution<double> burstGap(1.0 / (options.gapMinutes * 60.0));
  const float noise = 0.12f / std::sqrt(static_cast<float>(options.dim));
  std::vector<PhotoItem> items;
  items.reserve(options.photos);
  double time = 1.6e9;
  while (items.size() < options.photos) {
    std::vector<float> base(options.dim);
    for (float &v : base) {
      v = gauss(rng);
    }
    base = unitVector(std::move(base));
    for (int f = burstSize(rng); f > 0 && items.size() < options.photos; --f) {
      std::vector<float> frame = base;
      for (float &v : frame) {
        v += noise * gauss(rng);
      }
      const std::string id = "/photos/" + std::to_string(items.size()) + ".jpg";
      items.emplace_back(id, QUrl(), 0.0f, false, 100.0f, 2000000, Date{time},
                         unitVector(std::move(frame)), std::nullopt, Date{time}, false);
      time += frameGap(rng);
    }
    time += burstGap(rng);
  }
  return items;
}

double secondsFor(const std::vector<PhotoItem> &items, unsigned threads,
                  std::vector<PairDistance> &pairs) {
  pairs = {}; // release the previous result outside the measured time
  const auto start = std::chrono::steady_clock::now();
  pairs = Clusterer::buildPairs(items, Clusterer::kMaxGap, Clusterer::kMaxNeighborsPerItem,
                                Clusterer::kMaxPairs, threads);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: pair-throughput [--photos N] [--dim L] [--threads T] "
                         "[--repeat R] [--gap-minutes G] [--seed S] [--json]\n");
    return 2;
  }
  const unsigned threads =
      options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  const std::vector<PhotoItem> items = burstLibrary(options);
  std::vector<PairDistance> pairs;
  std::vector<double> times;
  for (int r = 0; r < options.repeat; ++r) {
    times.push_back(secondsFor(items, threads, pairs));
  }
  std::sort(times.begin(), times.end());
  std::vector<PairDistance> serial;
  const double serialTime = secondsFor(items, 1, serial);
  const bool identical =
      std::memcmp(serial.data(), pairs.data(),
                  std::min(serial.size(), pairs.size()) * sizeof(PairDistance)) == 0 &&
      serial.size() == pairs.size();
  const double best = times.front();
  const double median = times[times.size() / 2];
  if (options.json) {
    std::printf("{\"photos\":%zu,\"dim\":%zu,\"threads\":%u,\"pairs\":%zu,\"seconds\":%.6f,"
                "\"seconds_median\":%.6f,\"single_thread_seconds\":%.6f,\"identical\":%s}\n",
                items.size(), options.dim, threads, pairs.size(), best, median, serialTime,
                identical ? "true" : "false");
  } else {
    std::printf("photos %zu, feature length %zu, %zu pairs\n", items.size(), options.dim,
                pairs.size());
    std::printf("%u threads: %.1f ms (fastest of %d), %.1f ms median\n", threads, best * 1e3,
                options.repeat, median * 1e3);
    std::printf("1 thread:  %.1f ms; results identical: %s\n", serialTime * 1e3,
                identical ? "yes" : "NO");
  }
  return identical ? 0 : 1;
}
