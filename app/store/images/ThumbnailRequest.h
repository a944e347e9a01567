#pragma once

#include "app/store/images/ThumbnailLoader.h"

#include <QObject>
#include <QPointer>
#include <optional>

namespace lumora {

/// One slot's view of the thumbnail loader, for custom-painted cards and for the
/// `AsyncThumbnail` widget: ask for a photo at a size, get the cached image at once or a
/// `ready` signal when it arrives. Asking again, or `reset()`, drops the answer to the
/// earlier question, so a reused slot never shows a photo it no longer stands for.
///
/// Dropping an answer withdraws the wait: a decode that has not started and that nobody
/// else waits for leaves the loader's queue, so after a fast scroll the slots now on screen
/// are served first. A decode already running still lands in the cache and serves the next
/// request. Lives on the GUI thread.
class ThumbnailRequest : public QObject {
  Q_OBJECT

public:
  explicit ThumbnailRequest(ThumbnailLoader &loader, QObject *parent = nullptr);
  /// Withdraws a pending request.
  ~ThumbnailRequest() override;

  /// Forgets the current thumbnail and asks for `item` at `maxPixel`. Returns the thumbnail
  /// when the cache has it (it is then also `thumbnail()` and `ready` is not emitted);
  /// otherwise null, and `ready` follows if an image arrives.
  ThumbnailPtr request(const PhotoItem &item, int maxPixel);
  /// Forgets the current thumbnail and drops any pending answer.
  void reset();

  /// The thumbnail of the latest request once it is there; null before and when none came.
  [[nodiscard]] const ThumbnailPtr &thumbnail() const { return m_thumbnail; }
  [[nodiscard]] bool isPending() const { return m_pending; }

signals:
  /// The latest request's image has arrived and is `thumbnail()`.
  void ready();

private:
  QPointer<ThumbnailLoader> m_loader;
  ThumbnailPtr m_thumbnail;
  quint64 m_generation = 0;
  bool m_pending = false;
  /// The photo and size of the pending request, to withdraw it.
  std::optional<PhotoItem> m_pendingItem;
  int m_pendingMaxPixel = 0;
};

} // namespace lumora
