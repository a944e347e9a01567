#include "app/shell/window/SingleInstance.h"

#include "engine/diagnostics/Diagnostics.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

namespace lumora {
namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kConnectTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(QString dataDirectory, QString socketDirectory, QObject *parent)
    : QObject(parent), m_dataDirectory(std::move(dataDirectory)),
      m_socketDirectory(std::move(socketDirectory)) {
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
  // Named after the data folder: copies over other data folders listen on sockets of their own.
  const QByteArray key =
      QCryptographicHash::hash(QFile::encodeName(m_dataDirectory), QCryptographicHash::Sha1)
          .toHex()
          .left(12);
  return QDir(m_socketDirectory)
      .filePath(QStringLiteral("pindle-%1.socket").arg(QString::fromLatin1(key)));
}

bool SingleInstance::acquire() {
  if (m_dataDirectory == platform::appSupportDirectory()) {
    platform::makeAppSupportDirectory();
  }
  QDir().mkpath(m_dataDirectory);
  QDir().mkpath(m_socketDirectory);
  m_lock = platform::FileLock::tryAcquire(
      QFile::encodeName(QDir(m_dataDirectory).filePath(QStringLiteral("pindle.lock")))
          .toStdString());
  if (!m_lock.isHeld() && m_lock.error() != EWOULDBLOCK) {
    Diagnostics::log(QStringLiteral("app"),
                     QStringLiteral("single-instance lock unavailable (%1); running anyway")
                         .arg(QString::fromLocal8Bit(std::strerror(m_lock.error()))));
  } else if (!m_lock.isHeld()) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(kConnectTimeoutMs)) {
      socket.write(kActivate);
      socket.waitForBytesWritten(kConnectTimeoutMs);
      socket.disconnectFromServer();
    }
    return false;
  }
  if (m_lock.isHeld()) {
    // We hold the lock, so a socket file left there is from a dead copy.
    QLocalServer::removeServer(socketPath());
  }
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
