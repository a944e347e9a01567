#include "app/store/texts/TextFormat.h"

#include "engine/util/Numeric.h"

#include <array>
#include <charconv>

namespace lumora {
namespace {

// Enough for the longest fixed-point double (309 integer digits), a sign, the point and
// the largest precision a two-digit placeholder can ask for.
constexpr std::size_t kNumberBuffer = 512;

QString fixedText(double value, int precision) {
  std::array<char, kNumberBuffer> buffer{};
  // to_chars ignores the C locale (the application sets LC_NUMERIC from the user's
  // environment), so the separator is always a point, as in the table's formats.
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, precision);
  if (result.ec != std::errc{}) {
    return QStringLiteral("?");
  }
  return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QString shortestText(double value) {
  std::array<char, kNumberBuffer> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  if (result.ec != std::errc{}) {
    return QStringLiteral("?");
  }
  return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

enum class Placeholder { none, percent, integer, fixed, text };

struct ParsedPlaceholder {
  Placeholder kind = Placeholder::none;
  qsizetype length = 1;
  int precision = 0;
};

// Reads the placeholder that starts with the "%" at `at`.
ParsedPlaceholder parsePlaceholder(QStringView format, qsizetype at) {
  const auto charAt = [&](qsizetype index) {
    return index < format.size() ? format[index] : QChar();
  };
  const QChar first = charAt(at + 1);
  if (first == u'%')
    return {Placeholder::percent, 2, 0};
  if (first == u'd')
    return {Placeholder::integer, 2, 0};
  if (first == u'@')
    return {Placeholder::text, 2, 0};
  if (first != u'.')
    return {};
  int precision = 0;
  qsizetype digits = 0;
  while (digits < 2 && charAt(at + 2 + digits).isDigit() &&
         charAt(at + 2 + digits).unicode() < 128) {
    precision = precision * 10 + (charAt(at + 2 + digits).unicode() - u'0');
    ++digits;
  }
  if (digits == 0 || charAt(at + 2 + digits) != u'f')
    return {};
  return {Placeholder::fixed, 3 + digits, precision};
}

} // namespace

QString FormatArg::asInteger() const {
  if (const auto *text = std::get_if<QString>(&m_value))
    return *text;
  if (const auto *real = std::get_if<double>(&m_value)) {
    return QString::number(numeric::truncatedInt(*real));
  }
  return QString::number(std::get<std::int64_t>(m_value));
}

QString FormatArg::asFixed(int precision) const {
  if (const auto *text = std::get_if<QString>(&m_value))
    return *text;
  if (const auto *real = std::get_if<double>(&m_value))
    return fixedText(*real, precision);
  return fixedText(static_cast<double>(std::get<std::int64_t>(m_value)), precision);
}

QString FormatArg::asText() const {
  if (const auto *text = std::get_if<QString>(&m_value))
    return *text;
  if (const auto *real = std::get_if<double>(&m_value))
    return shortestText(*real);
  return QString::number(std::get<std::int64_t>(m_value));
}

namespace textformat {

QString fill(QStringView format, std::initializer_list<FormatArg> args) {
  QString out;
  out.reserve(format.size() + 16);
  auto nextArg = args.begin();
  qsizetype at = 0;
  while (at < format.size()) {
    const qsizetype percent = format.indexOf(u'%', at);
    if (percent < 0) {
      out += format.mid(at);
      break;
    }
    out += format.mid(at, percent - at);
    const ParsedPlaceholder placeholder = parsePlaceholder(format, percent);
    at = percent + placeholder.length;
    if (placeholder.kind == Placeholder::percent) {
      out += u'%';
    } else if (placeholder.kind == Placeholder::none || nextArg == args.end()) {
      out += format.mid(percent, placeholder.length);
    } else {
      const FormatArg &arg = *nextArg++;
      switch (placeholder.kind) {
      case Placeholder::integer: out += arg.asInteger(); break;
      case Placeholder::fixed: out += arg.asFixed(placeholder.precision); break;
      default: out += arg.asText(); break;
      }
    }
  }
  return out;
}

} // namespace textformat
} // namespace lumora
