#pragma once

#include "app/selftest/MotionSegment.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

/// The motion self-test's ruler: frames reduced to 64 × 64 grey thumbnails, their
/// differences, the figures of a frame sequence, and the frame files.
namespace lumora::motionframes {

using Thumbnail = std::vector<std::uint8_t>;

/// The frame scaled (aspect not kept) over white into 64 × 64 grey values, row by row.
[[nodiscard]] Thumbnail gray64(const QImage &frame);
/// Mean absolute difference in percent, over the shorter length, divided by `a`'s length.
[[nodiscard]] double diff(const Thumbnail &a, const Thumbnail &b);
/// Population variance of the grey values.
[[nodiscard]] double variance(const Thumbnail &thumbnail);

/// The figures of `frames` (baseline first); `settleMs` is left for the caller, who knows
/// its time rule.
[[nodiscard]] MotionSegment figures(const QString &name, const std::vector<Thumbnail> &frames);

/// Writes `<stem>-NN.png` into `folder` for each frame; failures are ignored.
void writeFrames(const QString &folder, const QString &stem, const std::vector<QImage> &frames);
/// Records the sample times of `name` and rewrites "motion.json" in `folder` with every
/// sequence recorded so far in this process (sorted keys, pretty-printed).
void writeMotionMeta(const QString &folder, const QString &name, const std::vector<int> &times);

} // namespace lumora::motionframes
