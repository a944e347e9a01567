// utility-eval FOLDER --labels UTILITY.tsv [--json]
//
// Scans FOLDER with the engine like similarity-eval (see BenchScan.h) and measures the utility flag against
// UTILITY.tsv, one line per file: file<TAB>1 for a screenshot or document, 0 for a photo.
// Prints accuracy, precision and recall of the flag and names every misjudged file, then the
// same figures for the held-out third of the images (each image its own scene; see
// benchtools::isHeldOut); with --json one object {"files":…,"accuracy":…,
// "precision":…,"recall":…,"wrong":[…],"held_out":{"files":…,"accuracy":…,…}}.

#include "BenchScan.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, bool> readLabels(const std::string &path) {
  std::map<std::string, bool> labels;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos || line[0] == '#') continue;
    labels[line.substr(0, tab)] = line.compare(tab + 1, 1, "1") == 0;
  }
  return labels;
}

/// Counts of one set of judged files.
struct Tally {
  std::size_t total = 0, right = 0, flagged = 0, truePositive = 0, positives = 0;
  std::vector<std::string> wrong;

  void add(const std::string &name, bool label, bool flaggedAsUtility) {
    ++total;
    positives += label;
    flagged += flaggedAsUtility;
    truePositive += label && flaggedAsUtility;
    if (label == flaggedAsUtility) ++right;
    else wrong.push_back(name);
  }
  double accuracy() const { return total ? static_cast<double>(right) / total : 1.0; }
  double precision() const { return flagged ? static_cast<double>(truePositive) / flagged : 1.0; }
  double recall() const { return positives ? static_cast<double>(truePositive) / positives : 1.0; }
};

} // namespace

int main(int argc, char **argv) {
  std::string folder, labelsPath;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--json") json = true;
    else if (a == "--labels" && i + 1 < argc) labelsPath = argv[++i];
    else folder = a;
  }
  if (folder.empty() || labelsPath.empty()) {
    std::fprintf(stderr, "usage: utility-eval FOLDER --labels UTILITY.tsv [--json]\n");
    return 2;
  }
  const auto labels = readLabels(labelsPath);
  Tally all, held;
  benchtools::EngineScan engine;
  for (const auto &photo : engine.scan(folder)) {
    const auto label = labels.find(photo.name);
    if (label == labels.end()) continue;
    all.add(photo.name, label->second, photo.item.isUtility);
    if (benchtools::isHeldOut(photo.name)) {
      held.add(photo.name, label->second, photo.item.isUtility);
    }
  }
  if (json) {
    std::printf("{\"files\":%zu,\"accuracy\":%.4f,\"precision\":%.4f,\"recall\":%.4f,\"wrong\":[",
                all.total, all.accuracy(), all.precision(), all.recall());
    for (std::size_t i = 0; i < all.wrong.size(); ++i) {
      std::string escaped;
      for (char c : all.wrong[i]) escaped += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
      std::printf("%s\"%s\"", i ? "," : "", escaped.c_str());
    }
    std::printf("],\"held_out\":{\"files\":%zu,\"accuracy\":%.4f,\"precision\":%.4f,\"recall\":%.4f}}\n",
                held.total, held.accuracy(), held.precision(), held.recall());
    return 0;
  }
  std::printf("files %zu  accuracy %.3f  precision %.3f  recall %.3f\n", all.total, all.accuracy(),
              all.precision(), all.recall());
  for (const std::string &name : all.wrong) std::printf("  wrong: %s\n", name.c_str());
  std::printf("held-out third: files %zu  accuracy %.3f  precision %.3f  recall %.3f\n", held.total,
              held.accuracy(), held.precision(), held.recall());
  return 0;
}
