#include "app/store/texts/MonthKey.h"

#include "app/store/texts/LocalDate.h"

namespace lumora::MonthKey {
namespace {

struct YearMonth {
  int year = 1970;
  int month = 1;
};

// A date without calendar components counts as January 1970.
YearMonth yearMonth(Date date) {
  const auto local = localdate::fromDate(date);
  if (!local) {
    return {};
  }
  const QCalendar::YearMonthDay parts = calendar().partsFromDate(local->date());
  if (!parts.isValid()) {
    return {};
  }
  return {parts.year, parts.month};
}

} // namespace

QCalendar calendar() { return QCalendar(QCalendar::System::Gregorian); }

QString key(Date date) {
  const YearMonth parts = yearMonth(date);
  return QString::number(parts.year) + u'-' + QString::number(parts.month);
}

QString title(Date date) {
  // The zh_CN form of the year-and-full-month template: "y年M月".
  const YearMonth parts = yearMonth(date);
  return QString::number(parts.year) + QStringLiteral("年") + QString::number(parts.month) +
         QStringLiteral("月");
}

} // namespace lumora::MonthKey
