#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>

namespace lumora {

class ThumbnailLoader;

/// Waits until the photos a screen shows are there, for `kLimitMs` at most. It asks the
/// screen (`LoadingImages::anyIn`) once when it starts and then only when the thumbnail
/// loader answers a request, never on a timer. The limit runs on the animation clock, so a
/// test that drives the clock by hand decides when it is over. GUI thread.
class PhotoWait : public QObject {
  Q_OBJECT

public:
  static constexpr int kLimitMs = 300;

  explicit PhotoWait(ThumbnailLoader &photos, QObject *parent = nullptr);

  /// Calls `done` once no view inside `screen` loads a photo it shows: at once when none
  /// does, else after the answer that brings the last of them, or when the limit is over.
  /// A wait still running is dropped first, without its call. `limitMs` (at most
  /// `kLimitMs`) shortens the wait for a picture that has waited for earlier changes.
  void start(QWidget *screen, std::function<void()> done, int limitMs = kLimitMs);
  /// Drops the wait without calling it.
  void cancel();
  /// Ends the wait now and calls it.
  void finish();
  [[nodiscard]] bool isWaiting() const { return static_cast<bool>(m_done); }

private:
  void check();

  QPointer<QWidget> m_screen;
  std::function<void()> m_done;
  QVariantAnimation m_limit;
};

} // namespace lumora
