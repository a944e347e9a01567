#pragma once

#include "app/store/AppStore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QUuid>
#include <optional>
#include <vector>

namespace storetest {

/// Records when each undo toast of a store appeared and went, from the store's own signal,
/// so that a test judges a toast's lifetime by these moments, not by how long it slept: a
/// loaded machine may run a test late, but never makes a timer fire early.
class ToastLifetimes {
public:
  explicit ToastLifetimes(lumora::AppStore &store) : m_store(store) {
    m_clock.start();
    QObject::connect(&store, &lumora::AppStore::undoToastChanged, &m_context, [this] { record(); });
    record();
  }

  /// How many milliseconds the toast `id` was shown, once it has gone.
  [[nodiscard]] std::optional<qint64> lifetime(const QUuid &id) const {
    for (const Span &span : m_spans) {
      if (span.id == id && span.hidden) {
        return *span.hidden - span.shown;
      }
    }
    return std::nullopt;
  }

private:
  struct Span {
    QUuid id;
    qint64 shown = 0;
    std::optional<qint64> hidden;
  };

  void record() {
    const auto &toast = m_store.undoToast();
    const std::optional<QUuid> current = toast ? std::optional(toast->id) : std::nullopt;
    if (!m_spans.empty() && !m_spans.back().hidden && m_spans.back().id != current) {
      m_spans.back().hidden = m_clock.elapsed();
    }
    if (current && (m_spans.empty() || m_spans.back().id != *current)) {
      m_spans.push_back({*current, m_clock.elapsed(), std::nullopt});
    }
  }

  lumora::AppStore &m_store;
  QObject m_context;
  QElapsedTimer m_clock;
  std::vector<Span> m_spans;
};

} // namespace storetest
