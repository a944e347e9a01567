#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumora {

/// Ends the application through its event loop on SIGTERM, SIGINT and SIGHUP, so the
/// normal shut-down runs (the session marker goes). The signal handler only writes one
/// byte to a pipe (async-signal-safe); a socket notifier on the other end quits the
/// application on the GUI thread. Before the event loop runs, or when a second signal
/// finds the first still unhandled (the GUI thread is stuck), nothing would read the pipe:
/// the handler then removes the session marker itself and ends the process at once.
class QuitSignals : public QObject {
  Q_OBJECT

public:
  /// Installs the handlers; false (with nothing installed) when the pipe cannot be made.
  /// Call once, from the GUI thread, after the application object exists.
  static bool install(QObject *parent);
  /// The file the handler removes when it ends the process without the event loop (the
  /// session marker). Call before the file is created.
  static void setMarkerToRemove(const QString &path);

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
