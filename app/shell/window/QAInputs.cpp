#include "app/shell/window/QAInputs.h"

#include <QFile>
#include <QStringDecoder>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::qa {
namespace {

// The marker's bytes when it is a regular file of at most `kMarkerLimit` bytes; opened
// non-blocking so a FIFO cannot stall the GUI thread.
std::optional<QByteArray> readSmallRegularFile(const QString &path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<QByteArray> result;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMarkerLimit) {
    QByteArray bytes(kMarkerLimit + 1, '\0');
    const ssize_t n = ::read(fd, bytes.data(), static_cast<size_t>(bytes.size()));
    if (n >= 0 && n <= kMarkerLimit) {
      bytes.truncate(static_cast<qsizetype>(n));
      result = bytes;
    }
  }
  ::close(fd);
  return result;
}

} // namespace

std::optional<ColorScheme> forcedColorScheme(const QString &markerDirectory) {
  const std::optional<QByteArray> bytes =
      readSmallRegularFile(markerDirectory + QLatin1Char('/') + QLatin1String(kAppearanceMarker));
  if (!bytes) {
    return std::nullopt;
  }
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder.decode(*bytes);
  if (decoder.hasError()) {
    return std::nullopt;
  }
  const QString value = text.trimmed().toLower();
  if (value == QLatin1String("light")) {
    return ColorScheme::light;
  }
  if (value == QLatin1String("dark")) {
    return ColorScheme::dark;
  }
  return std::nullopt;
}

std::optional<QSizeF> parseSize(const QString &text) {
  const QStringList pieces = text.toLower().split(QLatin1Char('x'), Qt::SkipEmptyParts);
  if (pieces.size() != 2) {
    return std::nullopt;
  }
  double sides[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    bool ok = false;
    sides[i] = pieces[i].toDouble(&ok);
    if (!ok || !std::isfinite(sides[i]) || sides[i] < 1 || sides[i] > kMaxSide) {
      return std::nullopt;
    }
  }
  return QSizeF(sides[0], sides[1]);
}

std::optional<QSizeF> forcedWindowSize(const QSettings &settings) {
  const QVariant value = settings.value(QLatin1String(kWindowSizeKey));
  if (!value.isValid()) {
    return std::nullopt;
  }
  return parseSize(value.toString());
}

std::optional<QString> argumentAfter(const QStringList &arguments, const QString &flag) {
  const qsizetype at = arguments.indexOf(flag);
  if (at < 0 || at + 1 >= arguments.size()) {
    return std::nullopt;
  }
  return arguments.at(at + 1);
}

} // namespace lumora::qa
