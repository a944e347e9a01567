#pragma once

#include "platform/core/AppDirectories.h"
#include "platform/core/files/FileLock.h"

#include <QLocalServer>
#include <QObject>

namespace lumora {

/// Keeps a second copy of the application from running beside the first over the same data
/// folder: each would rewrite the favourites and the analysis cache from its own memory.
/// The first copy holds a lock on "pindle.lock" in the data folder and listens on a local
/// socket found through the data folder too, so every copy that meets the lock also finds
/// the socket, whatever its runtime folder or environment. A second copy finds the lock
/// taken, asks the first (through the socket) to raise its window, and ends. The operating
/// system drops the lock when a copy ends in any way, so a crashed copy never blocks the
/// next launch.
class SingleInstance : public QObject {
  Q_OBJECT

public:
  enum class Outcome {
    /// This process is the only copy: it holds the lock and listens.
    first,
    /// Another copy holds the lock and was asked to raise its window.
    handedOver,
    /// Another copy holds the lock but could not be asked to raise its window: `problem`
    /// says why.
    unreachable,
    /// Something other than a lock file stands in its place and could not be replaced (a
    /// folder holding files): no copy can hold the lock, so this one does not run.
    /// `problem` says what to remove.
    refused,
  };

  /// `dataDirectory` holds "pindle.lock" and names the socket (the application's data
  /// folder by default).
  explicit SingleInstance(QString dataDirectory = platform::appSupportDirectory(),
                          QObject *parent = nullptr);
  ~SingleInstance() override;

  /// Takes the lock or hands over to the copy that holds it. When the lock file cannot be
  /// made at all (a data folder that cannot be written), this copy runs (`first`) and says so
  /// in the log; when something planted in its place cannot be replaced, it is `refused`.
  Outcome acquire();

  /// Why the other copy could not be reached, for the user (English, one line).
  [[nodiscard]] const QString &problem() const { return m_problem; }
  /// The socket's name: "pindle.socket" in the data folder, or, when that path is too long
  /// for a socket address, a name in the abstract namespace made from the user id and the
  /// data folder.
  [[nodiscard]] QString socketName() const;

signals:
  /// A later copy asked this one to show its window.
  void activationRequested();

private:
  void onConnection();
  [[nodiscard]] bool usesAbstractName() const;
  void listen();
  [[nodiscard]] Outcome handOver();
  /// Logs and explains why the lock's place is taken for good.
  [[nodiscard]] Outcome refuse();

  QString m_dataDirectory;
  platform::FileLock m_lock;
  QLocalServer m_server;
  QString m_problem;
};

} // namespace lumora
