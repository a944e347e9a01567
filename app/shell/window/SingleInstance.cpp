#include "app/shell/window/SingleInstance.h"

#include "engine/diagnostics/Diagnostics.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <cerrno>
#include <cstring>
#include <sys/un.h>
#include <unistd.h>

namespace lumora {
namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kConnectTimeoutMs = 1000;
constexpr char kSocketFile[] = "pindle.socket";

/// The longest path a local socket address holds (without its terminating zero).
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;

/// Why a connection failed, in the words of the standard-error line.
QString reasonOf(const QLocalSocket &socket) {
  switch (socket.error()) {
  case QLocalSocket::ServerNotFoundError: return QStringLiteral("nothing listens there");
  case QLocalSocket::ConnectionRefusedError: return QStringLiteral("the connection was refused");
  case QLocalSocket::SocketTimeoutError: return QStringLiteral("no answer within 1 s");
  case QLocalSocket::SocketAccessError: return QStringLiteral("permission denied");
  default: return socket.errorString();
  }
}

} // namespace

SingleInstance::SingleInstance(QString dataDirectory, QObject *parent)
    : QObject(parent), m_dataDirectory(std::move(dataDirectory)) {
  connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
}

SingleInstance::~SingleInstance() { m_server.close(); }

bool SingleInstance::usesAbstractName() const {
  const QString file = QDir(m_dataDirectory).filePath(QString::fromLatin1(kSocketFile));
  return QFile::encodeName(file).size() > kMaxSocketPath;
}

QString SingleInstance::socketName() const {
  if (!usesAbstractName()) {
    return QDir(m_dataDirectory).filePath(QString::fromLatin1(kSocketFile));
  }
  // The abstract namespace is shared by all users: the user id keeps each user's apart.
  const QByteArray key =
      QCryptographicHash::hash(QFile::encodeName(m_dataDirectory), QCryptographicHash::Sha1)
          .toHex()
          .left(16);
  return QStringLiteral("pindle-%1-%2").arg(::geteuid()).arg(QString::fromLatin1(key));
}

SingleInstance::Outcome SingleInstance::acquire() {
  if (m_dataDirectory == platform::appSupportDirectory()) {
    platform::makeAppSupportDirectory();
  }
  QDir().mkpath(m_dataDirectory);
  m_lock = platform::FileLock::tryAcquire(
      QFile::encodeName(QDir(m_dataDirectory).filePath(QStringLiteral("pindle.lock")))
          .toStdString());
  if (!m_lock.refusal().isEmpty() && !m_lock.replacedRefusal()) {
    return refuse();
  }
  if (!m_lock.refusal().isEmpty()) {
    Diagnostics::log(
        QStringLiteral("app"),
        QStringLiteral("pindle.lock was %1; replaced by a new file").arg(m_lock.refusal()));
  }
  if (!m_lock.isHeld() && m_lock.error() == EWOULDBLOCK) {
    return handOver();
  }
  if (!m_lock.isHeld()) {
    Diagnostics::log(QStringLiteral("app"),
                     QStringLiteral("single-instance lock unavailable (%1); running anyway")
                         .arg(QString::fromLocal8Bit(std::strerror(m_lock.error()))));
  }
  listen();
  return Outcome::first;
}

SingleInstance::Outcome SingleInstance::refuse() {
  const QString lockFile = QDir(m_dataDirectory).filePath(QStringLiteral("pindle.lock"));
  const QString reason = QString::fromLocal8Bit(std::strerror(m_lock.error()));
  Diagnostics::log(QStringLiteral("app"),
                   QStringLiteral("pindle.lock was %1; left in place (%2), not started without "
                                  "the single-instance lock")
                       .arg(m_lock.refusal(), reason));
  m_problem = QStringLiteral("Pindle did not start: %1 is %2 and could not be replaced by its "
                             "lock file (%3). Move it away and start Pindle again.")
                  .arg(QDir::toNativeSeparators(lockFile), m_lock.refusal(), reason);
  return Outcome::refused;
}

void SingleInstance::listen() {
  if (m_lock.isHeld() && !usesAbstractName()) {
    // We hold the lock, so a socket file left there is from a dead copy.
    QLocalServer::removeServer(socketName());
  }
  m_server.setSocketOptions(usesAbstractName() ? QLocalServer::AbstractNamespaceOption
                                               : QLocalServer::UserAccessOption);
  if (!m_server.listen(socketName())) {
    Diagnostics::log(QStringLiteral("app"),
                     QStringLiteral("cannot listen for later copies at %1: %2")
                         .arg(socketName(), m_server.errorString()));
  }
}

SingleInstance::Outcome SingleInstance::handOver() {
  QLocalSocket socket;
  if (usesAbstractName()) {
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  }
  socket.connectToServer(socketName());
  if (socket.waitForConnected(kConnectTimeoutMs)) {
    // The connection itself asks for the window; the line only says so.
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return Outcome::handedOver;
  }
  m_problem = QStringLiteral("Pindle is already running over %1, but its window could not be "
                             "raised (%2: %3).")
                  .arg(QDir::toNativeSeparators(m_dataDirectory), socketName(), reasonOf(socket));
  return Outcome::unreachable;
}

void SingleInstance::onConnection() {
  while (QLocalSocket *socket = m_server.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    Diagnostics::log(QStringLiteral("app"), QStringLiteral("window raised for a later copy"));
    emit activationRequested();
  }
}

} // namespace lumora
