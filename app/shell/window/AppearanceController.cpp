#include "app/shell/window/AppearanceController.h"

#include "app/shell/QAInputs.h"
#include "app/store/services/UserDefaults.h"
#include "platform/gui/SystemColorScheme.h"

#include <QApplication>
#include <QWidget>

namespace lumora {
namespace {

constexpr char kWindowAppearance[] = "pindleWindowAppearance";
constexpr int kWindowDelayMs = 400;

std::optional<ColorScheme> schemeOfMode(AppearanceMode mode) {
  switch (mode) {
  case AppearanceMode::light: return ColorScheme::light;
  case AppearanceMode::system: return std::nullopt;
  case AppearanceMode::dark: break;
  }
  return ColorScheme::dark;
}

// A window's palette also reaches the menus and dialogs it owns: they are windows of their
// own, which Qt does not pass palettes to.
void setPaletteWithOwnedWindows(QWidget *window, const QPalette &palette) {
  window->setPalette(palette);
  for (QWidget *child : window->findChildren<QWidget *>()) {
    if (child->isWindow()) {
      child->setPalette(palette);
    }
  }
}

} // namespace

AppearanceController::AppearanceController(platform::SystemColorScheme &system,
                                           QString markerDirectory, QObject *parent)
    : QObject(parent), m_system(system), m_markerDirectory(std::move(markerDirectory)) {
  connect(&m_system, &platform::SystemColorScheme::changed, this,
          &AppearanceController::followSystem);
}

void AppearanceController::setContentRoot(QWidget *root) {
  m_contentRoot = root;
  m_shownScheme.reset();
  refreshContent();
}

std::optional<ColorScheme> AppearanceController::effectiveColorScheme() const {
  if (const auto forced = qa::forcedColorScheme(m_markerDirectory)) {
    return forced;
  }
  const QString raw = appearancemode::storedRaw(userdefaults::open());
  if (raw == QLatin1String("light")) {
    return ColorScheme::light;
  }
  if (raw == QLatin1String("system")) {
    return std::nullopt;
  }
  return ColorScheme::dark;
}

ColorScheme AppearanceController::resolve(std::optional<ColorScheme> scheme) const {
  if (scheme) {
    return *scheme;
  }
  return m_system.prefersDark() ? ColorScheme::dark : ColorScheme::light;
}

ColorScheme AppearanceController::contentScheme() const { return resolve(effectiveColorScheme()); }

void AppearanceController::refreshContent() {
  if (!m_contentRoot) {
    return;
  }
  const ColorScheme scheme = contentScheme();
  if (m_shownScheme == scheme) {
    return;
  }
  m_shownScheme = scheme;
  Theme::setScheme(m_contentRoot, scheme);
  // The sheet and the alerts are windows of their own that took the content's scheme when
  // they were shown; one still open follows the content's change.
  for (QWidget *owned : m_contentRoot->window()->findChildren<QWidget *>()) {
    if (owned->isWindow() && Theme::hasOwnScheme(owned)) {
      Theme::setScheme(owned, scheme);
    }
  }
  emit contentSchemeChanged(scheme);
}

void AppearanceController::setApplicationAppearance(std::optional<ColorScheme> scheme) {
  m_application = scheme;
  QApplication::setPalette(Theme::forScheme(resolve(scheme)).palette());
}

void AppearanceController::setWindowAppearance(QWidget *window, std::optional<ColorScheme> scheme) {
  window->setProperty(kWindowAppearance, scheme ? QVariant(static_cast<int>(*scheme)) : QVariant());
  // No appearance of its own: an unset palette, which follows the application's.
  setPaletteWithOwnedWindows(window, scheme ? Theme::forScheme(*scheme).palette() : QPalette());
}

std::optional<ColorScheme> AppearanceController::windowAppearance(const QWidget *window) {
  const QVariant value = window->property(kWindowAppearance);
  if (!value.isValid()) {
    return std::nullopt;
  }
  return static_cast<ColorScheme>(value.toInt());
}

void AppearanceController::setAllWindowsAppearance(std::optional<ColorScheme> scheme) {
  for (QWidget *window : windows()) {
    setWindowAppearance(window, scheme);
  }
}

void AppearanceController::chooseMode(AppearanceMode mode) {
  QSettings settings = userdefaults::open();
  appearancemode::store(settings, mode);
  setApplicationAppearance(schemeOfMode(mode));
  setAllWindowsAppearance(schemeOfMode(mode));
  refreshContent();
}

void AppearanceController::applyStoredAppearance(const Scheduler &schedule) {
  std::optional<ColorScheme> scheme = qa::forcedColorScheme(m_markerDirectory);
  if (!scheme) {
    scheme = schemeOfMode(appearancemode::current(userdefaults::open()));
  }
  setApplicationAppearance(scheme);
  schedule(kWindowDelayMs, [self = QPointer<AppearanceController>(this)] {
    if (self) {
      self->setAllWindowsAppearance(self->applicationAppearance());
    }
  });
}

QList<QWidget *> AppearanceController::windows() {
  QList<QWidget *> result;
  for (QWidget *w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet) {
      result.append(w);
    }
  }
  return result;
}

// The desktop's scheme changed: whatever follows it (an application without appearance,
// a content in "system" mode) is recoloured.
void AppearanceController::followSystem() {
  if (!m_application) {
    setApplicationAppearance(std::nullopt);
  }
  refreshContent();
}

} // namespace lumora
