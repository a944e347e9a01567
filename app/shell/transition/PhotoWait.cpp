#include "app/shell/transition/PhotoWait.h"

#include "app/shell/transition/LoadingImages.h"
#include "app/store/images/ThumbnailLoader.h"

#include <algorithm>
#include <utility>

namespace lumora {

PhotoWait::PhotoWait(ThumbnailLoader &photos, QObject *parent) : QObject(parent) {
  // An animation rather than a timer: it runs on the animation clock.
  m_limit.setDuration(kLimitMs);
  m_limit.setStartValue(0.0);
  m_limit.setEndValue(1.0);
  connect(&m_limit, &QAbstractAnimation::finished, this, &PhotoWait::finish);
  connect(&photos, &ThumbnailLoader::answered, this, &PhotoWait::check);
}

void PhotoWait::start(QWidget *screen, std::function<void()> done, int limitMs) {
  cancel();
  m_screen = screen;
  m_done = std::move(done);
  if (!LoadingImages::anyIn(screen) || limitMs <= 0) {
    finish();
    return;
  }
  m_limit.setDuration(std::min(limitMs, kLimitMs));
  m_limit.start();
}

void PhotoWait::cancel() {
  m_limit.stop();
  m_done = nullptr;
  m_screen = nullptr;
}

void PhotoWait::finish() {
  m_limit.stop();
  m_screen = nullptr;
  // Taken first: the call may start the next wait.
  if (std::function<void()> done = std::exchange(m_done, nullptr)) {
    done();
  }
}

void PhotoWait::check() {
  if (m_done && (!m_screen || !LoadingImages::anyIn(m_screen))) {
    finish();
  }
}

} // namespace lumora
