// similarity-eval FOLDER --labels LABELS.tsv [--json] [--groups-out FILE] [--photos-out FILE]
//
// Scans FOLDER with the engine (see BenchScan.h), has the engine group the photos at the
// thresholds 0.18, 0.30 and 0.55, and measures the groups against LABELS.tsv, one line per
// file: file<TAB>group<TAB>tier<TAB>worse<TAB>origin<TAB>source (group "-" for a distinct photo;
// tier tight, loose or none; worse 1 for a visibly degraded copy; origin "real" for a
// photograph of a real scene rather than a rendered variant; source the video or collection the
// photo was taken from; the last three columns optional). Per threshold:
//   tight_recall      labelled pairs of one group, both tight, that share a formed group;
//   loose_recall      the same for pairs of one group with a loose member (none: no pair);
//   pair_precision    pairs sharing a formed group that are of one labelled group;
//   false_merge_rate  labelled units (each group, each distinct photo) sharing a formed group
//                     with another unit;
//   best_not_worse    formed groups holding both degraded and sound copies whose best photo is
//                     a sound one;
//   real_loose_recall loose_recall over the pairs whose photos are both of real scenes (viewpoint
//                     and light changes, later frames of one shot), printed only when some
//                     labelled photos are marked real.
// An empty denominator counts as 1 (0 for the false-merge rate). Files missing from
// LABELS.tsv count as distinct photos. The same figures follow for the held-out third of the
// scenes (see benchtools::isHeldOut; of the sources where the labels name them, so that every
// clip of one video falls on the same side), measured over their photos alone: the formed
// groups keep only those photos, in their order. Without --labels it scans, groups and writes the
// groups only.

#include "BenchScan.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float kThresholds[] = {0.18f, 0.30f, 0.55f};

struct Options {
  std::string folder, labels, groupsOut, photosOut;
  bool json = false;
};

struct Label {
  std::string group; // "" for a distinct photo
  std::string tier;
  bool worse = false;
  bool real = false;
  std::string source; // "" when the labels name none
};

struct Figures {
  double tightRecall = 1, looseRecall = 1, pairPrecision = 1, falseMergeRate = 0, bestNotWorse = 1;
  double realLooseRecall = 1;
  std::size_t realLoosePairs = 0;
};

/// A formed group as positions into the scanned list, best first.
using Group = std::vector<std::size_t>;

bool parse(int argc, char **argv, Options &o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--json")
      o.json = true;
    else if (a == "--labels" && hasValue)
      o.labels = argv[++i];
    else if (a == "--groups-out" && hasValue)
      o.groupsOut = argv[++i];
    else if (a == "--photos-out" && hasValue)
      o.photosOut = argv[++i];
    else if (o.folder.empty() && a.rfind("--", 0) != 0)
      o.folder = a;
    else
      return false;
  }
  return !o.folder.empty();
}

std::map<std::string, Label> readLabels(const std::string &path) {
  std::map<std::string, Label> labels;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    std::vector<std::string> cols;
    std::stringstream fields(line);
    for (std::string col; std::getline(fields, col, '\t');)
      cols.push_back(col);
    if (cols.size() < 3 || line[0] == '#')
      continue;
    labels[cols[0]] =
        Label{cols[1] == "-" ? "" : cols[1], cols[2], cols.size() > 3 && cols[3] == "1",
              cols.size() > 4 && cols[4] == "real", cols.size() > 5 ? cols[5] : ""};
  }
  return labels;
}

std::string jsonString(const std::string &s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\')
      out += '\\';
    if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string thresholdKey(float t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(t));
  return buf;
}

std::vector<Group> formGroups(const std::vector<benchtools::ScannedPhoto> &photos,
                              benchtools::EngineScan &engine, float threshold) {
  std::map<std::string, std::size_t> position;
  for (std::size_t i = 0; i < photos.size(); ++i)
    position[photos[i].item.id] = i;
  std::vector<Group> out;
  for (const lumora::PhotoGroup &g : engine.group(threshold)) {
    Group members;
    for (const lumora::PhotoItem &item : g.items)
      members.push_back(position.at(item.id));
    out.push_back(members);
  }
  return out;
}

/// The labelled unit of a photo: its group, or the photo itself when it is distinct.
std::string unitOf(const std::map<std::string, Label> &labels, const std::string &name) {
  const auto it = labels.find(name);
  return it == labels.end() || it->second.group.empty() ? "#" + name : it->second.group;
}

Label labelOf(const std::map<std::string, Label> &labels, const std::string &name) {
  const auto it = labels.find(name);
  return it == labels.end() ? Label{"", "none", false, false, ""} : it->second;
}

void measureRecall(const std::vector<benchtools::ScannedPhoto> &photos,
                   const std::map<std::string, Label> &labels,
                   const std::vector<std::size_t> &groupOf, Figures &f) {
  std::size_t tight[2] = {0, 0}, loose[2] = {0, 0}, realLoose[2] = {0, 0};
  for (std::size_t i = 0; i < photos.size(); ++i) {
    const Label a = labelOf(labels, photos[i].name);
    for (std::size_t j = i + 1; j < photos.size(); ++j) {
      const Label b = labelOf(labels, photos[j].name);
      if (a.group.empty() || a.group != b.group || a.tier == "none" || b.tier == "none")
        continue;
      const bool isTight = a.tier == "tight" && b.tier == "tight";
      const bool joined = groupOf[i] != SIZE_MAX && groupOf[i] == groupOf[j];
      std::size_t *kind = isTight ? tight : loose;
      kind[0] += joined;
      ++kind[1];
      if (!isTight && a.real && b.real) {
        realLoose[0] += joined;
        ++realLoose[1];
      }
    }
  }
  const auto share = [](const std::size_t counts[2]) {
    return counts[1] ? static_cast<double>(counts[0]) / counts[1] : 1.0;
  };
  f.tightRecall = share(tight);
  f.looseRecall = share(loose);
  f.realLooseRecall = share(realLoose);
  f.realLoosePairs = realLoose[1];
}

void measureGroups(const std::vector<benchtools::ScannedPhoto> &photos,
                   const std::map<std::string, Label> &labels, const std::vector<Group> &groups,
                   Figures &f) {
  std::size_t samePairs = 0, pairs = 0, judged = 0, sound = 0;
  std::set<std::string> units, merged;
  for (const auto &p : photos)
    units.insert(unitOf(labels, p.name));
  for (const Group &g : groups) {
    std::set<std::string> inGroup;
    bool anyWorse = false, anySound = false;
    for (std::size_t a = 0; a < g.size(); ++a) {
      const std::string &name = photos[g[a]].name;
      inGroup.insert(unitOf(labels, name));
      (labelOf(labels, name).worse ? anyWorse : anySound) = true;
      for (std::size_t b = a + 1; b < g.size(); ++b) {
        samePairs += unitOf(labels, name) == unitOf(labels, photos[g[b]].name);
        ++pairs;
      }
    }
    if (inGroup.size() > 1)
      merged.insert(inGroup.begin(), inGroup.end());
    if (anyWorse && anySound) {
      ++judged;
      sound += !labelOf(labels, photos[g[0]].name).worse;
    }
  }
  f.pairPrecision = pairs ? static_cast<double>(samePairs) / pairs : 1.0;
  f.falseMergeRate = units.empty() ? 0.0 : static_cast<double>(merged.size()) / units.size();
  f.bestNotWorse = judged ? static_cast<double>(sound) / judged : 1.0;
}

/// Positions of the photos whose source (or, where the labels name none, scene) is held out.
std::vector<std::size_t> heldOutPositions(const std::vector<benchtools::ScannedPhoto> &photos,
                                          const std::map<std::string, Label> &labels) {
  std::vector<std::size_t> held;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    const std::string source = labelOf(labels, photos[i].name).source;
    if (benchtools::isHeldOut(source.empty() ? unitOf(labels, photos[i].name) : source))
      held.push_back(i);
  }
  return held;
}

/// The groups with only the `held` photos, renumbered to positions in that list; groups left
/// with fewer than two photos go.
std::vector<Group> restrictGroups(const std::vector<Group> &groups,
                                  const std::vector<std::size_t> &held, std::size_t count) {
  std::vector<std::size_t> newPosition(count, SIZE_MAX);
  for (std::size_t k = 0; k < held.size(); ++k)
    newPosition[held[k]] = k;
  std::vector<Group> out;
  for (const Group &g : groups) {
    Group kept;
    for (std::size_t i : g) {
      if (newPosition[i] != SIZE_MAX)
        kept.push_back(newPosition[i]);
    }
    if (kept.size() > 1)
      out.push_back(kept);
  }
  return out;
}

Figures measure(const std::vector<benchtools::ScannedPhoto> &photos,
                const std::map<std::string, Label> &labels, const std::vector<Group> &groups) {
  std::vector<std::size_t> groupOf(photos.size(), SIZE_MAX);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t i : groups[g])
      groupOf[i] = g;
  }
  Figures f;
  measureRecall(photos, labels, groupOf, f);
  measureGroups(photos, labels, groups, f);
  return f;
}

bool writeGroups(const std::string &path, const std::vector<benchtools::ScannedPhoto> &photos,
                 const std::vector<std::vector<Group>> &byThreshold) {
  std::ofstream out(path);
  out << '{';
  for (std::size_t t = 0; t < byThreshold.size(); ++t) {
    out << (t ? "," : "") << jsonString(thresholdKey(kThresholds[t])) << ":[";
    for (std::size_t g = 0; g < byThreshold[t].size(); ++g) {
      const Group &group = byThreshold[t][g];
      out << (g ? "," : "") << "{\"best\":" << jsonString(photos[group[0]].name)
          << ",\"members\":[";
      for (std::size_t m = 0; m < group.size(); ++m)
        out << (m ? "," : "") << jsonString(photos[group[m]].name);
      out << "]}";
    }
    out << ']';
  }
  out << "}\n";
  return static_cast<bool>(out);
}

std::string isoDate(lumora::Date date) {
  const auto seconds = static_cast<std::time_t>(std::floor(date.secondsSince1970));
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return buf;
}

bool writePhotos(const std::string &path, const std::vector<benchtools::ScannedPhoto> &photos) {
  std::ofstream out(path);
  out << '[';
  for (std::size_t i = 0; i < photos.size(); ++i) {
    const lumora::PhotoItem &item = photos[i].item;
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "\"score\":%.4f,\"utility\":%s,\"sharpness\":%.1f",
                  static_cast<double>(item.score), item.isUtility ? "true" : "false",
                  static_cast<double>(item.sharpness));
    out << (i ? "," : "") << "{\"file\":" << jsonString(photos[i].name) << ',' << numbers
        << ",\"capture\":" << jsonString(isoDate(item.captureDate)) << '}';
  }
  out << "]\n";
  return static_cast<bool>(out);
}

/// The real-scene figures are printed only when the labels mark real scenes.
void printJsonFigures(const std::vector<Figures> &figures, bool real) {
  std::printf("[");
  for (std::size_t t = 0; t < figures.size(); ++t) {
    const Figures &f = figures[t];
    std::printf("%s{\"t\":%s,\"tight_recall\":%.4f,\"loose_recall\":%.4f,\"pair_precision\":%.4f,"
                "\"false_merge_rate\":%.4f,\"best_not_worse\":%.4f",
                t ? "," : "", thresholdKey(kThresholds[t]).c_str(), f.tightRecall, f.looseRecall,
                f.pairPrecision, f.falseMergeRate, f.bestNotWorse);
    if (real)
      std::printf(",\"real_loose_recall\":%.4f,\"real_loose_pairs\":%zu", f.realLooseRecall,
                  f.realLoosePairs);
    std::printf("}");
  }
  std::printf("]");
}

void printTable(const std::vector<Figures> &figures, bool real) {
  std::printf(
      "threshold  tight-recall  loose-recall  pair-precision  false-merge  best-not-worse%s\n",
      real ? "  real-loose-recall" : "");
  for (std::size_t t = 0; t < figures.size(); ++t) {
    const Figures &f = figures[t];
    std::printf("%9.2f  %12.3f  %12.3f  %14.3f  %11.3f  %14.3f",
                static_cast<double>(kThresholds[t]), f.tightRecall, f.looseRecall, f.pairPrecision,
                f.falseMergeRate, f.bestNotWorse);
    if (real)
      std::printf("  %17.3f", f.realLooseRecall);
    std::printf("\n");
  }
  if (real && !figures.empty())
    std::printf("(real-loose-recall over %zu pairs)\n", figures[0].realLoosePairs);
}

void printFigures(const std::vector<Figures> &figures, const std::vector<Figures> &heldOut,
                  std::size_t heldOutPhotos, bool json) {
  const bool real = !figures.empty() && figures[0].realLoosePairs > 0;
  if (json) {
    std::printf("{\"thresholds\":");
    printJsonFigures(figures, real);
    std::printf(",\"held_out_photos\":%zu,\"held_out\":", heldOutPhotos);
    printJsonFigures(heldOut, real);
    std::printf("}\n");
    return;
  }
  printTable(figures, real);
  std::printf("held-out third of the scenes (%zu photos):\n", heldOutPhotos);
  printTable(heldOut, real);
}

void printGroupCounts(const std::vector<std::vector<Group>> &byThreshold, bool json) {
  std::printf(json ? "{\"thresholds\":[" : "threshold  groups  grouped-photos\n");
  for (std::size_t t = 0; t < byThreshold.size(); ++t) {
    std::size_t grouped = 0;
    for (const Group &g : byThreshold[t])
      grouped += g.size();
    if (json) {
      std::printf("%s{\"t\":%s,\"groups\":%zu,\"grouped_photos\":%zu}", t ? "," : "",
                  thresholdKey(kThresholds[t]).c_str(), byThreshold[t].size(), grouped);
    } else {
      std::printf("%9.2f  %6zu  %14zu\n", static_cast<double>(kThresholds[t]),
                  byThreshold[t].size(), grouped);
    }
  }
  if (json)
    std::printf("]}\n");
}

} // namespace

int main(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: similarity-eval FOLDER --labels LABELS.tsv [--json] "
                         "[--groups-out FILE] [--photos-out FILE]\n");
    return 2;
  }
  benchtools::EngineScan engine;
  const auto photos = engine.scan(options.folder);
  std::vector<std::vector<Group>> byThreshold;
  for (float t : kThresholds)
    byThreshold.push_back(formGroups(photos, engine, t));
  if (!options.groupsOut.empty() && !writeGroups(options.groupsOut, photos, byThreshold)) {
    std::fprintf(stderr, "similarity-eval: cannot write %s\n", options.groupsOut.c_str());
    return 1;
  }
  if (!options.photosOut.empty() && !writePhotos(options.photosOut, photos)) {
    std::fprintf(stderr, "similarity-eval: cannot write %s\n", options.photosOut.c_str());
    return 1;
  }
  if (options.labels.empty()) {
    printGroupCounts(byThreshold, options.json);
    return 0;
  }
  const auto labels = readLabels(options.labels);
  std::vector<Figures> figures, heldOut;
  for (const auto &groups : byThreshold)
    figures.push_back(measure(photos, labels, groups));
  const std::vector<std::size_t> held = heldOutPositions(photos, labels);
  std::vector<benchtools::ScannedPhoto> heldPhotos;
  for (std::size_t i : held)
    heldPhotos.push_back(photos[i]);
  for (const auto &groups : byThreshold) {
    heldOut.push_back(measure(heldPhotos, labels, restrictGroups(groups, held, photos.size())));
  }
  printFigures(figures, heldOut, heldPhotos.size(), options.json);
  return 0;
}
