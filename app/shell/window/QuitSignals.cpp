#include "app/shell/window/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lumora {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
int g_writeFd = -1;

extern "C" void onQuitSignal(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // Nothing to do when the pipe is full: a quit is already pending.
  [[maybe_unused]] const ssize_t n = ::write(g_writeFd, &byte, 1);
  errno = saved;
}

} // namespace

bool QuitSignals::install(QObject *parent) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    return false;
  }
  g_writeFd = fds[1];
  new QuitSignals(fds[0], parent);
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) {
    ::sigaction(signal, &action, nullptr);
  }
  return true;
}

QuitSignals::QuitSignals(int readFd, QObject *parent)
    : QObject(parent), m_readFd(readFd),
      m_notifier(new QSocketNotifier(readFd, QSocketNotifier::Read, this)) {
  connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::drain);
}

void QuitSignals::drain() {
  unsigned char byte = 0;
  int last = 0;
  while (::read(m_readFd, &byte, 1) == 1) {
    last = byte;
  }
  if (last != 0) {
    emit received(last);
    QCoreApplication::quit();
  }
}

} // namespace lumora
