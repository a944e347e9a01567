#pragma once

class QWidget;

namespace lumora {

/// A view that animates its own content (a rolling number): while its screen is
/// photographed to leave or to be held still, it paints that content as it will stand once
/// the animation ends, so the still picture never freezes it half way. GUI thread.
class PictureSettling {
public:
  /// Tells every such view inside `screen` (and `screen` itself) that a picture is taken
  /// (`settled` true) or done (false).
  static void setIn(QWidget *screen, bool settled);

protected:
  PictureSettling() = default;
  PictureSettling(const PictureSettling &) = default;
  PictureSettling &operator=(const PictureSettling &) = default;
  ~PictureSettling() = default;

  virtual void setSettledForPicture(bool settled) = 0;
};

} // namespace lumora
