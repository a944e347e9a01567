#pragma once

// glib names a struct field `signals`, which Qt defines as a keyword macro; hide the macro
// while vips (and glib through it) is read, so this header works after any Qt header.
#pragma push_macro("signals")
#undef signals
#include <vips/vips.h>
#pragma pop_macro("signals")

#include <utility>

namespace platform {

/// Owns one reference to a VipsImage and drops it when destroyed. Move-only, so a handle
/// never unrefs twice; images themselves are immutable and may be shared between threads
/// by taking another reference with `share()`.
class VipsImagePtr {
public:
  VipsImagePtr() = default;
  /// Takes over the reference the caller holds (as returned by a vips operation).
  explicit VipsImagePtr(VipsImage *image) : m_image(image) {}
  ~VipsImagePtr() { reset(); }

  VipsImagePtr(VipsImagePtr &&other) noexcept : m_image(std::exchange(other.m_image, nullptr)) {}
  VipsImagePtr &operator=(VipsImagePtr &&other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.m_image, nullptr));
    }
    return *this;
  }
  VipsImagePtr(const VipsImagePtr &) = delete;
  VipsImagePtr &operator=(const VipsImagePtr &) = delete;

  [[nodiscard]] VipsImage *get() const { return m_image; }
  [[nodiscard]] VipsImage *operator->() const { return m_image; }
  explicit operator bool() const { return m_image != nullptr; }

  /// The slot a vips operation writes its output into: `vips_copy(in, out.out(), nullptr)`.
  /// Any image held before is released first.
  [[nodiscard]] VipsImage **out() {
    reset();
    return &m_image;
  }

  /// A second handle to the same image (one more reference).
  [[nodiscard]] VipsImagePtr share() const {
    if (m_image != nullptr) {
      g_object_ref(m_image);
    }
    return VipsImagePtr(m_image);
  }

  /// Gives up ownership without dropping the reference.
  [[nodiscard]] VipsImage *release() { return std::exchange(m_image, nullptr); }

  void reset(VipsImage *image = nullptr) {
    VipsImage *old = std::exchange(m_image, image);
    if (old != nullptr) {
      g_object_unref(old);
    }
  }

private:
  VipsImage *m_image = nullptr;
};

} // namespace platform
