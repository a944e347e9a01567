// utility-eval FOLDER --labels UTILITY.tsv [--json] [--measures OUT.tsv]
//
// Scans FOLDER with the engine like similarity-eval (see BenchScan.h) and measures the utility flag
// against UTILITY.tsv, one line per file: file<TAB>1 for a screenshot or document, 0 for a photo,
// optionally <TAB>category (screenshot, page-photo, photo, …) and <TAB>source (the package or
// generator the file comes from, read only by the flag's trainer).
// Prints accuracy, precision and recall of the flag and names every misjudged file, then the
// same figures for the held-out third of the images (each image its own scene; see
// benchtools::isHeldOut), then the accuracy of each category, all and held out, and the
// photos flagged (false alarms: files of category "photo" or "photo-…" flagged, in total and
// per category, every category's own count also printed with it); with --json one object
// {"files":…,"accuracy":…,"precision":…,"recall":…,"wrong":[…],
// "held_out":{"files":…,"accuracy":…,…},
// "photo_false_alarms":…,"categories":{"page-photo":{"files":…,"accuracy":…,
// "held_out_files":…,"held_out_accuracy":…,"false_alarms":…},…}}.
// --measures writes each labelled file's measured qualities, as the analyzer sees its
// thumbnail, with its label and category: the table the flag's thresholds are tuned on.

#include "BenchScan.h"

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/QualityMeasures.h"
#include "engine/analysis/VisionAnalyzer.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

struct Label {
  bool utility = false;
  std::string category;
};

std::map<std::string, Label> readLabels(const std::string &path) {
  std::map<std::string, Label> labels;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos || line[0] == '#')
      continue;
    const auto second = line.find('\t', tab + 1);
    const auto third = second == std::string::npos ? second : line.find('\t', second + 1);
    Label label{line.compare(tab + 1, 1, "1") == 0,
                second == std::string::npos ? std::string()
                                            : line.substr(second + 1, third - second - 1)};
    if (label.category.empty())
      label.category = label.utility ? "utility" : "photo";
    labels[line.substr(0, tab)] = label;
  }
  return labels;
}

/// Counts of one set of judged files.
struct Tally {
  std::size_t total = 0, right = 0, flagged = 0, truePositive = 0, positives = 0;
  std::size_t falseAlarms() const { return flagged - truePositive; }
  std::vector<std::string> wrong;

  void add(const std::string &name, bool label, bool flaggedAsUtility) {
    ++total;
    positives += label;
    flagged += flaggedAsUtility;
    truePositive += label && flaggedAsUtility;
    if (label == flaggedAsUtility)
      ++right;
    else
      wrong.push_back(name);
  }
  double accuracy() const { return total ? static_cast<double>(right) / total : 1.0; }
  double precision() const { return flagged ? static_cast<double>(truePositive) / flagged : 1.0; }
  double recall() const { return positives ? static_cast<double>(truePositive) / positives : 1.0; }
};

/// All files and the held-out third of one category.
struct CategoryTally {
  Tally all, held;
};

/// Photographs: "photo" and its kinds ("photo-mist", "photo-sky", …).
bool isPhotoCategory(const std::string &category) {
  return category == "photo" || category.rfind("photo-", 0) == 0;
}

void writeMeasures(const std::string &folder, const std::map<std::string, Label> &labels,
                   const std::string &out) {
  std::ofstream table(out);
  // Enough digits that every value reads back as the float the analyzer measured.
  table.precision(std::numeric_limits<float>::max_digits10);
  table << "file\tutility\tcategory\theld_out";
  for (const auto &[name, value] : lumora::QualityMeasures{}.named())
    table << '\t' << name;
  table << '\n';
  for (const auto &[file, label] : labels) {
    const auto image = benchtools::loadThumbnail(std::filesystem::path(folder) / file);
    if (!image)
      continue;
    const lumora::PixelView view = benchtools::viewOf(*image);
    const lumora::ImagePlanes planes(view);
    const auto m = lumora::QualityMeasures::measure(
        view, planes,
        lumora::VisionAnalyzer::laplacianVariance(view, lumora::VisionAnalyzer::kSharpnessSide));
    table << file << '\t' << label.utility << '\t' << label.category << '\t'
          << benchtools::isHeldOut(file);
    for (const auto &[name, value] : m.named())
      table << '\t' << value;
    table << '\n';
  }
}

void printJson(const Tally &all, const Tally &held, std::size_t falseAlarms,
               const std::map<std::string, CategoryTally> &categories) {
  std::printf("{\"files\":%zu,\"accuracy\":%.4f,\"precision\":%.4f,\"recall\":%.4f,\"wrong\":[",
              all.total, all.accuracy(), all.precision(), all.recall());
  for (std::size_t i = 0; i < all.wrong.size(); ++i) {
    std::string escaped;
    for (char c : all.wrong[i])
      escaped += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
    std::printf("%s\"%s\"", i ? "," : "", escaped.c_str());
  }
  std::printf("],\"held_out\":{\"files\":%zu,\"accuracy\":%.4f,\"precision\":%.4f,\"recall\":%.4f},"
              "\"photo_false_alarms\":%zu,\"categories\":{",
              held.total, held.accuracy(), held.precision(), held.recall(), falseAlarms);
  const char *separator = "";
  for (const auto &[name, tally] : categories) {
    std::printf("%s\"%s\":{\"files\":%zu,\"accuracy\":%.4f,\"held_out_files\":%zu,"
                "\"held_out_accuracy\":%.4f,\"false_alarms\":%zu}",
                separator, name.c_str(), tally.all.total, tally.all.accuracy(), tally.held.total,
                tally.held.accuracy(), tally.all.falseAlarms());
    separator = ",";
  }
  std::printf("}}\n");
}

void printText(const Tally &all, const Tally &held, std::size_t falseAlarms,
               const std::map<std::string, CategoryTally> &categories) {
  std::printf("files %zu  accuracy %.3f  precision %.3f  recall %.3f\n", all.total, all.accuracy(),
              all.precision(), all.recall());
  for (const std::string &name : all.wrong)
    std::printf("  wrong: %s\n", name.c_str());
  std::printf("held-out third: files %zu  accuracy %.3f  precision %.3f  recall %.3f\n", held.total,
              held.accuracy(), held.precision(), held.recall());
  for (const auto &[name, tally] : categories) {
    std::printf("  %-16s files %4zu  accuracy %.3f   held out: files %3zu  accuracy %.3f"
                "   false alarms %zu\n",
                name.c_str(), tally.all.total, tally.all.accuracy(), tally.held.total,
                tally.held.accuracy(), tally.all.falseAlarms());
  }
  std::printf("photos flagged (false alarms): %zu\n", falseAlarms);
}

} // namespace

int main(int argc, char **argv) {
  std::string folder, labelsPath, measuresPath;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--json")
      json = true;
    else if (a == "--labels" && i + 1 < argc)
      labelsPath = argv[++i];
    else if (a == "--measures" && i + 1 < argc)
      measuresPath = argv[++i];
    else
      folder = a;
  }
  if (folder.empty() || labelsPath.empty()) {
    std::fprintf(stderr,
                 "usage: utility-eval FOLDER --labels UTILITY.tsv [--json] [--measures OUT.tsv]\n");
    return 2;
  }
  const auto labels = readLabels(labelsPath);
  if (!measuresPath.empty())
    writeMeasures(folder, labels, measuresPath);
  Tally all, held;
  std::map<std::string, CategoryTally> categories;
  std::size_t falseAlarms = 0;
  benchtools::EngineScan engine;
  for (const auto &photo : engine.scan(folder)) {
    const auto label = labels.find(photo.name);
    if (label == labels.end())
      continue;
    const bool utility = label->second.utility, flagged = photo.item.isUtility;
    const bool heldOut = benchtools::isHeldOut(photo.name);
    CategoryTally &category = categories[label->second.category];
    all.add(photo.name, utility, flagged);
    category.all.add(photo.name, utility, flagged);
    if (heldOut) {
      held.add(photo.name, utility, flagged);
      category.held.add(photo.name, utility, flagged);
    }
    falseAlarms += isPhotoCategory(label->second.category) && flagged;
  }
  if (json)
    printJson(all, held, falseAlarms, categories);
  else
    printText(all, held, falseAlarms, categories);
  return 0;
}
