#include "engine/cache/CacheAppend.h"

#include "engine/cache/AnalysisCache.h"
#include "engine/cache/BinaryWriter.h"
#include "engine/cache/FileBytes.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/AtomicWrite.h"
#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
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

/// Opens `path` for appending; holds none on failure.
platform::UniqueFd openForAppend(const std::filesystem::path &path) {
  return platform::UniqueFd(::open(path.c_str(), O_RDWR | O_APPEND | O_NONBLOCK | O_CLOEXEC));
}

bool writeWholeFile(const std::filesystem::path &path, std::string_view bytes) {
  platform::UniqueFd fd(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0600));
  if (!fd.isValid()) {
    return false;
  }
  const bool written = platform::fdio::writeAll(fd.get(), bytes);
  return fd.close() && written;
}

bool ensureFolderOf(const std::filesystem::path &file) {
  if (!file.has_parent_path()) {
    return true;
  }
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  return !error;
}

bool createLog(const std::filesystem::path &log) {
  return ensureFolderOf(log) && writeWholeFile(log, logHeader());
}

/// Rewrites a version-2 log as a version-3 log holding the same records, atomically.
bool migrateLog(const std::filesystem::path &log, std::string_view data) {
  BinaryReader reader(data);
  reader.skip(kHeaderSize);
  std::string rewritten = logHeader();
  while (const auto entry = AnalysisCache::readRecordV2(reader, nullptr)) {
    rewritten += AnalysisCache::encodeRecord(*entry);
  }
  return platform::atomicwrite::replace(log, rewritten).hasValue();
}

/// Where the last complete version-3 record of a log ends.
std::size_t readableEnd(std::string_view data) {
  BinaryReader reader(data);
  reader.skip(kHeaderSize);
  const PathSet skipVectors;
  std::size_t end = reader.offset();
  while (AnalysisCache::readRecord(reader, &skipVectors)) {
    // A skipped vector may run past the end: such a record is cut off too.
    if (reader.offset() > data.size()) {
      break;
    }
    end = reader.offset();
  }
  return end;
}

bool repairLog(const std::filesystem::path &log) {
  const FileBytes bytes = FileBytes::read(log);
  if (!bytes.isComplete()) {
    return false; // never rewrite what could not be read
  }
  const std::string_view data = bytes.view();
  BinaryReader reader(data);
  const auto magic = reader.string(4);
  const auto version = reader.u32();
  if (!magic || *magic != AnalysisCache::kLogMagic || !version ||
      !AnalysisCache::isReadableVersion(*version)) {
    Diagnostics::log(
        QStringLiteral("scan"),
        QStringLiteral("cache log %1 had no valid header; started afresh").arg(displayPath(log)));
    return writeWholeFile(log, logHeader());
  }
  if (*version == 2) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache log %1 rewritten as version 3").arg(displayPath(log)));
    return migrateLog(log, data);
  }
  const std::size_t end = readableEnd(data);
  if (end == data.size()) {
    return true;
  }
  Diagnostics::log(QStringLiteral("scan"),
                   QStringLiteral("cut off %1 unreadable bytes at the end of cache log %2")
                       .arg(data.size() - end)
                       .arg(displayPath(log)));
  return ::truncate(log.c_str(), static_cast<off_t>(end)) == 0;
}

} // namespace

bool prepareLog(const std::filesystem::path &log, bool repair) {
  std::error_code error;
  if (!std::filesystem::exists(log, error)) {
    return !error && createLog(log);
  }
  return !repair || repairLog(log);
}

bool appendToFile(const std::filesystem::path &file, std::string_view bytes) {
  platform::UniqueFd fd = openForAppend(file);
  if (!fd.isValid()) {
    return false;
  }
  const bool written = platform::fdio::writeAll(fd.get(), bytes);
  return fd.close() && written;
}

void appendTombstone(const std::filesystem::path &tombstones, const std::string &id) {
  std::error_code error;
  if (!std::filesystem::exists(tombstones, error)) {
    if (!ensureFolderOf(tombstones) || !writeWholeFile(tombstones, {})) {
      return;
    }
  }
  const platform::UniqueFd fd = openForAppend(tombstones);
  if (!fd.isValid()) {
    return;
  }
  std::string line;
  struct stat info {};
  char last = '\n';
  if (::fstat(fd.get(), &info) == 0 && info.st_size > 0 &&
      ::pread(fd.get(), &last, 1, info.st_size - 1) == 1 && last != '\n') {
    line.push_back('\n');
  }
  line += id;
  line.push_back('\n');
  (void)platform::fdio::writeAll(fd.get(), line);
}

} // namespace lumora::cacheappend
