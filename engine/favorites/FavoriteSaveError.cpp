#include "engine/favorites/FavoriteSaveError.h"

#include <cerrno>

namespace lumora {

FavoriteSaveError::Kind FavoriteSaveError::kindOfError(int error) {
  switch (error) {
  case ENOSPC:
  case EDQUOT:
  case EFBIG: return Kind::diskFull;
  case EROFS:
  case EACCES:
  case EPERM: return Kind::readOnly;
  default: return Kind::other;
  }
}

} // namespace lumora
