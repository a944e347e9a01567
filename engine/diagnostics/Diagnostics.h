#pragma once

#include <QString>

/// Process-wide diagnostics log and session marker. Never reports a failure to its
/// caller and never throws: diagnostics must not disturb the work they describe.
namespace lumora::Diagnostics {

/// Appends one line "[time] [category] message" to the log, trimming it when needed.
void log(const QString &category, const QString &message);

} // namespace lumora::Diagnostics
