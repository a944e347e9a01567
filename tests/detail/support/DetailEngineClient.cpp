#include "tests/detail/support/DetailEngineClient.h"

#include <QColor>
#include <chrono>

namespace detailtest {

using namespace lumora;

QImage DetailEngineClient::previewImage(const PhotoItem &item, int maxPixel) {
  {
    const std::scoped_lock lock(m_imageMutex);
    m_requests.push_back(item.id);
  }
  waitWhileHeld(item.id);
  const std::scoped_lock lock(m_imageMutex);
  if (m_unreadable.contains(item.id)) {
    return {};
  }
  QImage image(std::min(maxPixel, 64), std::min(maxPixel, 48), QImage::Format_RGB32);
  image.fill(QColor::fromHsv(static_cast<int>(std::hash<std::string>{}(item.id) % 360), 160, 200));
  return image;
}

QString DetailEngineClient::displayName(const PhotoItem &item) {
  waitWhileHeld(item.id);
  return QStringLiteral("name:") + item.fileName();
}

void DetailEngineClient::waitWhileHeld(const std::string &id) {
  std::unique_lock lock(m_imageMutex);
  // A test that forgets to release gives up, so the store's destructor never waits forever.
  m_imageReleased.wait_for(lock, std::chrono::seconds(20), [&] { return !m_held.contains(id); });
}

void DetailEngineClient::hold(const std::string &id) {
  const std::scoped_lock lock(m_imageMutex);
  m_held.insert(id);
}

void DetailEngineClient::release(const std::string &id) {
  {
    const std::scoped_lock lock(m_imageMutex);
    m_held.erase(id);
  }
  m_imageReleased.notify_all();
}

void DetailEngineClient::markUnreadable(const std::string &id) {
  const std::scoped_lock lock(m_imageMutex);
  m_unreadable.insert(id);
}

std::vector<std::string> DetailEngineClient::imageRequests() const {
  const std::scoped_lock lock(m_imageMutex);
  return m_requests;
}

} // namespace detailtest
