#include "app/store/texts/Fmt.h"

#include "app/store/texts/LocalDate.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/MonthKey.h"
#include "engine/util/Numeric.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace lumora::Fmt {
namespace {

// Rounds half away from zero into a 64-bit integer; NaN reads 0 and values beyond the
// 64-bit range are clamped, because a plain conversion of those is undefined.
std::int64_t roundedInt(double value) { return numeric::truncatedInt(std::round(value)); }

// The zh_CN medium date pattern "y年M月d日".
QString chineseMediumDate(const QDate &date) {
  const QCalendar::YearMonthDay parts = MonthKey::calendar().partsFromDate(date);
  return QString::number(parts.year) + QStringLiteral("年") + QString::number(parts.month) +
         QStringLiteral("月") + QString::number(parts.day) + QStringLiteral("日");
}

// A decimal with at most `decimals` places, trailing zeros and a bare point removed.
QString trimmedDecimal(double value, int decimals) {
  QString text = QString::number(value, 'f', decimals);
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) {
      text.chop(1);
    }
    if (text.endsWith(u'.')) {
      text.chop(1);
    }
  }
  return text;
}

} // namespace

QString byteCount(std::int64_t bytes) {
  if (bytes < 1000) {
    return QString::number(std::max<std::int64_t>(bytes, 0)) + QStringLiteral(" 字节");
  }
  struct Unit {
    const char *name;
    int decimals;
  };
  static constexpr Unit kUnits[] = {{"KB", 0}, {"MB", 1}, {"GB", 2},
                                    {"TB", 2}, {"PB", 2}, {"EB", 2}};
  double value = static_cast<double>(bytes) / 1000.0;
  std::size_t unit = 0;
  // Move up while the value, rounded as it will be shown, would read 1000 or more.
  while (unit + 1 < std::size(kUnits) &&
         std::round(value * std::pow(10.0, kUnits[unit].decimals)) >=
             1000.0 * std::pow(10.0, kUnits[unit].decimals)) {
    value /= 1000.0;
    ++unit;
  }
  return trimmedDecimal(value, kUnits[unit].decimals) + u' ' +
         QString::fromLatin1(kUnits[unit].name);
}

QString number(std::int64_t value) {
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<qlonglong>(value));
}

QString duration(double seconds) {
  if (!std::isfinite(seconds) || !(seconds > 0)) {
    return localized::string("几秒");
  }
  const std::int64_t whole = roundedInt(seconds);
  if (whole < 2) {
    return localized::format("%d 秒", "%d 秒", {1});
  }
  if (whole < 60) {
    return localized::format("%d 秒", "%d 秒", {whole});
  }
  if (whole < 3600) {
    const std::int64_t minutes = whole / 60;
    const std::int64_t rest = whole % 60;
    if (rest != 0) {
      return localized::format("%d 分 %d 秒", "%d 分 %d 秒", {minutes, rest});
    }
    return localized::format("%d 分钟", "%d 分钟", {minutes});
  }
  return localized::format("%d 小时", "%d 小时", {whole / 3600});
}

QString msPerPhoto(std::optional<double> milliseconds) {
  if (!milliseconds || !(*milliseconds > 0) || std::isinf(*milliseconds)) {
    return QStringLiteral("—");
  }
  const double value = *milliseconds;
  return textformat::fill(value < 10 ? u"%.1f" : u"%.0f", {value});
}

QString percent(double value) { return QString::number(roundedInt(value)) + u'%'; }

QString mediumDate(Date date) {
  const auto local = localdate::fromDate(date);
  return local ? chineseMediumDate(local->date()) : QString();
}

QString mediumDateTime(Date date) {
  // zh_CN joins the medium date and the short time "HH:mm" with one space.
  const auto local = localdate::fromDate(date);
  if (!local) {
    return {};
  }
  return chineseMediumDate(local->date()) + u' ' + local->time().toString(QStringLiteral("HH:mm"));
}

} // namespace lumora::Fmt
