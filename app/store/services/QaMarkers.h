#pragma once

#include "platform/core/files/SafeRead.h"

#include <QString>
#include <optional>

/// The QA markers and self-test switches read at launch from /tmp. Anyone can write there,
/// so every marker goes through one reader (`platform::saferead`): a regular file owned by
/// the user running the application, no symbolic link, FIFO or device, read without
/// blocking and only up to a few KiB. A marker that exists but is refused counts as absent
/// and is logged under "qa" with the reason, once per read.
namespace lumora::qamarkers {

/// The marker's UTF-8 text; none when it is missing, refused or not UTF-8.
[[nodiscard]] std::optional<QString>
text(const QString &path,
     const platform::saferead::Rules &rules = platform::saferead::kMarkerRules);

/// The folder the marker names: its text trimmed. None when the marker is missing, refused,
/// blank, or the text is not an absolute path.
[[nodiscard]] std::optional<QString> folder(const QString &path);

/// Whether the marker exists and may be read (its contents do not matter).
[[nodiscard]] bool present(const QString &path);

} // namespace lumora::qamarkers
