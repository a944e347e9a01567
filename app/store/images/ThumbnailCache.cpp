#include "app/store/images/ThumbnailCache.h"

namespace lumora {

ThumbnailCache::ThumbnailCache(QString name, int countLimit, qint64 costLimit)
    : m_name(std::move(name)), m_countLimit(countLimit), m_costLimit(costLimit) {
  Q_ASSERT(countLimit > 0 && costLimit > 0);
}

ThumbnailPtr ThumbnailCache::object(const std::string &key) {
  const auto found = m_index.find(key);
  if (found == m_index.end()) {
    return nullptr;
  }
  m_entries.splice(m_entries.begin(), m_entries, found->second);
  return found->second->thumbnail;
}

void ThumbnailCache::insert(const std::string &key, ThumbnailPtr thumbnail) {
  Q_ASSERT(thumbnail);
  if (const auto found = m_index.find(key); found != m_index.end()) {
    erase(found->second);
  }
  m_totalCost += thumbnail->cost();
  m_entries.push_front(Entry{key, std::move(thumbnail)});
  m_index.emplace(key, m_entries.begin());
  evictToLimits();
}

void ThumbnailCache::removeAll() {
  m_index.clear();
  m_entries.clear();
  m_totalCost = 0;
}

void ThumbnailCache::erase(Entries::iterator it) {
  m_totalCost -= it->thumbnail->cost();
  m_index.erase(it->key);
  m_entries.erase(it);
}

void ThumbnailCache::evictToLimits() {
  while (!m_entries.empty() && (count() > m_countLimit || m_totalCost > m_costLimit)) {
    erase(std::prev(m_entries.end()));
  }
}

} // namespace lumora
