#include "app/shell/QAInputs.h"

#include "app/store/services/QaMarkers.h"

#include <cmath>

namespace lumora::qa {
std::optional<ColorScheme> forcedColorScheme(const QString &markerDirectory) {
  platform::saferead::Rules rules;
  rules.maxBytes = kMarkerLimit;
  const std::optional<QString> text =
      qamarkers::text(markerDirectory + QLatin1Char('/') + QLatin1String(kAppearanceMarker), rules);
  if (!text) {
    return std::nullopt;
  }
  const QString value = text->trimmed().toLower();
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

std::optional<QString> optionValue(const QStringList &arguments, const QString &flag) {
  const QString joined = flag + QLatin1Char('=');
  for (qsizetype at = 0; at < arguments.size(); ++at) {
    const QString &argument = arguments.at(at);
    if (argument.startsWith(joined)) {
      return argument.mid(joined.size());
    }
    if (argument == flag) {
      return at + 1 < arguments.size() ? std::optional(arguments.at(at + 1)) : std::nullopt;
    }
  }
  return std::nullopt;
}

} // namespace lumora::qa
