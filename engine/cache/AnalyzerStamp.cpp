#include "engine/cache/AnalyzerStamp.h"

#include "engine/cache/FileBytes.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/AtomicWrite.h"

#include <QFile>

namespace lumora::analyzerstamp {
namespace {

/// A stamp is one short line; anything longer is not one we wrote.
constexpr std::size_t kMaxStampSize = 256;

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
  const std::string line = std::string(revision) + '\n';
  if (auto written = platform::atomicwrite::replace(pathFor(files), line); !written) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("analyzer stamp not written: %1").arg(written.error()));
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

} // namespace lumora::analyzerstamp
