#include "app/shell/window/QuitSignals.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lumora {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
int g_writeFd = -1;
// Set once the event loop has run its first round, and once a quit signal was sent through
// the pipe (a later one then ends the process at once).
std::atomic<bool> g_loopRunning = false;
std::atomic<bool> g_quitPending = false;
std::atomic<bool> g_owesReport = false;
int g_lastSignal = 0;
// Prepared in advance: a signal handler cannot build paths.
std::array<char, 4096> g_markerPath{};

extern "C" void onQuitSignal(int signal) {
  const bool owesReport = g_owesReport.load();
  const bool stuck = g_quitPending.exchange(true);
  if (stuck || (!g_loopRunning.load() && !owesReport)) {
    if (g_markerPath[0] != '\0') {
      ::unlink(g_markerPath.data());
    }
    ::_exit(owesReport ? 1 : 0);
  }
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // Nothing to do when the pipe is full: a quit is already pending.
  [[maybe_unused]] const ssize_t n = ::write(g_writeFd, &byte, 1);
  errno = saved;
}

sigset_t quitSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kSignals) {
    sigaddset(&set, signal);
  }
  return set;
}

} // namespace

void QuitSignals::holdUntilInstalled() {
  const sigset_t set = quitSignalSet();
  ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool QuitSignals::install(QObject *parent) {
  const sigset_t set = quitSignalSet();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    // Without the handlers the default action must end the process again.
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    return false;
  }
  g_writeFd = fds[1];
  new QuitSignals(fds[0], parent);
  QTimer::singleShot(0, parent, [] { g_loopRunning = true; });
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) {
    ::sigaction(signal, &action, nullptr);
  }
  // A signal held since `holdUntilInstalled` reaches the handler here.
  ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  return true;
}

QuitSignals::QuitSignals(int readFd, QObject *parent)
    : QObject(parent), m_readFd(readFd),
      m_notifier(new QSocketNotifier(readFd, QSocketNotifier::Read, this)) {
  connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::drain);
}

void QuitSignals::setMarkerToRemove(const QString &path) {
  const QByteArray native = QFile::encodeName(path);
  if (native.size() < static_cast<qsizetype>(g_markerPath.size())) {
    std::copy(native.begin(), native.end(), g_markerPath.begin());
    g_markerPath[static_cast<std::size_t>(native.size())] = '\0';
  }
}

void QuitSignals::setOwesReport(bool owes) { g_owesReport = owes; }

int QuitSignals::lastSignal() { return g_lastSignal; }

void QuitSignals::drain() {
  unsigned char byte = 0;
  int last = 0;
  while (::read(m_readFd, &byte, 1) == 1) {
    last = byte;
  }
  if (last != 0) {
    g_lastSignal = last;
    emit received(last);
    QCoreApplication::quit();
  }
}

} // namespace lumora
