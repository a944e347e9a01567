#include "app/results/GroupCardLook.h"

namespace lumora {
namespace {

// The first matching row wins: exiting, pressed, focused, hovering, entered, before entrance.
double scaleOf(const GroupCardState &state) {
  if (state.exiting)
    return 0.94;
  if (state.pressed)
    return 0.985;
  if (state.focused)
    return 1.012;
  if (state.hovering)
    return 1.01;
  if (state.entered)
    return 1.0;
  return 0.96;
}

double offsetOf(const GroupCardState &state) {
  if (state.reduceMotion)
    return 0;
  if (state.focused)
    return -2;
  if (state.hovering)
    return -1;
  return 0;
}

double lerp(double from, double to, double progress) { return from + (to - from) * progress; }

} // namespace

GroupCardLook GroupCardLook::of(const GroupCardState &state) {
  GroupCardLook look;
  look.scale = scaleOf(state);
  look.offsetY = offsetOf(state);
  look.opacity = state.exiting ? 0 : (state.entered ? 1 : 0);
  if (state.focused) {
    look.shadowOpacity = 0.2;
    look.shadowRadius = 18;
    look.shadowOffsetY = 8;
  } else if (state.hovering) {
    look.shadowOpacity = 0.16;
    look.shadowRadius = 14;
    look.shadowOffsetY = 7;
  }
  look.borderOpacity = state.hovering ? 0.18 : 0.07;
  look.selectedFill = state.selected ? 1 : 0;
  look.hoverChip = state.hovering ? 1 : 0;
  look.focusRing = state.focused ? 1 : 0;
  return look;
}

GroupCardLook GroupCardLook::between(const GroupCardLook &from, const GroupCardLook &to,
                                     double progress) {
  GroupCardLook look;
  look.scale = lerp(from.scale, to.scale, progress);
  look.offsetY = lerp(from.offsetY, to.offsetY, progress);
  look.opacity = lerp(from.opacity, to.opacity, progress);
  look.shadowOpacity = lerp(from.shadowOpacity, to.shadowOpacity, progress);
  look.shadowRadius = lerp(from.shadowRadius, to.shadowRadius, progress);
  look.shadowOffsetY = lerp(from.shadowOffsetY, to.shadowOffsetY, progress);
  look.borderOpacity = lerp(from.borderOpacity, to.borderOpacity, progress);
  look.selectedFill = lerp(from.selectedFill, to.selectedFill, progress);
  look.hoverChip = lerp(from.hoverChip, to.hoverChip, progress);
  look.focusRing = lerp(from.focusRing, to.focusRing, progress);
  return look;
}

} // namespace lumora
