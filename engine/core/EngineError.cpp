#include "engine/core/EngineError.h"

#include <QFile>
#include <cstring>
#include <filesystem>

namespace lumora {
namespace {

QString trashLogText(bool restoring, const platform::trash::Problem &problem,
                     const std::string &path) {
  using Kind = platform::trash::Problem::Kind;
  const QString what = QStringLiteral("%1 %2: ").arg(
      restoring ? QStringLiteral("restore of") : QStringLiteral("move to the Trash of"),
      QFile::decodeName(std::filesystem::path(path).filename().c_str()));
  switch (problem.kind) {
  case Kind::noTrash: return what + QStringLiteral("no usable Trash folder");
  case Kind::changed: return what + QStringLiteral("changed since the scan");
  case Kind::folderReplaced: return what + QStringLiteral("its folder is gone or replaced");
  case Kind::system:
  case Kind::none: break;
  }
  return what + QStringLiteral("errno %1 (%2)")
                    .arg(problem.code)
                    .arg(QString::fromLocal8Bit(std::strerror(problem.code)));
}

} // namespace

QString EngineError::logText() const {
  switch (kind) {
  case Kind::curator: return curator.errorDescription();
  case Kind::trash: return trashLogText(restoring, trash, path);
  case Kind::favorites:
    return QStringLiteral("favourites not written (kind %1)").arg(static_cast<int>(favorites));
  case Kind::file:
  case Kind::library: break;
  }
  return message;
}

} // namespace lumora
