#include "app/shell/window/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace lumora {
namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kConnectTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(QString directory, QObject *parent)
    : QObject(parent), m_directory(std::move(directory)) {
  connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
}

SingleInstance::~SingleInstance() { m_server.close(); }

QString SingleInstance::runtimeDirectory() {
  const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!xdg.isEmpty()) {
    return xdg;
  }
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString SingleInstance::socketPath() const {
  return QDir(m_directory).filePath(QStringLiteral("pindle.socket"));
}

bool SingleInstance::acquire() {
  QDir().mkpath(m_directory);
  m_lock = std::make_unique<QLockFile>(QDir(m_directory).filePath(QStringLiteral("pindle.lock")));
  // A lock left by a crashed copy is stale (its process is gone) and is taken over.
  m_lock->setStaleLockTime(0);
  if (!m_lock->tryLock(0)) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(kConnectTimeoutMs)) {
      socket.write(kActivate);
      socket.waitForBytesWritten(kConnectTimeoutMs);
      socket.disconnectFromServer();
    }
    return false;
  }
  // We hold the lock, so a socket file left there is from a dead copy.
  QLocalServer::removeServer(socketPath());
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  m_server.listen(socketPath());
  return true;
}

void SingleInstance::onConnection() {
  while (QLocalSocket *socket = m_server.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    emit activationRequested();
  }
}

} // namespace lumora
