#include "app/store/texts/LocalDate.h"

#include "engine/util/Numeric.h"

#include <cmath>

namespace lumora::localdate {

std::optional<QDateTime> fromDate(Date date) {
  const double seconds = date.secondsSince1970;
  if (!std::isfinite(seconds)) {
    return std::nullopt;
  }
  // Clamped before the conversion: a date read from a damaged cache can hold anything.
  const qint64 msecs = numeric::truncatedInt(seconds * 1000.0);
  QDateTime local = QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
  if (!local.isValid()) {
    return std::nullopt;
  }
  return local;
}

} // namespace lumora::localdate
