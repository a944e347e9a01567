#include "engine/diagnostics/LoggedName.h"

#include <QByteArray>
#include <QStringDecoder>

namespace lumora::logline {

QString fileName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') {
    path.remove_suffix(1);
  }
  const std::size_t slash = path.rfind('/');
  if (slash != std::string_view::npos && slash + 1 < path.size()) {
    path.remove_prefix(slash + 1);
  }
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString name = decoder(bytes);
  if (decoder.hasError()) {
    return QString::fromLatin1(bytes.toPercentEncoding(" "));
  }
  return name;
}

} // namespace lumora::logline
