#include "engine/cache/AnalyzerStamp.h"

#include "engine/cache/FileBytes.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QFile>
#include <QSaveFile>

namespace lumora::AnalyzerStamp {
namespace {

/// A stamp is one short line; anything longer is not one we wrote.
constexpr std::size_t kMaxStampSize = 256;

QString nativeName(const std::filesystem::path &path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

bool anyCacheFile(const CacheFiles &files) {
  std::error_code ignored;
  return std::filesystem::exists(files.base, ignored) ||
         std::filesystem::exists(files.log, ignored) ||
         std::filesystem::exists(files.tombstones, ignored);
}

void removeCacheFiles(const CacheFiles &files) {
  for (const auto &path : {files.base, files.log, files.tombstones}) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
}

} // namespace

void write(const CacheFiles &files, std::string_view revision) {
  QSaveFile file(nativeName(pathFor(files)));
  const QByteArray line =
      QByteArray(revision.data(), static_cast<qsizetype>(revision.size())) + '\n';
  if (!file.open(QIODevice::WriteOnly) || file.write(line) != line.size() || !file.commit()) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("analyzer stamp not written: %1").arg(file.errorString()));
  }
}

std::filesystem::path pathFor(const CacheFiles &files) {
  return files.base.parent_path() / (files.base.filename().native() + ".analyzer");
}

std::optional<std::string> read(const CacheFiles &files) {
  const FileBytes bytes = FileBytes::read(pathFor(files));
  std::string_view text = bytes.view();
  if (!bytes.isComplete() || text.size() > kMaxStampSize || !text.ends_with('\n')) {
    return std::nullopt;
  }
  text.remove_suffix(1);
  return std::string(text);
}

bool dropIfStale(const CacheFiles &files, std::string_view revision) {
  const std::optional<std::string> stamped = read(files);
  if (stamped == revision) {
    return false;
  }
  const bool dropped = anyCacheFile(files);
  if (dropped) {
    removeCacheFiles(files);
    Diagnostics::log(
        QStringLiteral("scan"),
        QStringLiteral("cached analyses dropped: written by analyzer %1, this is %2")
            .arg(stamped ? QString::fromStdString(*stamped) : QStringLiteral("(unknown)"),
                 QString::fromUtf8(revision.data(), static_cast<qsizetype>(revision.size()))));
  }
  write(files, revision);
  return dropped;
}

} // namespace lumora::AnalyzerStamp
