#pragma once

#include "app/shell/theme/Theme.h"
#include "app/shell/window/AppearanceMode.h"
#include "app/shell/window/Scheduler.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QWidget;

namespace platform {
class SystemColorScheme;
}

namespace lumora {

/// The three layers of the window's look and who sets them:
/// 1. the content's scheme (`Theme::setScheme` on the content root): the QA marker's forced
///    scheme when present, else the stored mode, "system" following the desktop;
/// 2. each window's appearance (its palette, passed on to its menus and dialogs);
/// 3. the application's appearance (`QApplication`'s palette, which windows without an
///    appearance of their own follow).
/// An appearance of none follows the desktop's scheme (`platform::SystemColorScheme`),
/// live. The menu sets all three at once; at launch the stored appearance reaches the
/// application at once and the windows 0.4 s later. GUI thread only.
class AppearanceController : public QObject {
  Q_OBJECT

public:
  /// `markerDirectory` holds the QA appearance marker (/tmp in the application).
  AppearanceController(platform::SystemColorScheme &system, QString markerDirectory,
                       QObject *parent = nullptr);

  /// The widget whose subtree is the window content (layer 1); it is recoloured at once.
  void setContentRoot(QWidget *root);

  /// The content's preferred scheme: marker, else stored mode; none follows the desktop.
  [[nodiscard]] std::optional<ColorScheme> effectiveColorScheme() const;
  /// The scheme the content paints in now.
  [[nodiscard]] ColorScheme contentScheme() const;
  /// Reads the marker and the stored mode again and recolours the content.
  void refreshContent();

  void setApplicationAppearance(std::optional<ColorScheme> scheme);
  [[nodiscard]] std::optional<ColorScheme> applicationAppearance() const { return m_application; }
  void setWindowAppearance(QWidget *window, std::optional<ColorScheme> scheme);
  [[nodiscard]] static std::optional<ColorScheme> windowAppearance(const QWidget *window);
  /// Every window of the application's window list.
  void setAllWindowsAppearance(std::optional<ColorScheme> scheme);

  /// The menu's action: stores the mode, sets the application and every window at once
  /// (none for "system") and recolours the content, which a forced marker keeps.
  void chooseMode(AppearanceMode mode);
  /// Launch: the marker's scheme, else the stored mode, on the application object now and
  /// on every window 0.4 s later (whatever the application has by then).
  void applyStoredAppearance(const Scheduler &schedule);

  /// The application's windows: top-level windows and dialogs (not menus or tooltips), in
  /// the order Qt lists them.
  [[nodiscard]] static QList<QWidget *> windows();
  [[nodiscard]] const QString &markerDirectory() const { return m_markerDirectory; }

signals:
  /// The content's scheme changed.
  void contentSchemeChanged(ColorScheme scheme);

private:
  [[nodiscard]] ColorScheme resolve(std::optional<ColorScheme> scheme) const;
  void followSystem();

  platform::SystemColorScheme &m_system;
  QString m_markerDirectory;
  QPointer<QWidget> m_contentRoot;
  std::optional<ColorScheme> m_application;
  std::optional<ColorScheme> m_shownScheme;
};

} // namespace lumora
