#pragma once

#include "platform/core/trash/TrashDirectory.h"

#include <string>

/// Finding and resolving the files our own moves into and out of the Trash leave under names
/// of their own when they are killed part-way, so that at most what the user can see and
/// understand remains: the photo back under its name, or whole in the Trash with its entry.
/// Only leftovers whose process has ended are touched, and no file that could be the only
/// copy of a photo is ever removed.
namespace platform::trashleftovers {

/// Resolves the leftovers in the folder at `folderPath`: an unfinished copy goes; a file
/// that was leaving goes back under its name when that is free (its Trash copy then goes
/// when byte for byte the same), goes when the name is taken and the Trash holds the same
/// bytes, and else into the Trash with an entry naming its place. Returns how many files
/// went back under their names.
int resolveFolder(const std::string &folderPath);

/// Resolves what interrupted restores left in `trash` (a Trash copy under a leaving name:
/// removed when its restored twin is byte for byte the same, else put back under its Trash
/// name), then clears the Trash's orphans.
void resolveTrash(const TrashDirectory &trash);

/// `resolveTrash` for the user's home Trash, where restores across volumes start.
void resolveHomeTrash();

} // namespace platform::trashleftovers
