#pragma once

/// The steps of a move into or out of the Trash, announced as they are done, so that a test
/// can stop the process at any one of them as a kill would; and a switch that makes the
/// moves behave as on a volume that cannot make unnamed files. Neither has any effect
/// unless set.
namespace platform::trashsteps {

/// Called with the name of each step just done.
using Observer = void (*)(const char *step);

/// Announces `step` to the observer, if there is one.
void reached(const char *step);

/// Sets the observer of this process; nullptr removes it.
void setObserver(Observer observer);

/// Whether copies may be made as unnamed files (true unless switched off).
[[nodiscard]] bool unnamedFilesAllowed();
void setUnnamedFilesAllowed(bool allowed);

} // namespace platform::trashsteps
