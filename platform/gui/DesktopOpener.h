#pragma once

#include <QByteArray>
#include <string>

namespace platform {

/// What the application asks of the desktop to show a photo or a folder. Every call
/// returns at once; whether the desktop managed to show anything is not reported, as
/// nothing in the application could act on it. Paths are native byte strings. GUI thread.
class Opener {
public:
  virtual ~Opener() = default;
  /// Shows the file selected in the file manager, else opens the folder holding it.
  virtual void revealFile(const std::string &path) = 0;
  /// Opens the file with the desktop's default application for its type.
  virtual void openFile(const std::string &path) = 0;
  /// Opens the photo library's folder in the file manager.
  virtual void openLibraryFolder() = 0;
};

/// The desktop's opener: the freedesktop file manager interface
/// (org.freedesktop.FileManager1.ShowItems on the session bus) for revealing, and the
/// desktop's launcher (xdg-open, else gio, else Qt's own) for opening.
class DesktopOpener : public Opener {
public:
  void revealFile(const std::string &path) override;
  void openFile(const std::string &path) override;
  void openLibraryFolder() override;
};

/// The opener the views use: the desktop's, unless a test has put another in place.
Opener &opener();
/// Puts `replacement` in place of the desktop's opener; null restores the desktop's. The
/// caller keeps ownership and removes it before destroying it.
void setOpenerOverride(Opener *replacement);

/// "file://" followed by the path's bytes percent-encoded ("/" kept), so that a name that
/// is not valid UTF-8 reaches the desktop unchanged.
[[nodiscard]] QByteArray fileUri(const std::string &path);

} // namespace platform
