#pragma once

#include "tests/store/support/RemovalEngineClient.h"

#include <QImage>
#include <set>
#include <string>
#include <vector>

namespace detailtest {

/// The hand-driven engine with large images and names: a preview image or a name may be
/// held back per photo until the test releases it; photos marked unreadable give none.
/// Every image request is recorded in order. Thread-safe.
class DetailEngineClient : public storetest::RemovalEngineClient {
public:
  QImage previewImage(const lumora::PhotoItem &item, int maxPixel) override;
  QString displayName(const lumora::PhotoItem &item) override;

  /// Image and name answers for `id` wait until `release(id)`.
  void hold(const std::string &id);
  void release(const std::string &id);
  void markUnreadable(const std::string &id);
  [[nodiscard]] std::vector<std::string> imageRequests() const;

private:
  void waitWhileHeld(const std::string &id);

  mutable std::mutex m_imageMutex;
  std::condition_variable m_imageReleased;
  std::set<std::string> m_held;
  std::set<std::string> m_unreadable;
  std::vector<std::string> m_requests;
};

} // namespace detailtest
