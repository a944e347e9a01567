#include "app/shell/window/QAOverrides.h"

#include "app/shell/AppInfo.h"
#include "app/shell/QAInputs.h"
#include "app/shell/window/AppearanceController.h"
#include "app/store/services/UserDefaults.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QWidget>
#include <cmath>

namespace lumora {
namespace {

constexpr int kKeysLimit = 200;

QWidget *firstVisible(const QList<QWidget *> &windows) {
  for (QWidget *w : windows) {
    if (w->isVisible()) {
      return w;
    }
  }
  return nullptr;
}

// Whole numbers for the log: the fraction dropped toward zero.
QString whole(double value) { return QString::number(static_cast<qint64>(std::trunc(value))); }

} // namespace

QString QAOverrides::bundleLine() {
  const QSettings settings = userdefaults::open();
  const QVariant raw = settings.value(QLatin1String(qa::kWindowSizeKey));
  QStringList keys = settings.allKeys();
  keys.sort();
  return QStringLiteral("bundle=%1 size=%2 keys=[%3]")
      .arg(QLatin1String(AppInfo::kIdentifier),
           raw.isValid() ? raw.toString() : QStringLiteral("nil"),
           keys.join(QLatin1Char(',')).left(kKeysLimit));
}

QString QAOverrides::describeWindows(const QList<QWidget *> &windows) {
  QStringList entries;
  for (const QWidget *w : windows) {
    entries.append(QStringLiteral("%1x%2 vis=%3")
                       .arg(w->width())
                       .arg(w->height())
                       .arg(w->isVisible() ? QStringLiteral("true") : QStringLiteral("false")));
  }
  return entries.join(QStringLiteral(", "));
}

bool QAOverrides::enforceSize(const QList<QWidget *> &windows, const QSizeF &size) {
  QWidget *window = firstVisible(windows);
  if (window == nullptr) {
    return false;
  }
  if (std::abs(window->width() - size.width()) <= 1 &&
      std::abs(window->height() - size.height()) <= 1) {
    return false;
  }
  if (window->isMaximized()) {
    window->showNormal();
  }
  window->resize(qRound(size.width()), qRound(size.height()));
  return true;
}

void QAOverrides::apply(const Environment &environment) {
  auto env = std::make_shared<Environment>(environment);
  if (!env->windows) {
    env->windows = &AppearanceController::windows;
  }
  if (!env->log) {
    env->log = [](const QString &line) { Diagnostics::log(QStringLiteral("qa"), line); };
  }
  env->log(bundleLine());
  scheduleForcedAppearance(env);
  if (const auto size = qa::forcedWindowSize(userdefaults::open())) {
    env->log(QStringLiteral("will enforce window size %1x%2")
                 .arg(whole(size->width()), whole(size->height())));
    scheduleTry(env, *size, std::make_shared<int>(0), kFirstTryMs);
  }
  scheduleWindowSize(env);
}

void QAOverrides::scheduleTry(const std::shared_ptr<Environment> &env, const QSizeF &size,
                              const std::shared_ptr<int> &attempts, int delayMs) {
  env->schedule(delayMs, [env, size, attempts] {
    const int n = ++*attempts;
    const QList<QWidget *> windows = env->windows();
    enforceSize(windows, size);
    if (n == 1 || n % 10 == 0) {
      env->log(
          QStringLiteral("size attempt #%1 windows=[%2]").arg(n).arg(describeWindows(windows)));
    }
    if (n < kTries) {
      scheduleTry(env, size, attempts, kTryIntervalMs);
    }
  });
}

void QAOverrides::scheduleForcedAppearance(const std::shared_ptr<Environment> &env) {
  const auto value = qa::optionValue(env->arguments, QStringLiteral("--force-appearance"));
  if (!value || env->appearance == nullptr) {
    return;
  }
  const ColorScheme scheme =
      value->toLower() == QLatin1String("light") ? ColorScheme::light : ColorScheme::dark;
  env->schedule(kForceAppearanceMs, [env, scheme] {
    for (QWidget *window : env->windows()) {
      env->appearance->setWindowAppearance(window, scheme);
    }
  });
}

void QAOverrides::scheduleWindowSize(const std::shared_ptr<Environment> &env) {
  const auto value = qa::optionValue(env->arguments, QStringLiteral("--window-size"));
  const std::optional<QSizeF> size = value ? qa::parseSize(*value) : std::nullopt;
  if (!size) {
    return;
  }
  env->schedule(kWindowSizeMs, [env, size = *size] {
    if (QWidget *window = firstVisible(env->windows())) {
      window->resize(qRound(size.width()), qRound(size.height()));
    }
  });
}

} // namespace lumora
