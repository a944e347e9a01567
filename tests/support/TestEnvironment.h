#pragma once

#include <QString>

namespace testsupport {

/// Points HOME and the XDG folders into a fresh temporary folder so that no test
/// touches the real Trash, settings or data folders, and starts libvips while the process
/// has one thread. Called once by each test main before Qt starts; the folder is removed
/// when the process exits normally.
void isolateEnvironment();

/// The temporary folder that stands in for HOME.
QString isolatedHome();

} // namespace testsupport
