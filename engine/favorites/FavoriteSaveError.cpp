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

QString FavoriteSaveError::description() const {
  switch (kind) {
  case Kind::diskFull: return QStringLiteral("磁盘空间已满，收藏没能写入。");
  case Kind::readOnly:
    return QStringLiteral("数据文件夹不能写入（只读或没有权限），收藏没能写入。");
  case Kind::locked: return QStringLiteral("收藏文件被锁定或锁文件无法使用，收藏没能写入。");
  case Kind::other: break;
  }
  return QStringLiteral("收藏文件没能写入，请稍后重试。");
}

} // namespace lumora
