#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumora {

/// Ends the application through its event loop on SIGTERM, SIGINT and SIGHUP, so the
/// normal shut-down runs (the session marker goes). The signal handler only writes one
/// byte to a pipe (async-signal-safe); a socket notifier on the other end quits the
/// application on the GUI thread. Before the event loop runs (unless the run owes a report),
/// or when a second signal finds the first still unhandled (the GUI thread is stuck), the
/// handler instead removes the session marker itself and ends the process at once.
class QuitSignals : public QObject {
  Q_OBJECT

public:
  /// Blocks the quit signals in the calling thread (and every thread it starts later) until
  /// `install` is done: one that arrives meanwhile waits and is handled then, instead of
  /// ending the process by its default action. Call first in `main`, before any thread exists.
  static void holdUntilInstalled();
  /// Installs the handlers and releases the held signals; false (with nothing installed)
  /// when the pipe cannot be made. Call once, from the GUI thread, after the application
  /// object exists.
  static bool install(QObject *parent);
  /// The file the handler removes when it ends the process without the event loop (the
  /// session marker). Call before the file is created.
  static void setMarkerToRemove(const QString &path);
  /// For a run that owes a report when it ends (a self-test): a signal that arrives before
  /// the event loop runs waits for the loop instead of ending the process, and a process
  /// ended at once (a second signal while the first waits) exits with 1, never 0.
  static void setOwesReport(bool owes);
  /// The last quit signal the event loop handled; 0 before any.
  [[nodiscard]] static int lastSignal();

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
