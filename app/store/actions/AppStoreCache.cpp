#include "app/store/AppStore.h"

#include <QPointer>

namespace lumora {

void AppStore::clearAnalysisCache(QObject *context, std::function<void()> done) {
  std::shared_ptr<EngineClient> engine = m_engine;
  // The answer reaches the caller only while its context lives: a view closed during the
  // clearing is never touched.
  m_relay.run(
      [engine] {
        engine->invalidateCache();
        return true;
      },
      [guard = QPointer<QObject>(context), done = std::move(done)](bool) {
        if (guard && done) {
          done();
        }
      });
}

} // namespace lumora
