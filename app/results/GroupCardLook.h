#pragma once

/// How a group card looks in each of its states: scale, lift, opacity, shadow and border,
/// as targets that the card animates towards. Pure values, no widgets.
namespace lumora {

/// The conditions a card's look depends on.
struct GroupCardState {
  bool entered = false;
  bool hovering = false;
  bool pressed = false;
  bool focused = false;
  bool selected = false;
  bool exiting = false;
  bool reduceMotion = false;
  bool operator==(const GroupCardState &) const = default;
};

/// One drawable look of a card. Every field interpolates linearly between two looks.
struct GroupCardLook {
  double scale = 1;
  /// Vertical offset in pixels; negative lifts the card.
  double offsetY = 0;
  double opacity = 1;
  double shadowOpacity = 0.08;
  double shadowRadius = 7;
  double shadowOffsetY = 3;
  /// Opacity of the primary colour in the card's border.
  double borderOpacity = 0.07;
  /// 0: the control-background fill; 1: the selected fill.
  double selectedFill = 0;
  /// Opacity of the hover chip.
  double hoverChip = 0;
  /// 1 while the focus ring shows.
  double focusRing = 0;

  /// The look of a card in `state`.
  [[nodiscard]] static GroupCardLook of(const GroupCardState &state);
  /// The look `progress` of the way from `from` to `to` (0…1, beyond 1 for a spring's
  /// overshoot).
  [[nodiscard]] static GroupCardLook between(const GroupCardLook &from, const GroupCardLook &to,
                                             double progress);
  bool operator==(const GroupCardLook &) const = default;
};

} // namespace lumora
