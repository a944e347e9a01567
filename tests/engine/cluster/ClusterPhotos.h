#pragma once

#include "engine/model/PhotoItem.h"

#include <cmath>
#include <string>
#include <vector>

namespace clustertest {

/// A photo for pairing and grouping tests: only the fields those read are set.
inline lumora::PhotoItem photo(const std::string &id, double captureDate,
                               std::vector<float> feature = {}, float score = 0,
                               float sharpness = 100, std::int64_t fileSize = 1000) {
  return lumora::PhotoItem(id, QUrl::fromLocalFile(QString::fromStdString(id)), score, false,
                           sharpness, fileSize, lumora::Date{captureDate}, std::move(feature),
                           std::nullopt, lumora::Date{captureDate}, false);
}

/// A unit vector along axis `axis` of `length`, turned by `angle` radians towards the next
/// axis; two such vectors on one axis are 2·sin(Δangle/2) apart.
inline std::vector<float> turned(std::size_t axis, float angle, std::size_t length = 8) {
  std::vector<float> v(length, 0.0f);
  v[axis % length] = std::cos(angle);
  v[(axis + 1) % length] = std::sin(angle);
  return v;
}

/// The ids of each group's photos, best first.
template <typename Groups> std::vector<std::vector<std::string>> ids(const Groups &groups) {
  std::vector<std::vector<std::string>> out;
  for (const auto &group : groups) {
    std::vector<std::string> members;
    for (const auto &item : group.items) {
      members.push_back(item.id);
    }
    out.push_back(members);
  }
  return out;
}

} // namespace clustertest
