#include "engine/diagnostics/Diagnostics.h"

#include "engine/diagnostics/CrashHandler.h"
#include "engine/diagnostics/LogFile.h"
#include "engine/diagnostics/LogLine.h"
#include "platform/core/AppDirectories.h"
#include "platform/core/files/DataFile.h"
#include "platform/core/files/SafeRead.h"
#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace lumora::Diagnostics {
namespace {

std::mutex &logLock() {
  static std::mutex lock;
  return lock;
}

QString logPath() { return directory() + QStringLiteral("/diagnostics.log"); }

QString markerPath() { return directory() + QStringLiteral("/session.running"); }

// "%.0f" as printf rounds it; the label is concatenated, never used as a format.
QString wholeNumber(double value) { return QString::asprintf("%.0f", value); }

// The second field of /proc/self/statm: resident pages.
[[nodiscard]] long residentPages() {
  const platform::UniqueFd fd(::open("/proc/self/statm", O_RDONLY | O_CLOEXEC));
  if (!fd.isValid()) {
    return -1;
  }
  char buffer[128] = {};
  const long got = platform::fdio::readSome(fd.get(), buffer, sizeof(buffer) - 1);
  long size = 0;
  long resident = 0;
  if (got <= 0 || std::sscanf(buffer, "%ld %ld", &size, &resident) != 2 || resident < 0) {
    return -1;
  }
  return resident;
}

constexpr qsizetype kExportedLogLines = 200;
/// Far above what trimming lets the log reach; a larger file there is not our log.
constexpr qint64 kMaxExportedLogBytes = qint64(16) << 20;

QString orUnknown(const QString &value) { return value.isEmpty() ? QStringLiteral("?") : value; }

std::mutex identityMutex;
QString buildVersionText;          // guarded by identityMutex
QString applicationIdentifierText; // guarded by identityMutex

QString buildVersion() {
  const std::lock_guard<std::mutex> lock(identityMutex);
  return buildVersionText;
}

QString applicationIdentifier() {
  const std::lock_guard<std::mutex> lock(identityMutex);
  return applicationIdentifierText;
}

QString systemLine() {
  struct utsname names {};
  const bool known = ::uname(&names) == 0;
  return QStringLiteral("系统: Linux ") +
         (known ? orUnknown(QString::fromLocal8Bit(names.release)) : QStringLiteral("?")) +
         QLatin1Char(' ') +
         (known ? orUnknown(QString::fromLocal8Bit(names.machine)) : QStringLiteral("?"));
}

// A file's size in decimal units ("12.3 kB"); 0 bytes when the file is missing.
QString fileSizeText(const QString &name) {
  const QFileInfo info(directory() + QLatin1Char('/') + name);
  const qint64 size = info.exists() ? info.size() : 0;
  return QLocale::c().formattedDataSize(size, 1, QLocale::DataSizeSIFormat);
}

// The last lines of the log, or the "no record" line when it cannot be read. The log may begin
// inside a multi-byte character after trimming: invalid bytes decode as U+FFFD. NUL bytes (a
// log planted as zeros) are left out: no line of ours holds one, and a text with them is no
// plain text.
QStringList recentLogLines() {
  platform::saferead::Rules rules;
  rules.maxBytes = kMaxExportedLogBytes;
  rules.requireOwnFile = false;
  const platform::saferead::Outcome log = platform::saferead::read(logPath(), rules);
  if (!log.bytes) {
    return {QStringLiteral("（暂无记录）")};
  }
  QByteArray bytes = *log.bytes;
  bytes.removeIf([](char byte) { return byte == '\0'; });
  const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return lines.mid(std::max<qsizetype>(0, lines.size() - kExportedLogLines));
}

} // namespace

void log(const QString &category, const QString &message) {
  const QByteArray line =
      logline::build(category, message, static_cast<std::int64_t>(std::time(nullptr)));
  const std::scoped_lock guard(logLock());
  if (!platform::makeAppSupportDirectory()) {
    return;
  }
  const QString planted = logfile::append(logPath(), line);
  if (!planted.isEmpty()) {
    // Told in the new log itself; `log` cannot be called again under its lock.
    (void)logfile::append(
        logPath(),
        logline::build(
            QStringLiteral("app"),
            QStringLiteral("diagnostics.log was %1; replaced by a new file").arg(planted),
            static_cast<std::int64_t>(std::time(nullptr))));
  }
}

void logTiming(const QString &label, double seconds) {
  log(QStringLiteral("perf"),
      label + QStringLiteral(": ") + wholeNumber(seconds * 1000) + QStringLiteral(" ms"));
}

void logMemory(const QString &tag) {
  const double mb = currentResidentMB();
  if (mb > 0) {
    log(QStringLiteral("mem"),
        tag + QStringLiteral(": ") + wholeNumber(mb) + QStringLiteral(" MB"));
  }
}

double currentResidentMB() {
  const long pages = residentPages();
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages < 0 || pageSize <= 0) {
    return -1;
  }
  return static_cast<double>(pages) * static_cast<double>(pageSize) / 1024.0 / 1024.0;
}

/// Moves a folder holding files that stands at the marker's name aside, whole, under a free
/// name beside it; the name it got, or empty when it could not be moved.
QString setFolderAside(const std::filesystem::path &marker) {
  for (int attempt = 1; attempt < 100; ++attempt) {
    std::filesystem::path aside = marker;
    aside += ".aside-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, marker.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      return QFile::decodeName(aside.filename().c_str());
    }
    if (errno != EEXIST) {
      return {};
    }
  }
  return {};
}

void beginSession() {
  const std::filesystem::path marker = QFile::encodeName(markerPath()).toStdString();
  // Only the file a run writes tells of a run that did not end; anything else planted there
  // would tell it at every start.
  struct stat info {};
  if (::lstat(marker.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    log(QStringLiteral("app"), QStringLiteral("⚠️ unclean previous exit detected"));
  }
  platform::makeAppSupportDirectory();
  const QString planted = platform::datafile::plantedAt(marker);
  // Written as a new file renamed into place: whatever stood there (a FIFO, a link, an empty
  // folder) is replaced itself, never opened, written through or made private. A folder
  // holding files is kept whole under another name, so that the marker works again.
  bool written = platform::datafile::replaceEntry(marker, "running");
  int error = errno;
  QString aside;
  if (!written && error == ENOTEMPTY) {
    aside = setFolderAside(marker);
    written = !aside.isEmpty() && platform::datafile::replaceEntry(marker, "running");
    error = errno;
  }
  if (planted.isEmpty()) {
    return;
  }
  QString outcome = written ? QStringLiteral("replaced by a new file")
                            : QStringLiteral("left in place (%1): this run is not marked as "
                                             "running")
                                  .arg(QString::fromLocal8Bit(std::strerror(error)));
  if (!aside.isEmpty()) {
    outcome = QStringLiteral("moved aside whole as %1, %2").arg(aside, outcome);
  }
  log(QStringLiteral("app"), QStringLiteral("session.running was %1; %2").arg(planted, outcome));
}

void endSession() { QFile::remove(markerPath()); }

void installCrashHandler() {
  // Created now: a signal handler cannot create folders.
  platform::makeAppSupportDirectory();
  crashhandler::install(logPath());
}

void setBuildVersion(const QString &build) {
  const std::lock_guard<std::mutex> lock(identityMutex);
  buildVersionText = build;
}

void setApplicationIdentifier(const QString &identifier) {
  const std::lock_guard<std::mutex> lock(identityMutex);
  applicationIdentifierText = identifier;
}

QString exportText() {
  QStringList lines;
  lines << QStringLiteral("Pindle 诊断信息")
        << QStringLiteral("版本: ") + orUnknown(QCoreApplication::applicationVersion()) +
               QStringLiteral(" (") + orUnknown(buildVersion()) + QStringLiteral(")")
        << QStringLiteral("Bundle: ") + orUnknown(applicationIdentifier()) << systemLine()
        << QStringLiteral("时间: ") + logline::currentTimestamp() << QString()
        << QStringLiteral("— 缓存 —")
        << QStringLiteral("基础文件: ") + fileSizeText(QStringLiteral("analysis-cache.bin"))
        << QStringLiteral("增量日志: ") + fileSizeText(QStringLiteral("analysis-cache.bin.log"))
        << QStringLiteral("墓碑文件: ") + fileSizeText(QStringLiteral("analysis-cache.bin.deleted"))
        << QString() << QStringLiteral("— 内存 —")
        << QStringLiteral("当前常驻: ") + wholeNumber(currentResidentMB()) + QStringLiteral(" MB")
        << QString() << QStringLiteral("— 最近日志 —");
  lines << recentLogLines();
  return lines.join(QLatin1Char('\n'));
}

void clear() {
  const std::scoped_lock guard(logLock());
  QFile::remove(logPath());
}

QString directory() { return platform::appSupportDirectory(); }

QString sessionMarkerPath() { return markerPath(); }

QUrl logURL() { return QUrl::fromLocalFile(logPath()); }

} // namespace lumora::Diagnostics
