#include "platform/gui/ReduceMotion.h"

#include "platform/gui/GnomeAnimations.h"

namespace platform {
namespace {

std::optional<bool> &overrideValue() {
  static std::optional<bool> value;
  return value;
}

bool desktopReduceMotion() {
  const std::optional<bool> animations = gnomeanimations::enabled();
  return animations.has_value() && !*animations;
}

} // namespace

bool reduceMotion() {
  if (overrideValue().has_value()) {
    return *overrideValue();
  }
  return desktopReduceMotion();
}

std::optional<bool> reduceMotionOverride() { return overrideValue(); }

void setReduceMotionOverride(std::optional<bool> reduce) {
  const bool before = reduceMotion();
  overrideValue() = reduce;
  const bool after = reduceMotion();
  if (before != after) {
    emit ReduceMotionNotifier::instance().changed(after);
  }
}

ReduceMotionNotifier &ReduceMotionNotifier::instance() {
  static ReduceMotionNotifier *const notifier = new ReduceMotionNotifier;
  return *notifier;
}

ReduceMotionNotifier::ReduceMotionNotifier() {
  gnomeanimations::watch([this] {
    if (!overrideValue().has_value()) {
      emit changed(desktopReduceMotion());
    }
  });
}

} // namespace platform
