#include "engine/library/PhotoLibraryError.h"

#include "engine/library/PhotoLibraryAccess.h"

#include <QHash>

namespace lumora {

QString PhotoLibraryError::errorDescription() const {
  switch (kind) {
  case Kind::denied: return PhotoLibraryAccess::denialHint();
  case Kind::empty: return QStringLiteral("「照片」图库里没有找到可分析的照片。");
  case Kind::libraryFailure: break;
  }
  return cause.description();
}

std::size_t PhotoLibraryErrorHash::operator()(const PhotoLibraryError &error) const {
  const auto kinds =
      static_cast<std::size_t>(error.kind) * 8 + static_cast<std::size_t>(error.cause.kind);
  return qHash(error.cause.detail, kinds);
}

} // namespace lumora
