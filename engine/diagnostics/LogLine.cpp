#include "engine/diagnostics/LogLine.h"

#include <ctime>

namespace lumora::logline {
namespace {

void putDigits(char *out, std::int64_t value, int width) noexcept {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// Days since 1970-01-01 to a proleptic Gregorian date (the well-known era-based algorithm:
// 400-year eras of 146097 days, years starting on 1 March so the leap day comes last).
void civilFromDays(std::int64_t days, std::int64_t &year, int &month, int &day) noexcept {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

QString escapeFor(QChar c) {
  switch (c.unicode()) {
  case u'\\': return QStringLiteral("\\\\");
  case u'\n': return QStringLiteral("\\n");
  case u'\r': return QStringLiteral("\\r");
  case u'\v': return QStringLiteral("\\v");
  case u'\f': return QStringLiteral("\\f");
  case 0x0085: return QStringLiteral("\\u0085");
  case 0x2028: return QStringLiteral("\\u2028");
  case 0x2029: return QStringLiteral("\\u2029");
  default: return {};
  }
}

} // namespace

void formatTimestamp(std::int64_t secondsSince1970, char *out) noexcept {
  constexpr std::int64_t kDay = 86400;
  std::int64_t days = secondsSince1970 / kDay;
  std::int64_t secondOfDay = secondsSince1970 % kDay;
  if (secondOfDay < 0) {
    secondOfDay += kDay;
    --days;
  }
  std::int64_t year = 0;
  int month = 0;
  int day = 0;
  civilFromDays(days, year, month, day);
  // Years outside 0…9999 cannot occur for a real clock; clamp rather than overflow the field.
  putDigits(out, year < 0 ? 0 : (year > 9999 ? 9999 : year), 4);
  out[4] = '-';
  putDigits(out + 5, month, 2);
  out[7] = '-';
  putDigits(out + 8, day, 2);
  out[10] = 'T';
  putDigits(out + 11, secondOfDay / 3600, 2);
  out[13] = ':';
  putDigits(out + 14, secondOfDay / 60 % 60, 2);
  out[16] = ':';
  putDigits(out + 17, secondOfDay % 60, 2);
  out[19] = 'Z';
}

QString currentTimestamp() {
  char buffer[kTimestampLength];
  formatTimestamp(static_cast<std::int64_t>(std::time(nullptr)), buffer);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(kTimestampLength));
}

QString escaped(const QString &text) {
  QString result;
  result.reserve(text.size());
  for (const QChar c : text) {
    const QString replacement = escapeFor(c);
    if (replacement.isEmpty()) {
      result.append(c);
    } else {
      result.append(replacement);
    }
  }
  return result;
}

QByteArray build(const QString &category, const QString &message, std::int64_t secondsSince1970) {
  char stamp[kTimestampLength];
  formatTimestamp(secondsSince1970, stamp);
  QByteArray line;
  line.reserve(static_cast<qsizetype>(kTimestampLength) + category.size() + message.size() + 8);
  line.append('[').append(stamp, static_cast<qsizetype>(kTimestampLength)).append("] [");
  line.append(escaped(category).toUtf8()).append("] ").append(escaped(message).toUtf8());
  line.append('\n');
  return line;
}

} // namespace lumora::logline
