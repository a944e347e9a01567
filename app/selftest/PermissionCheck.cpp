#include "app/selftest/PermissionCheck.h"

#include "app/selftest/DeniedFolder.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"

namespace lumora::permissioncheck {

void verify(const Options &options) {
  const DeniedFolder folder(options.folder);
  if (!folder.isReady()) {
    throw SelfTestFailure{QStringLiteral("权限目录无法创建：") + options.folder};
  }
  std::unique_ptr<AppStore> store = SelfTestHarness::makeStore(options.cacheFile);
  const AppStore::Phase phase =
      SelfTestHarness::scanAndWait(*store, options.folder, options.limit, 100);
  if (phase.kind != AppStore::Phase::Kind::failed) {
    throw SelfTestFailure{QStringLiteral("权限目录没有进入失败态")};
  }
  if (phase.failure.kind != AppStore::Failure::Kind::permissionDenied) {
    const std::string_view kind = AppStore::Failure::kindName(phase.failure.kind);
    throw SelfTestFailure{QStringLiteral("权限目录错误类型不对：") +
                          QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size()))};
  }
}

} // namespace lumora::permissioncheck
