#include "app/store/images/ShownImages.h"

#include <algorithm>

namespace lumora {
namespace {

/// Sweeping after this many notes keeps the table within a small multiple of what is held.
constexpr std::size_t kNotesPerSweep = 256;

} // namespace

void ShownImages::note(const PhotoItem &item, int maxPixel, const ThumbnailPtr &image) {
  if (!image) {
    return;
  }
  std::vector<Entry> &entries = m_byPhoto[item.id];
  std::erase_if(entries, [maxPixel](const Entry &e) { return e.maxPixel == maxPixel; });
  entries.push_back({maxPixel, item.fileSize, item.modified, image});
  if (++m_notedSinceSweep >= kNotesPerSweep) {
    sweep();
  }
}

ThumbnailPtr ShownImages::find(const PhotoItem &item, int maxPixel) {
  const auto found = m_byPhoto.find(item.id);
  if (found == m_byPhoto.end()) {
    return nullptr;
  }
  for (const Entry &entry : found->second) {
    if (entry.maxPixel == maxPixel && entry.fileSize == item.fileSize &&
        entry.modified == item.modified) {
      return entry.image.lock();
    }
  }
  return nullptr;
}

ThumbnailPtr ShownImages::larger(const PhotoItem &item, int maxPixel) {
  const auto found = m_byPhoto.find(item.id);
  if (found == m_byPhoto.end()) {
    return nullptr;
  }
  ThumbnailPtr best;
  int bestPixel = 0;
  for (const Entry &entry : found->second) {
    if (entry.maxPixel <= maxPixel || entry.fileSize != item.fileSize ||
        entry.modified != item.modified || (best && entry.maxPixel >= bestPixel)) {
      continue;
    }
    if (ThumbnailPtr image = entry.image.lock()) {
      best = std::move(image);
      bestPixel = entry.maxPixel;
    }
  }
  return best;
}

void ShownImages::sweep() {
  m_notedSinceSweep = 0;
  for (auto it = m_byPhoto.begin(); it != m_byPhoto.end();) {
    std::erase_if(it->second, [](const Entry &e) { return e.image.expired(); });
    it = it->second.empty() ? m_byPhoto.erase(it) : std::next(it);
  }
}

} // namespace lumora
