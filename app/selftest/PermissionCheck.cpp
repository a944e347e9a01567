#include "app/selftest/PermissionCheck.h"

#include "app/selftest/DeniedFolder.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"

#include <QFile>
#include <unistd.h>

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
    QString message = QStringLiteral("权限目录错误类型不对：") +
                      QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size()));
    // Root (or a process holding its read capability) reads a folder whatever its mode: the
    // case cannot hold then, and the report says why.
    if (::access(QFile::encodeName(options.folder).constData(), R_OK | X_OK) == 0) {
      message += QStringLiteral("（当前用户是 root，不受目录权限限制；请以普通用户运行）");
    }
    throw SelfTestFailure{message};
  }
}

} // namespace lumora::permissioncheck
