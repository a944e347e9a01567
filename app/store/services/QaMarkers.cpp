#include "app/store/services/QaMarkers.h"

#include "engine/diagnostics/Diagnostics.h"

#include <QStringDecoder>

namespace lumora::qamarkers {
namespace {

void logRefusal(const QString &path, const QString &why) {
  Diagnostics::log(QStringLiteral("qa"), QStringLiteral("marker %1 ignored: %2").arg(path, why));
}

} // namespace

std::optional<QString> text(const QString &path, const platform::saferead::Rules &rules) {
  const platform::saferead::Outcome outcome = platform::saferead::read(path, rules);
  if (!outcome.bytes) {
    if (!outcome.refusal.isEmpty()) {
      logRefusal(path, outcome.refusal);
    }
    return std::nullopt;
  }
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = decoder.decode(*outcome.bytes);
  if (decoder.hasError()) {
    logRefusal(path, QStringLiteral("not UTF-8"));
    return std::nullopt;
  }
  return decoded;
}

std::optional<QString> folder(const QString &path) {
  const std::optional<QString> raw = text(path);
  const QString trimmed = raw ? raw->trimmed() : QString();
  if (trimmed.isEmpty()) {
    return std::nullopt;
  }
  if (!trimmed.startsWith(QLatin1Char('/')) || trimmed.contains(QChar(u'\0'))) {
    logRefusal(path, QStringLiteral("not an absolute path"));
    return std::nullopt;
  }
  return trimmed;
}

bool present(const QString &path) {
  const platform::saferead::Outcome outcome = platform::saferead::read(path);
  if (!outcome.refusal.isEmpty()) {
    logRefusal(path, outcome.refusal);
  }
  return outcome.bytes.has_value();
}

} // namespace lumora::qamarkers
