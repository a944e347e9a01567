#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace lumora {

/// Keeps a second copy of the application from running beside the first: both would share
/// one data folder, and each would rewrite the favourites and the analysis cache from its
/// own memory. The first copy holds a lock file and listens on a local socket in
/// `XDG_RUNTIME_DIR`; a second copy finds the lock taken, asks the first (through the
/// socket) to raise its window, and ends.
class SingleInstance : public QObject {
  Q_OBJECT

public:
  /// `directory` holds "pindle.lock" and "pindle.socket" (the runtime folder by default).
  explicit SingleInstance(QString directory = runtimeDirectory(), QObject *parent = nullptr);
  ~SingleInstance() override;

  /// True when this process is the only copy: it then holds the lock and listens. False
  /// when another copy holds it (that copy has been asked to raise its window).
  bool acquire();

  /// `XDG_RUNTIME_DIR`, else Qt's runtime location.
  [[nodiscard]] static QString runtimeDirectory();
  [[nodiscard]] QString socketPath() const;

signals:
  /// A later copy asked this one to show its window.
  void activationRequested();

private:
  void onConnection();

  QString m_directory;
  std::unique_ptr<QLockFile> m_lock;
  QLocalServer m_server;
};

} // namespace lumora
