#include "engine/diagnostics/Diagnostics.h"

#include <QFile>
#include <csignal>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// The messages of the log's "crash" lines.
std::vector<std::string> crashLines() {
  QFile file(Diagnostics::logURL().toLocalFile());
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  std::vector<std::string> lines;
  for (const QByteArray &line : file.readAll().split('\n')) {
    const qsizetype at = line.indexOf("] [crash] ");
    if (at >= 0) {
      lines.push_back(line.mid(at + 10).toStdString());
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

class CrashHandlerTest : public ::testing::Test {
protected:
  void SetUp() override { Diagnostics::clear(); }
};

} // namespace

TEST_F(CrashHandlerTest, segmentationFaultWritesACrashLineAndStillKillsTheProcess) {
  expectKilledBy(runCrashingChild([] { ::raise(SIGSEGV); }), SIGSEGV);
  // A real fault comes back from the kernel when the handler returns; it must not loop.
  expectKilledBy(runCrashingChild([] {
                   void *page =
                       ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                   [[maybe_unused]] const int value = *static_cast<volatile int *>(page);
                 }),
                 SIGSEGV);
  const std::string expected = "fatal signal SIGSEGV (11)";
  EXPECT_EQ(crashLines(), (std::vector<std::string>{expected, expected}));
}

TEST_F(CrashHandlerTest, uncaughtExceptionLogsTypeReasonAndStackOnce) {
  const int status = runCrashingChild(terminateWhileHandling);
  expectKilledBy(status, SIGABRT);
  const std::vector<std::string> lines = crashLines();
  ASSERT_EQ(lines.size(), 2u);
  // The reason's line feed stays escaped: the exception text cannot break the log's lines.
  EXPECT_EQ(lines[0], "uncaught exception std::runtime_error: disk\\nfull");
  EXPECT_TRUE(lines[1].starts_with("stack: "));
  EXPECT_LE(QString::fromStdString(lines[1]).count(QStringLiteral(" | ")), 23);
}

TEST_F(CrashHandlerTest, terminateWithoutExceptionAndPlainAbortAreReportedOnceEach) {
  expectKilledBy(runCrashingChild([] { std::terminate(); }), SIGABRT);
  expectKilledBy(runCrashingChild([] { std::abort(); }), SIGABRT);
  std::vector<std::string> lines = crashLines();
  std::erase_if(lines, [](const std::string &line) { return line.starts_with("stack: "); });
  EXPECT_EQ(lines, (std::vector<std::string>{"std::terminate called without an active exception",
                                             "fatal signal SIGABRT (6)"}));
}
