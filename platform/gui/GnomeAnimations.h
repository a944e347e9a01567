#pragma once

#include <functional>
#include <optional>

// GNOME's animation switch read through GIO. Kept apart from Qt headers because GIO's
// headers use the word `signals`, which Qt defines as a macro.
namespace platform::gnomeanimations {

/// `org.gnome.desktop.interface enable-animations`, or none when the schema is missing.
[[nodiscard]] std::optional<bool> enabled();

/// Calls `onChange` on the GUI thread whenever the key changes (the GLib event dispatcher
/// that Qt uses on Linux delivers it). Does nothing when the schema is missing.
void watch(std::function<void()> onChange);

} // namespace platform::gnomeanimations
