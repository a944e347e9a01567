#include "engine/cache/AnalyzerStamp.h"

#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/AtomicWrite.h"
#include "platform/core/files/SafeRead.h"

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
  // A larger file (or a FIFO, a link) is refused before anything is read.
  platform::saferead::Rules rules;
  rules.maxBytes = kMaxStampSize;
  rules.requireOwnFile = false;
  const std::filesystem::path path = pathFor(files);
  const platform::saferead::Outcome outcome =
      platform::saferead::read(QFile::decodeName(path.c_str()), rules);
  if (!outcome.refusal.isEmpty()) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("analyzer stamp %1 not read: %2")
                         .arg(QFile::decodeName(path.c_str()), outcome.refusal));
  }
  if (!outcome.bytes || !outcome.bytes->endsWith('\n')) {
    return std::nullopt;
  }
  return outcome.bytes->chopped(1).toStdString();
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
