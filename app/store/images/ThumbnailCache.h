#pragma once

#include "app/store/images/Thumbnail.h"

#include <QString>
#include <list>
#include <string>
#include <unordered_map>

namespace lumora {

/// An in-memory least-recently-used cache of thumbnails bounded by both an entry count and
/// a total cost (the thumbnails' pixel bytes). Whenever an insertion takes it over either
/// limit, the least recently used entries leave until both hold again; an entry that alone
/// exceeds the cost limit therefore does not stay. A lookup counts as a use.
///
/// Not thread-safe: the owning loader touches it on its own (GUI) thread only.
class ThumbnailCache {
public:
  ThumbnailCache(QString name, int countLimit, qint64 costLimit);

  /// The entry for `key`, or null; a hit becomes the most recently used entry.
  [[nodiscard]] ThumbnailPtr object(const std::string &key);
  /// Stores `thumbnail` under `key` (replacing an older entry) at its own cost.
  void insert(const std::string &key, ThumbnailPtr thumbnail);
  void removeAll();

  [[nodiscard]] const QString &name() const { return m_name; }
  [[nodiscard]] int countLimit() const { return m_countLimit; }
  [[nodiscard]] qint64 totalCostLimit() const { return m_costLimit; }
  [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }
  [[nodiscard]] qint64 totalCost() const { return m_totalCost; }

private:
  struct Entry {
    std::string key;
    ThumbnailPtr thumbnail;
  };
  using Entries = std::list<Entry>;

  void erase(Entries::iterator it);
  void evictToLimits();

  QString m_name;
  int m_countLimit;
  qint64 m_costLimit;
  qint64 m_totalCost = 0;
  Entries m_entries; // most recently used first
  std::unordered_map<std::string, Entries::iterator> m_index;
};

} // namespace lumora
