#include "app/shell/screens/FailureRecovery.h"

namespace lumora::failurerecovery {

using Kind = AppStoreTypes::Failure::Kind;

Badge badge(Kind kind) {
  switch (kind) {
  case Kind::permissionDenied: return {"lock.fill", Tint::orange};
  case Kind::libraryDenied: return {"photo.on.rectangle", Tint::pink};
  case Kind::noImages: return {"photo.on.rectangle.angled", Tint::orange};
  case Kind::emptyFolder: return {"folder", Tint::secondary};
  case Kind::visionUnavailable:
  case Kind::other: break;
  }
  return {"exclamationmark.triangle.fill", Tint::orange};
}

std::vector<Button> buttons(Kind kind) {
  switch (kind) {
  case Kind::permissionDenied:
    return {{"打开系统设置", Action::openFolderSettings},
            {"重新选择文件夹…", Action::chooseFolder},
            {"重试", Action::retry}};
  case Kind::libraryDenied:
    return {{"重新授权", Action::openLibrary},
            {"打开「照片」权限设置", Action::openLibrarySettings},
            {"改用文件夹", Action::chooseFolder}};
  case Kind::noImages: return {{"重新扫描", Action::retry}, {"选择文件夹…", Action::chooseFolder}};
  case Kind::emptyFolder:
    return {{"重新选择文件夹…", Action::chooseFolder}, {"重试", Action::retry}};
  case Kind::visionUnavailable:
  case Kind::other: break;
  }
  return {{"重试", Action::retry}, {"重新选择文件夹…", Action::chooseFolder}};
}

} // namespace lumora::failurerecovery
