#pragma once

#include "platform/core/AppDirectories.h"
#include "platform/core/posix/FileLock.h"

#include <QLocalServer>
#include <QObject>

namespace lumora {

/// Keeps a second copy of the application from running beside the first over the same data
/// folder: each would rewrite the favourites and the analysis cache from its own memory.
/// The first copy holds a lock on "pindle.lock" in the data folder (so copies started with
/// different or no runtime folders still meet) and listens on a local socket in the runtime
/// folder, named after the data folder; a second copy finds the lock taken, asks the first
/// (through the socket) to raise its window, and ends. The operating system drops the lock
/// when a copy ends in any way, so a crashed copy never blocks the next launch.
class SingleInstance : public QObject {
  Q_OBJECT

public:
  /// `dataDirectory` holds "pindle.lock" (the application's data folder by default);
  /// `socketDirectory` the socket (the runtime folder by default).
  explicit SingleInstance(QString dataDirectory = platform::appSupportDirectory(),
                          QString socketDirectory = runtimeDirectory(), QObject *parent = nullptr);
  ~SingleInstance() override;

  /// True when this process is the only copy: it then holds the lock and listens. False
  /// when another copy holds it (that copy has been asked to raise its window). When the
  /// lock file cannot be made at all, this copy runs (true) and says so in the log.
  bool acquire();

  /// `XDG_RUNTIME_DIR`, else Qt's runtime location.
  [[nodiscard]] static QString runtimeDirectory();
  [[nodiscard]] QString socketPath() const;

signals:
  /// A later copy asked this one to show its window.
  void activationRequested();

private:
  void onConnection();

  QString m_dataDirectory;
  QString m_socketDirectory;
  platform::FileLock m_lock;
  QLocalServer m_server;
};

} // namespace lumora
