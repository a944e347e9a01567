#include "engine/library/PhotoLibraryAccess.h"

#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "platform/core/photolibrary/PhotoLibrary.h"

namespace lumora::PhotoLibraryAccess {
namespace {

bool grants(platform::AuthorizationStatus status) {
  return status == platform::AuthorizationStatus::authorized ||
         status == platform::AuthorizationStatus::limited;
}

} // namespace

bool isGranted() {
  return grants(
      platform::photoauthorization::currentStatus(platform::PhotoLibrary::defaultLocation()));
}

bool requestAuthorization() {
  return grants(platform::photoauthorization::request(platform::PhotoLibrary::defaultLocation()));
}

QString denialHint() {
  // The permission is kept in the library folder's "authorization" file; removing it lets
  // the next request grant access again (there is no settings pane for it on Linux).
  return QStringLiteral("没有拿到「照片」图库的访问权限。\n\n"
                        "请在图库文件夹里删除 authorization 文件（本 App 的访问记录），"
                        "然后回到 App 重试。\n\n"
                        "说明：这个过程不联网，照片只在本机内存里分析。");
}

} // namespace lumora::PhotoLibraryAccess
