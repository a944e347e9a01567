#pragma once

#include "app/selftest/MotionSegment.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace lumora {

class AppStore;

/// The motion self-test's camera: photographs a hosted view on a fixed schedule after an
/// action, writes the frames and their times, and measures them.
class MotionCapture {
public:
  /// `framesFolder` receives the PNG files and "motion.json".
  explicit MotionCapture(QString framesFolder);

  /// The view's `rect` (its whole area when none) after pending layouts; throws
  /// `SelfTestFailure` "cacheDisplay 不可用" when nothing can be grabbed.
  static QImage captureRaw(QWidget *view, std::optional<QRect> rect = {});
  /// The centred region of at most 240 × 200 that a sequence photographs.
  static QRect sequenceRegion(QSize size);

  /// Settles 1.8 s, takes the baseline, runs `action`, takes 13 samples up to 700 ms,
  /// writes them, the final frame and the times, and returns the figures.
  MotionSegment captureSequence(const QString &name, QWidget *hosting,
                                const std::function<void()> &action);
  /// Brings a sample undo toast in under a spring in a window of its own, photographs it
  /// 8 times up to 400 ms and returns the figures of the segment "toast".
  MotionSegment captureToastProbe(AppStore &store);

private:
  QString m_folder;
};

} // namespace lumora
