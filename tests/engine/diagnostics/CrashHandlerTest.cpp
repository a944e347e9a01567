#include "engine/diagnostics/Diagnostics.h"

#include <QFile>
#include <QRegularExpression>
#include <csignal>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumora;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr int kSurvived = 77;

// Runs `crash` in a forked child that installed the crash handler; returns its wait status.
int runCrashingChild(const std::function<void()> &crash) {
  const pid_t child = ::fork();
  if (child == 0) {
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDERR_FILENO); // the default handlers' own reports are expected noise
    Diagnostics::installCrashHandler();
    crash();
    ::_exit(kSurvived);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

QStringList crashLines() {
  QFile file(Diagnostics::logURL().toLocalFile());
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QStringList lines;
  for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    const qsizetype at = line.indexOf(QStringLiteral("] [crash] "));
    if (at >= 0) {
      lines.append(line.mid(at + 10));
    }
  }
  return lines;
}

// The process still dies the way it would have without the handler.
void expectKilledBy(int status, int signal) {
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == kSurvived);
  if (!kSanitized) { // sanitizers report the signal themselves and may exit instead
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
  }
}

[[noreturn]] void terminateWhileHandling() {
  try {
    throw std::runtime_error("disk\nfull");
  } catch (...) {
    std::terminate();
  }
}

struct Opaque {};

class CrashHandlerTest : public ::testing::Test {
protected:
  void SetUp() override { Diagnostics::clear(); }
};

} // namespace

TEST_F(CrashHandlerTest, segmentationFaultWritesACrashLineAndStillKillsTheProcess) {
  expectKilledBy(runCrashingChild([] { ::raise(SIGSEGV); }), SIGSEGV);
  // A real fault comes back from the kernel when the handler returns; it must not loop.
  expectKilledBy(runCrashingChild([] {
                   void *page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                   [[maybe_unused]] const int value = *static_cast<volatile int *>(page);
                 }),
                 SIGSEGV);
  const QString expected = QStringLiteral("fatal signal SIGSEGV (11)");
  EXPECT_EQ(crashLines(), (QStringList{expected, expected}));
}

TEST_F(CrashHandlerTest, uncaughtExceptionLogsTypeReasonAndStackOnce) {
  const int status = runCrashingChild(terminateWhileHandling);
  expectKilledBy(status, SIGABRT);
  const QStringList lines = crashLines();
  ASSERT_EQ(lines.size(), 2) << lines.join(QLatin1Char('\n')).toStdString();
  // The reason's line feed stays escaped: the exception text cannot break the log's lines.
  EXPECT_EQ(lines[0], QStringLiteral("uncaught exception std::runtime_error: disk\\nfull"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("stack: ")));
  EXPECT_LE(lines[1].count(QStringLiteral(" | ")), 23);
}

TEST_F(CrashHandlerTest, exceptionWithoutReasonAndTerminateWithoutException) {
  int status = runCrashingChild([] {
    try {
      throw Opaque{};
    } catch (...) {
      std::terminate();
    }
  });
  expectKilledBy(status, SIGABRT);
  status = runCrashingChild([] { std::terminate(); });
  expectKilledBy(status, SIGABRT);
  const QStringList lines = crashLines().filter(QRegularExpression(QStringLiteral("^(?!stack: )")));
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("uncaught exception ")));
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("Opaque: (no reason)")));
  EXPECT_EQ(lines[1], QStringLiteral("std::terminate called without an active exception"));
}

TEST_F(CrashHandlerTest, abortWithoutExceptionIsReportedAsSignal) {
  const int status = runCrashingChild([] { std::abort(); });
  expectKilledBy(status, SIGABRT);
  EXPECT_EQ(crashLines(), QStringList{QStringLiteral("fatal signal SIGABRT (6)")});
}
