#pragma once

#include "engine/model/Date.h"

#include <QDateTime>
#include <optional>

namespace lumora::localdate {

/// The local date and time of `date`, or none when it has no place in time (NaN, infinite).
/// Finite dates beyond QDateTime's range are clamped to its ends.
[[nodiscard]] std::optional<QDateTime> fromDate(Date date);

} // namespace lumora::localdate
