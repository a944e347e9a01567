#pragma once

#include <QString>
#include <cstddef>
#include <filesystem>

namespace testsupport {

/// Points HOME and the XDG folders into a fresh temporary folder so that no test
/// touches the real Trash, settings or data folders, and starts libvips while the process
/// has one thread. Called once by each test main before Qt starts; the folder is removed
/// when the process exits normally.
void isolateEnvironment();

/// The temporary folder that stands in for HOME.
QString isolatedHome();

/// The home Trash of the isolated environment (the data home's "Trash").
std::filesystem::path homeTrash();
/// How many entries the home Trash's "files" folder holds.
std::size_t trashedFileCount();

} // namespace testsupport
