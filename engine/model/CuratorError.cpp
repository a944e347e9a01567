#include "engine/model/CuratorError.h"

namespace lumora {

QString CuratorError::errorDescription() const {
  switch (kind) {
  case Kind::noImagesFound:
    return QStringLiteral("在 ") + url.path(QUrl::FullyDecoded) +
           QStringLiteral(" 里没有找到可分析的图片");
  case Kind::unreadable: return QStringLiteral("无法读取 ") + url.fileName(QUrl::FullyDecoded);
  case Kind::cacheWriteFailed: return QStringLiteral("缓存写入失败：") + message;
  case Kind::visionUnavailable: return QStringLiteral("当前系统不支持本机美学分析");
  }
  return {};
}

} // namespace lumora
