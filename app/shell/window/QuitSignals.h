#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumora {

/// Ends the application through its event loop on SIGTERM, SIGINT and SIGHUP, so the
/// normal shut-down runs (the session marker goes). The signal handler only writes one
/// byte to a pipe (async-signal-safe); a socket notifier on the other end quits the
/// application on the GUI thread.
class QuitSignals : public QObject {
  Q_OBJECT

public:
  /// Installs the handlers; false (with nothing installed) when the pipe cannot be made.
  /// Call once, from the GUI thread, after the application object exists.
  static bool install(QObject *parent);

signals:
  /// A quit signal arrived (emitted just before the application is asked to quit).
  void received(int signal);

private:
  QuitSignals(int readFd, QObject *parent);
  void drain();

  int m_readFd;
  QSocketNotifier *m_notifier;
};

} // namespace lumora
