#pragma once

#include <QString>
#include <QStringView>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <variant>

namespace lumora {

/// One value to fill into a format: an integer, a floating-point number or a text.
/// Every kind can stand in for every placeholder, so a translated format whose
/// placeholders disagree with the caller's values still yields a readable text.
class FormatArg {
public:
  template <std::integral T>
  requires(!std::same_as<T, bool>) FormatArg(T value) : m_value(clampedInteger(value)) {}
  FormatArg(double value) : m_value(value) {}
  FormatArg(float value) : m_value(static_cast<double>(value)) {}
  FormatArg(QString value) : m_value(std::move(value)) {}

  /// The value for "%d": a floating-point value is truncated, NaN reads 0 and values
  /// beyond the 64-bit range are clamped; a text is written unchanged.
  [[nodiscard]] QString asInteger() const;
  /// The value for "%.Nf" with `precision` decimals, without locale (a point, no grouping).
  [[nodiscard]] QString asFixed(int precision) const;
  /// The value for "%@": a text unchanged, a number in plain decimal digits.
  [[nodiscard]] QString asText() const;

private:
  template <std::integral T> static std::int64_t clampedInteger(T value) {
    if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
      constexpr auto kMax = static_cast<T>(std::numeric_limits<std::int64_t>::max());
      return static_cast<std::int64_t>(value > kMax ? kMax : value);
    } else {
      return static_cast<std::int64_t>(value);
    }
  }

  std::variant<std::int64_t, double, QString> m_value;
};

/// Fills printf-like formats from our own string table. Only "%d", "%.Nf" (N of one or
/// two digits), "%@" and "%%" are understood; the format is read once from left to
/// right and the values are never re-scanned, so a "%" inside a filled-in text (a file
/// name, say) stays as it is. A placeholder without a value left, and any other "%"
/// sequence, is copied unchanged: a broken translation shows up, it never crashes.
namespace textformat {

[[nodiscard]] QString fill(QStringView format, std::initializer_list<FormatArg> args);

} // namespace textformat
} // namespace lumora
