#include "app/store/actions/ScanFailures.h"

#include "app/store/texts/Localized.h"

#include <cerrno>

namespace lumora::scanfailures {
namespace {

using Kind = Failure::Kind;

QString urlPath(const QUrl &url) { return url.isLocalFile() ? url.toLocalFile() : url.path(); }

Failure libraryEmpty() {
  // Not looked up: the translated text names a photo program; ours is the library folder.
  return {Kind::noImages, localized::string("「照片」图库中没有可分析的照片"),
          QStringLiteral("「照片」图库里没有找到可分析的照片。")};
}

Failure fromCurator(const CuratorError &error, SourceKind source) {
  const bool library = source == SourceKind::library;
  switch (error.kind) {
  case CuratorError::Kind::noImagesFound:
    if (library) {
      return {Kind::noImages, localized::string("「照片」图库中没有可分析的照片"),
              localized::string("图库里没有找到可以分析的照片。请确认「照片」App 已经同步照片，"
                                "或者改用文件夹扫描。")};
    }
    return {Kind::emptyFolder, localized::string("error.folder.empty.title"),
            localized::format("error.folder.empty.message", "error.folder.empty.message",
                              {urlPath(error.url)})};
  case CuratorError::Kind::unreadable:
    if (library) {
      return {Kind::other, localized::string("有些照片无法读取"),
              localized::string("图库里有照片读取失败，可能是 iCloud 原图还没有下载到本机。"
                                "可以稍后重试。")};
    }
    return folderUnreadable(urlPath(error.url));
  case CuratorError::Kind::cacheWriteFailed:
    return {Kind::other, localized::string("分析缓存写入失败"),
            localized::format("照片分析结果没能保存到磁盘（%@）。这不影响本次整理，可以继续使用。",
                              "照片分析结果没能保存到磁盘（%@）。这不影响本次整理，可以继续使用。",
                              {error.message})};
  case CuratorError::Kind::visionUnavailable:
    return {Kind::visionUnavailable, localized::string("当前系统不支持美学分析"),
            localized::string("Pindle 需要 macOS 15 或更高版本的 Apple Vision 美学模型。"
                              "请升级系统后重试。")};
  }
  return {Kind::other, localized::string("分析出错了"), error.errorDescription()};
}

} // namespace

Failure fromError(const EngineCallError &error, SourceKind source) {
  const EngineError &engine = error.engine;
  if (engine.kind == EngineError::Kind::library) {
    if (engine.library == EngineError::LibraryKind::denied) {
      return libraryDenied();
    }
    if (engine.library == EngineError::LibraryKind::empty) {
      return libraryEmpty();
    }
  }
  if (engine.kind == EngineError::Kind::curator) {
    return fromCurator(engine.curator, source);
  }
  if (isPermissionError(error.system)) {
    return {Kind::permissionDenied, localized::string("没有权限读取照片"),
            localized::string("请在「系统设置 › 隐私与安全性 › 文件和文件夹」中允许 Pindle "
                              "访问这个文件夹。")};
  }
  return {Kind::other, localized::string("分析出错了"), error.localizedDescription()};
}

Failure folderUnreadable(const QString &path) {
  return {Kind::permissionDenied, localized::string("没有权限读取这个文件夹"),
          localized::format("error.folder.unreadable.message", "error.folder.unreadable.message",
                            {path})};
}

Failure libraryDenied() {
  return {Kind::libraryDenied, localized::string("没有「照片」图库的访问权限"),
          localized::string("library.denied.message")};
}

bool isPermissionError(std::error_code code) {
  return code &&
         (code == std::errc::permission_denied || code == std::errc::operation_not_permitted);
}

QString diagnosticSuffix(const EngineCallError &error) {
  QString type;
  QString domain;
  int code = 0;
  if (error.system) {
    type = QStringLiteral("system_error");
    domain = QString::fromLatin1(error.system.category().name());
    code = error.system.value();
  } else if (error.engine.kind == EngineError::Kind::curator) {
    type = QStringLiteral("CuratorError");
    domain = QStringLiteral("Lumora.CuratorError");
    code = static_cast<int>(error.engine.curator.kind);
  } else if (error.engine.kind == EngineError::Kind::library) {
    type = QStringLiteral("PhotoLibraryError");
    domain = QStringLiteral("Lumora.PhotoLibraryError");
    code = static_cast<int>(error.engine.library);
  } else {
    type = QStringLiteral("EngineError");
    domain = QStringLiteral("Lumora.FileError");
    code = error.engine.kind == EngineError::Kind::trash ? error.engine.trash.code : 0;
  }
  return QStringLiteral(" type=") + type + QStringLiteral(" domain=") + domain +
         QStringLiteral(" code=") + QString::number(code);
}

} // namespace lumora::scanfailures
