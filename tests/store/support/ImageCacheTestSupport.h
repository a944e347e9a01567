#pragma once

#include "engine/model/PhotoItem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace imagecachetest {

/// Runs the event loop until `done()` holds or `timeoutMs` passes; says whether it held.
/// The default is a bound for a test that hangs, not a measure: a machine busy with other
/// work may take many times the usual while.
template <typename Predicate> bool waitFor(Predicate done, int timeoutMs = 60000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.hasExpired(timeoutMs)) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QThread::msleep(1);
  }
  return true;
}

/// Holds producers on worker threads until the test opens it. A wait gives up after a
/// while, so a failing test ends instead of hanging on its pool.
class Gate {
public:
  void open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_changed.notify_all();
  }
  bool wait() {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_open; });
  }

private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_open = false;
};

/// A folder photo whose id is `path`.
inline lumora::PhotoItem photo(const std::string &path) {
  return lumora::PhotoItem(path, QUrl::fromLocalFile(QString::fromStdString(path)), 0, false, 0,
                           1000, lumora::Date{100}, {}, std::nullopt, std::nullopt, false);
}

/// A solid image of `width` × `height` in the painting format the decoder produces.
inline QImage solidImage(int width, int height, QColor color = Qt::gray) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

} // namespace imagecachetest
