#pragma once

#include "engine/model/PhotoGroup.h"
#include "engine/model/PhotoItem.h"
#include "tests/store/support/ImageCacheTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <string>
#include <vector>

namespace storetest {

using imagecachetest::waitFor;

/// Runs the event loop for `ms` milliseconds, and once more at the end: a loaded machine may
/// not run the loop again before the time is up, and a timer due by then must have fired.
inline void spin(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!timer.hasExpired(ms)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QThread::msleep(1);
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

/// Counts the emissions of one signal.
class SignalCounter {
public:
  template <typename Sender, typename Signal> SignalCounter(Sender *sender, Signal signal) {
    QObject::connect(sender, signal, &m_context, [this] { ++m_count; });
  }
  [[nodiscard]] int count() const { return m_count; }
  void reset() { m_count = 0; }

private:
  QObject m_context;
  int m_count = 0;
};

/// A folder photo with the given id, size and capture time (seconds since 1970).
inline lumora::PhotoItem photo(const std::string &id, std::int64_t size = 1000,
                               double captured = 100) {
  return lumora::PhotoItem(id, QUrl::fromLocalFile(QString::fromStdString(id)), 0, false, 0, size,
                           lumora::Date{captured}, {}, std::nullopt, lumora::Date{captured}, false);
}

/// A group of photos named `prefix`0, `prefix`1, …; the first is the best.
inline lumora::PhotoGroup group(const std::string &prefix, int count, std::int64_t size = 1000) {
  std::vector<lumora::PhotoItem> items;
  for (int i = 0; i < count; ++i) {
    items.push_back(photo(prefix + std::to_string(i), size));
  }
  return lumora::PhotoGroup(prefix + "0", std::move(items));
}

/// `count` groups of two photos each, named g0 … g<count-1>.
inline std::vector<lumora::PhotoGroup> groups(int count) {
  std::vector<lumora::PhotoGroup> list;
  for (int i = 0; i < count; ++i) {
    list.push_back(group("g" + std::to_string(i) + "-", 2));
  }
  return list;
}

} // namespace storetest
