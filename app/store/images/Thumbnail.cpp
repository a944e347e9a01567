#include "app/store/images/Thumbnail.h"

namespace lumora {

// Both factors are ints; multiplying in 64 bits keeps a very large image's cost exact.
Thumbnail::Thumbnail(QImage image)
    : m_image(std::move(image)),
      m_cost(static_cast<qint64>(m_image.bytesPerLine()) * static_cast<qint64>(m_image.height())) {}

} // namespace lumora
