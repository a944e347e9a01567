#pragma once

#include "engine/model/PhotoItem.h"
#include "engine/model/ScoreTier.h"

#include <QColor>
#include <QString>

/// How a photo's score and its tier look on screen.
namespace lumora::scoredisplay {

/// The displayed score (0…10) rounded half away from zero, in decimal digits. A score
/// outside −1…1 (or NaN, read from a damaged cache) never overflows: NaN reads "0".
[[nodiscard]] QString roundedScoreText(const PhotoItem &item);
/// The tier's colour: sRGB at full opacity.
[[nodiscard]] QColor color(ScoreTier tier);

} // namespace lumora::scoredisplay
