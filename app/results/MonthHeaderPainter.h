#pragma once

#include <QPixmap>
#include <QString>
#include <cstdint>

namespace lumora {

class Theme;

/// Draws a month header of the results grid into a pixmap the grid keeps and blits: the
/// title (13 px, bold), the group count (11 px, primary at 0.72) and a hairline to the right
/// edge, padded 20 at the sides. A pinned header also gets the bar material and a hairline
/// along its bottom.
namespace monthheaderpainter {

[[nodiscard]] QPixmap render(const QString &title, std::int64_t groupCount, int width, bool pinned,
                             const Theme &theme, qreal devicePixelRatio);

} // namespace monthheaderpainter

} // namespace lumora
