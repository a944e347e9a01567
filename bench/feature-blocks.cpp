// feature-blocks FOLDER: analyses every image under FOLDER (512-pixel thumbnails decoded as a
// scan decodes them) and prints
// one tab-separated line per file: the file name relative to FOLDER, score, utility flag,
// sharpness, the quality measures, then each unweighted feature block as space-separated
// numbers. tools/calibration/learn-feature-weights reads this to fit the block weights; the
// measures are the inputs of the score and the utility flag.

#include "BenchScan.h"

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/QualityMeasures.h"
#include "engine/analysis/VisionAnalyzer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool isImage(const fs::path &path) {
  return lumora::ImageLoader::supportedExtensions().contains(
      lumora::ImageLoader::lowercaseExtension(path.filename().string()));
}

std::string describe(const fs::path &root, const fs::path &file) {
  const auto thumb = benchtools::loadThumbnail(file);
  if (!thumb)
    return {};
  const lumora::PixelView view = benchtools::viewOf(*thumb);
  const auto analysis = lumora::VisionAnalyzer::analyze(view);
  if (!analysis)
    return {};
  const lumora::ImagePlanes planes(view);
  const lumora::QualityMeasures m =
      lumora::QualityMeasures::measure(view, planes, analysis->sharpness);
  std::ostringstream line;
  line << fs::relative(file, root).string() << '\t' << analysis->score << '\t'
       << analysis->isUtility << '\t' << analysis->sharpness;
  for (float v : {m.meanGrey, m.contrast, m.clippedDark, m.clippedBright, m.colourfulness, m.noise,
                  m.exactFlat, m.dominantColours, m.paper, m.clippedChannel, m.axisAligned}) {
    line << '\t' << v;
  }
  for (const auto &block : lumora::featureprint::blocks(planes)) {
    line << '\t';
    for (std::size_t i = 0; i < block.size(); ++i)
      line << (i ? " " : "") << block[i];
  }
  return line.str();
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: feature-blocks FOLDER\n");
    return 2;
  }
  const fs::path root = argv[1];
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file() && isImage(it->path()))
      files.push_back(it->path());
  }
  if (error) {
    std::fprintf(stderr, "feature-blocks: cannot list %s: %s\n", root.c_str(),
                 error.message().c_str());
    return 1;
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> lines(files.size());
  std::atomic<std::size_t> next{0};
  std::vector<std::jthread> workers;
  for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
    workers.emplace_back([&] {
      for (std::size_t i; (i = next++) < files.size();)
        lines[i] = describe(root, files[i]);
    });
  }
  workers.clear();
  std::printf("file\tscore\tutility\tsharpness\tmean\tcontrast\tdark\tbright\tcolour\tnoise\tflat\t"
              "dominant\tpaper\tchannel\taxis\tblocks...\n");
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (lines[i].empty()) {
      std::fprintf(stderr, "feature-blocks: cannot analyse %s\n", files[i].c_str());
      continue;
    }
    std::printf("%s\n", lines[i].c_str());
  }
  return 0;
}
