#include "engine/diagnostics/CrashHandler.h"

#include "engine/diagnostics/LogLine.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <limits.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::crashhandler {
namespace {

constexpr std::array<int, 5> kSignals = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kMaxStackFrames = 24;
constexpr std::size_t kAltStackSize = 64 * 1024;

// Everything the handlers use is prepared by install() and only read afterwards.
char g_logPath[PATH_MAX] = {};
std::array<struct sigaction, kSignals.size()> g_previousActions{};
std::terminate_handler g_previousTerminate = nullptr;
alignas(16) char g_altStack[kAltStackSize];
std::atomic<bool> g_installed{false};
// Set once a crash has been reported: the abort that follows an uncaught exception, or the
// abort of a sanitizer that reports a fault after us, adds no second, less telling line.
std::atomic<bool> g_reported{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Async-signal-safe: open, write, close on a path prepared in advance. Only a regular file
// is written; a link or FIFO planted there is left for the next ordinary log line to replace.
void appendRaw(const char *data, std::size_t length) noexcept {
  if (g_logPath[0] == '\0') {
    return;
  }
  const platform::UniqueFd fd(
      ::open(g_logPath, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  struct stat info {};
  if (!fd.isValid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return;
  }
  while (length > 0) {
    const ssize_t written = ::write(fd.get(), data, length);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      break;
    }
    data += written;
    length -= static_cast<std::size_t>(written);
  }
}

const char *signalName(int signal) noexcept {
  switch (signal) {
  case SIGSEGV: return "SIGSEGV";
  case SIGBUS: return "SIGBUS";
  case SIGILL: return "SIGILL";
  case SIGFPE: return "SIGFPE";
  case SIGABRT: return "SIGABRT";
  default: return "signal";
  }
}

/// Appends characters to a fixed buffer without allocating; excess is cut off.
class FixedText {
public:
  void add(const char *text) noexcept {
    for (; *text != '\0' && m_length < sizeof(m_buffer); ++text) {
      m_buffer[m_length++] = *text;
    }
  }
  void add(const char *text, std::size_t length) noexcept {
    for (std::size_t i = 0; i < length && m_length < sizeof(m_buffer); ++i) {
      m_buffer[m_length++] = text[i];
    }
  }
  void addNumber(int value) noexcept {
    char digits[12];
    std::size_t count = 0;
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude > 0);
    if (value < 0) {
      add("-");
    }
    while (count > 0) {
      add(&digits[--count], 1);
    }
  }
  [[nodiscard]] const char *data() const noexcept { return m_buffer; }
  [[nodiscard]] std::size_t size() const noexcept { return m_length; }

private:
  char m_buffer[192] = {};
  std::size_t m_length = 0;
};

// Starts a line "[time] [crash] " without allocating.
void startLine(FixedText &line) noexcept {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  char stamp[logline::kTimestampLength];
  logline::formatTimestamp(static_cast<std::int64_t>(now.tv_sec), stamp);
  line.add("[");
  line.add(stamp, sizeof(stamp));
  line.add("] [crash] ");
}

void writeSignalLine(int signal) noexcept {
  FixedText line;
  startLine(line);
  line.add("fatal signal ");
  line.add(signalName(signal));
  line.add(" (");
  line.addNumber(signal);
  line.add(")\n");
  appendRaw(line.data(), line.size());
}

void onFatalSignal(int signal, siginfo_t *info, void *) {
  const int savedErrno = errno;
  if (!g_reported.exchange(true)) {
    writeSignalLine(signal);
  }
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (kSignals[i] == signal) {
      ::sigaction(signal, &g_previousActions[i], nullptr);
    }
  }
  errno = savedErrno;
  // A fault raised by the kernel (si_code > 0) recurs when the instruction runs again after we
  // return, and then meets the previous handler. A signal that was sent (raise, kill, abort) has
  // to be sent again; it stays blocked until this handler returns.
  if (info == nullptr || info->si_code <= 0) {
    ::raise(signal);
  }
}

QString demangled(const char *name) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> readable(
      abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
  return QString::fromUtf8(status == 0 && readable ? readable.get() : name);
}

// The exception's what(), empty for one that is no std::exception.
QString reasonOf(const std::exception_ptr &exception) {
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception &error) {
    return QString::fromUtf8(error.what());
  } catch (...) {
  }
  return {};
}

QString describeCurrentException() {
  const std::exception_ptr current = std::current_exception();
  if (!current) {
    return QStringLiteral("std::terminate called without an active exception");
  }
  const std::type_info *type = abi::__cxa_current_exception_type();
  const QString reason = reasonOf(current);
  return QStringLiteral("uncaught exception ") +
         (type ? demangled(type->name()) : QStringLiteral("(unknown type)")) +
         QStringLiteral(": ") + (reason.isEmpty() ? QStringLiteral("(no reason)") : reason);
}

QString currentStack() {
  // One frame more than kept: the first is this handler itself.
  void *frames[kMaxStackFrames + 1];
  const int count = ::backtrace(frames, kMaxStackFrames + 1);
  const std::unique_ptr<char *, decltype(&std::free)> symbols(::backtrace_symbols(frames, count),
                                                              &std::free);
  QStringList parts;
  for (int i = 1; symbols && i < count; ++i) {
    parts.append(QString::fromUtf8(symbols.get()[i]));
  }
  return parts.join(QStringLiteral(" | "));
}

void writeLine(const QString &message) {
  const QByteArray line = logline::build(QStringLiteral("crash"), message,
                                         static_cast<std::int64_t>(std::time(nullptr)));
  appendRaw(line.constData(), static_cast<std::size_t>(line.size()));
}

[[noreturn]] void onTerminate() {
  try {
    writeLine(describeCurrentException());
    const QString stack = currentStack();
    if (!stack.isEmpty()) {
      writeLine(QStringLiteral("stack: ") + stack);
    }
  } catch (...) {
    // Out of memory while describing the exception: keep the fixed line at least.
    FixedText line;
    startLine(line);
    line.add("uncaught exception (no memory left to describe it)\n");
    appendRaw(line.data(), line.size());
  }
  g_reported.store(true);
  if (g_previousTerminate != nullptr) {
    g_previousTerminate();
  }
  std::abort();
}

void installAltStack() {
  stack_t current{};
  if (::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) {
    return; // the thread already has one (sanitizers install their own)
  }
  stack_t stack{};
  stack.ss_sp = g_altStack;
  stack.ss_size = sizeof(g_altStack);
  ::sigaltstack(&stack, nullptr);
}

void installSignalHandlers() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    ::sigaction(kSignals[i], &action, &g_previousActions[i]);
  }
}

} // namespace

void install(const QString &logPath) {
  if (g_installed.exchange(true)) {
    return;
  }
  const QByteArray native = QFile::encodeName(logPath);
  if (static_cast<std::size_t>(native.size()) < sizeof(g_logPath)) {
    std::memcpy(g_logPath, native.constData(), static_cast<std::size_t>(native.size()) + 1);
  }
  // backtrace() loads the unwinder lazily, which allocates; do it now rather than while dying.
  void *warmUp[1];
  ::backtrace(warmUp, 1);
  installAltStack();
  installSignalHandlers();
  g_previousTerminate = std::set_terminate(onTerminate);
}

} // namespace lumora::crashhandler
