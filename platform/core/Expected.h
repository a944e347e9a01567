#pragma once

#include <utility>
#include <variant>

namespace platform {

/// Wraps an error value so that `Expected` can be built from it unambiguously.
template <typename E> struct Unexpected { E error; };
template <typename E> Unexpected(E) -> Unexpected<E>;

/// Either a value or an error: the result type of operations whose failure is expected
/// (I/O, decoding). A small stand-in for C++23's std::expected.
template <typename T, typename E> class [[nodiscard]] Expected {
public:
  Expected(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
  template <typename G>
  Expected(Unexpected<G> failure) : m_state(std::in_place_index<1>, std::move(failure.error)) {}

  [[nodiscard]] bool hasValue() const { return m_state.index() == 0; }
  explicit operator bool() const { return hasValue(); }

  [[nodiscard]] T &value() & { return std::get<0>(m_state); }
  [[nodiscard]] const T &value() const & { return std::get<0>(m_state); }
  [[nodiscard]] T &&value() && { return std::get<0>(std::move(m_state)); }
  [[nodiscard]] const E &error() const { return std::get<1>(m_state); }

  T *operator->() { return &value(); }
  const T *operator->() const { return &value(); }
  T &operator*() & { return value(); }
  const T &operator*() const & { return value(); }

private:
  std::variant<T, E> m_state;
};

/// The void case: success carries nothing.
template <typename E> class [[nodiscard]] Expected<void, E> {
public:
  Expected() = default;
  template <typename G>
  Expected(Unexpected<G> failure) : m_failed(true), m_error(std::move(failure.error)) {}

  [[nodiscard]] bool hasValue() const { return !m_failed; }
  explicit operator bool() const { return hasValue(); }
  [[nodiscard]] const E &error() const { return m_error; }

private:
  bool m_failed = false;
  E m_error{};
};

} // namespace platform
