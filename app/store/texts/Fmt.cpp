#include "app/store/texts/Fmt.h"

#include "app/store/texts/LocalDate.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/MonthKey.h"
#include "engine/util/Numeric.h"

#include <QLocale>
#include <cmath>

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

} // namespace

QString number(std::int64_t value) {
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<qlonglong>(value));
}

QString duration(double seconds) {
  if (!std::isfinite(seconds) || !(seconds > 0)) {
    return Localized::string("几秒");
  }
  const std::int64_t whole = roundedInt(seconds);
  if (whole < 2) {
    return Localized::format("%d 秒", "%d 秒", {1});
  }
  if (whole < 60) {
    return Localized::format("%d 秒", "%d 秒", {whole});
  }
  if (whole < 3600) {
    const std::int64_t minutes = whole / 60;
    const std::int64_t rest = whole % 60;
    if (rest != 0) {
      return Localized::format("%d 分 %d 秒", "%d 分 %d 秒", {minutes, rest});
    }
    return Localized::format("%d 分钟", "%d 分钟", {minutes});
  }
  return Localized::format("%d 小时", "%d 小时", {whole / 3600});
}

QString msPerPhoto(std::optional<double> milliseconds) {
  if (!milliseconds || !(*milliseconds > 0) || std::isinf(*milliseconds)) {
    return QStringLiteral("—");
  }
  const double value = *milliseconds;
  return TextFormat::fill(value < 10 ? u"%.1f" : u"%.0f", {value});
}

QString percent(double value) { return QString::number(roundedInt(value)) + u'%'; }

QString mediumDate(Date date) {
  const auto local = LocalDate::fromDate(date);
  return local ? chineseMediumDate(local->date()) : QString();
}

QString mediumDateTime(Date date) {
  // zh_CN joins the medium date and the short time "HH:mm" with one space.
  const auto local = LocalDate::fromDate(date);
  if (!local) {
    return {};
  }
  return chineseMediumDate(local->date()) + u' ' + local->time().toString(QStringLiteral("HH:mm"));
}

} // namespace lumora::Fmt
