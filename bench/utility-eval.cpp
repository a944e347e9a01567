// utility-eval FOLDER --labels UTILITY.tsv [--json]
//
// Scans FOLDER with the engine like similarity-eval (see BenchScan.h) and measures the utility flag against
// UTILITY.tsv, one line per file: file<TAB>1 for a screenshot or document, 0 for a photo.
// Prints accuracy, precision and recall of the flag and names every misjudged file; with
// --json one object {"files":…,"accuracy":…,"precision":…,"recall":…,"wrong":[…]}.

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
  std::size_t total = 0, right = 0, flagged = 0, truePositive = 0, positives = 0;
  std::vector<std::string> wrong;
  benchtools::EngineScan engine;
  for (const auto &photo : engine.scan(folder)) {
    const auto label = labels.find(photo.name);
    if (label == labels.end()) continue;
    ++total;
    positives += label->second;
    flagged += photo.item.isUtility;
    truePositive += label->second && photo.item.isUtility;
    if (label->second == photo.item.isUtility) ++right;
    else wrong.push_back(photo.name);
  }
  const double accuracy = total ? static_cast<double>(right) / total : 1.0;
  const double precision = flagged ? static_cast<double>(truePositive) / flagged : 1.0;
  const double recall = positives ? static_cast<double>(truePositive) / positives : 1.0;
  if (json) {
    std::printf("{\"files\":%zu,\"accuracy\":%.4f,\"precision\":%.4f,\"recall\":%.4f,\"wrong\":[", total,
                accuracy, precision, recall);
    for (std::size_t i = 0; i < wrong.size(); ++i) {
      std::string escaped;
      for (char c : wrong[i]) escaped += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
      std::printf("%s\"%s\"", i ? "," : "", escaped.c_str());
    }
    std::printf("]}\n");
    return 0;
  }
  std::printf("files %zu  accuracy %.3f  precision %.3f  recall %.3f\n", total, accuracy, precision, recall);
  for (const std::string &name : wrong) std::printf("  wrong: %s\n", name.c_str());
  return 0;
}
