#include "engine/cache/CacheAppend.h"

#include "engine/cache/AnalysisCache.h"
#include "engine/cache/BinaryWriter.h"
#include "engine/cache/CacheFileAppend.h"
#include "engine/cache/FileWindow.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/AtomicWrite.h"
#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <optional>
#include <unistd.h>

namespace lumora::cacheappend {
namespace {

constexpr std::size_t kHeaderSize = 8;

std::string logHeader() {
  std::string header(AnalysisCache::kLogMagic);
  binarywriter::appendLE(header, AnalysisCache::kWrittenVersion);
  return header;
}

QString displayPath(const std::filesystem::path &path) { return QFile::decodeName(path.c_str()); }

/// Rewrites a version-2 log, read on from `window`, as a version-3 log holding the same
/// records, atomically and a window at a time.
bool migrateLog(const std::filesystem::path &log, FileWindow &window) {
  const auto fill = [&window](int fd) {
    std::string chunk = logHeader();
    while (window.fill(AnalysisCache::kMaxRecordSize)) {
      BinaryReader reader(window.available());
      const auto entry = AnalysisCache::readRecordV2(reader, nullptr);
      if (!entry) {
        break;
      }
      window.advance(reader.offset());
      chunk += AnalysisCache::encodeRecord(*entry);
      if (chunk.size() >= FileWindow::kChunk) {
        if (!platform::fdio::writeAll(fd, chunk)) {
          return false;
        }
        chunk.clear();
      }
    }
    return platform::fdio::writeAll(fd, chunk);
  };
  return platform::atomicwrite::replaceWith(log, fill).hasValue();
}

/// Where the last complete version-3 record of a log read on from `window` ends; nothing
/// when reading failed.
std::optional<std::uint64_t> readableEnd(FileWindow &window) {
  const PathSet skipVectors;
  std::uint64_t end = window.position();
  while (window.fill(AnalysisCache::kMaxRecordSize)) {
    BinaryReader reader(window.available());
    // A skipped vector may run past the end: such a record is cut off too.
    if (!AnalysisCache::readRecord(reader, &skipVectors) ||
        reader.offset() > window.available().size()) {
      return end;
    }
    window.advance(reader.offset());
    end = window.position();
  }
  return std::nullopt;
}

bool repairLog(const std::filesystem::path &log, int fd) {
  FileWindow window = FileWindow::open(log);
  if (!window.isOpen() || !window.fill(kHeaderSize)) {
    return false; // never rewrite what could not be read
  }
  BinaryReader reader(window.available());
  const auto magic = reader.string(4);
  const auto version = reader.u32();
  if (!magic || *magic != AnalysisCache::kLogMagic || !version ||
      !AnalysisCache::isReadableVersion(*version)) {
    Diagnostics::log(
        QStringLiteral("scan"),
        QStringLiteral("cache log %1 had no valid header; started afresh").arg(displayPath(log)));
    return platform::atomicwrite::replace(log, logHeader()).hasValue();
  }
  window.advance(kHeaderSize);
  if (*version == 2) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache log %1 rewritten as version 3").arg(displayPath(log)));
    return migrateLog(log, window);
  }
  const std::optional<std::uint64_t> end = readableEnd(window);
  if (!end) {
    return false;
  }
  if (*end == window.size()) {
    return true;
  }
  Diagnostics::log(QStringLiteral("scan"),
                   QStringLiteral("cut off %1 unreadable bytes at the end of cache log %2")
                       .arg(window.size() - *end)
                       .arg(displayPath(log)));
  return ::ftruncate(fd, static_cast<off_t>(*end)) == 0;
}

} // namespace

platform::UniqueFd openLog(const std::filesystem::path &log, bool repair) {
  platform::UniqueFd fd = openForAppend(log, logHeader());
  if (!fd.isValid() || !repair) {
    return fd;
  }
  if (!repairLog(log, fd.get())) {
    return {};
  }
  // A repair that rewrote the log put a new file in its place: append to that one.
  return openForAppend(log, logHeader());
}

} // namespace lumora::cacheappend
