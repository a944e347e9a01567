#pragma once

#include "engine/model/Date.h"
#include "platform/core/imaging/DecodedImage.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace lumora {

/// Small copies of the pictures a scan decoded for its analysis, kept so that the window
/// can show a photo at once while its own thumbnail is still being decoded. The newest
/// copies are kept, within a budget of bytes; older ones give way.
///
/// Thread-safe: the analysis workers add while the window looks up; the lock is held for one
/// insertion or lookup, never while a picture is shrunk.
class ScanPreviews {
public:
  /// Longer side of a kept copy: as wide as a group card's photo at its narrowest.
  static constexpr int kLongSide = 320;
  /// Bytes of pixels kept at most: about 290 photos of 4:3.
  static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;

  explicit ScanPreviews(std::size_t budget = kDefaultBudget) : m_budget(budget) {}

  /// Keeps a copy of `decoded` (8-bit sRGB, upright), shrunk to `kLongSide`, as the picture of the
  /// file `id` in the version of `fileSize` and `modified`; replaces an older one of the same file.
  void keep(const std::string &id, std::int64_t fileSize, Date modified,
            const platform::DecodedImage &decoded);
  /// The kept picture of the file `id`, or null when there is none for that version.
  [[nodiscard]] std::shared_ptr<const platform::DecodedImage>
  find(const std::string &id, std::int64_t fileSize, Date modified) const;
  /// Lets every kept picture go.
  void clear();

  /// Bytes of pixels kept now.
  [[nodiscard]] std::size_t bytes() const;
  [[nodiscard]] std::size_t count() const;

private:
  struct Entry {
    std::string id;
    std::int64_t fileSize = 0;
    Date modified;
    std::shared_ptr<const platform::DecodedImage> image;
  };
  using Order = std::list<Entry>;

  void erase(Order::iterator entry);

  const std::size_t m_budget;
  mutable std::mutex m_lock;
  /// Oldest first.
  Order m_order;
  std::unordered_map<std::string, Order::iterator> m_byId;
  std::size_t m_bytes = 0;
};

} // namespace lumora
