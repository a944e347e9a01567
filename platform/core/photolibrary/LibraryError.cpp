#include "platform/core/photolibrary/LibraryError.h"

namespace platform {

QString LibraryError::description() const {
  switch (kind) {
  case Kind::corruptCatalogue:
    return QStringLiteral("照片图库的目录文件已损坏，无法读取（") + detail +
           QStringLiteral("）。图库里的照片文件都还在，没有被改动。");
  case Kind::busy: return QStringLiteral("照片图库正被另一个程序占用，请稍后再试。");
  case Kind::notFound: return QStringLiteral("照片图库里找不到这张照片：") + detail;
  case Kind::io: break;
  }
  return QStringLiteral("无法访问照片图库：") + detail;
}

} // namespace platform
