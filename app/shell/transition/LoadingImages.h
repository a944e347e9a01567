#pragma once

class QWidget;

namespace lumora {

/// A view whose photos arrive after it is built: it tells whether a photo it shows right now
/// is still on its way. A screen change keeps the leaving picture in place while the
/// incoming screen answers yes (for a moment at most, see `PhotoWait`), so no frame shows
/// the new screen with empty picture boxes. GUI thread.
class LoadingImages {
public:
  [[nodiscard]] virtual bool isLoadingImages() const = 0;

  /// Whether `screen` or a view inside it is still loading a photo it shows.
  [[nodiscard]] static bool anyIn(const QWidget *screen);

protected:
  LoadingImages() = default;
  LoadingImages(const LoadingImages &) = default;
  LoadingImages &operator=(const LoadingImages &) = default;
  ~LoadingImages() = default;
};

} // namespace lumora
