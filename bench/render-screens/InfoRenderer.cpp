// The info center ("info-…"): the sheet's content over the real store and engine, in both
// schemes: About, About after an export with a long file name, Help at the top and at the
// bottom, the clearing confirmation, clearing, cleared, and the diagnostics section after a
// clearing and an export. The diagnostics log, the exports and the engine's cache live in a
// temporary folder, so the user's own files are never touched.

#include "RenderRegistry.h"
#include "SheetOverlay.h"

#include "app/info/AboutContent.h"
#include "app/info/HelpContent.h"
#include "app/info/InfoCenterView.h"
#include "app/info/help/CacheSection.h"
#include "app/info/help/ClearCacheButton.h"
#include "app/info/help/DiagnosticsSection.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>

namespace {

using lumora::AppStore;
using lumora::ColorScheme;
using lumora::InfoCenterView;
using InfoTab = lumora::AppStoreTypes::InfoTab;

const QString kLongName =
    QStringLiteral("Pindle-诊断-2026-12-07-发给开发者的一份很长很长很长的诊断文件名-"
                   "用来检查状态行只占一行并在中间省略-"
                   "最终版本-第二份.txt");

/// Points the data folder (diagnostics log, exports) at a temporary one while it lives.
class DataFolderAside {
public:
  explicit DataFolderAside(const QString &folder) : m_saved(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", folder.toUtf8());
  }
  ~DataFolderAside() {
    if (m_saved.isNull()) {
      qunsetenv("XDG_DATA_HOME");
    } else {
      qputenv("XDG_DATA_HOME", m_saved);
    }
  }

private:
  QByteArray m_saved;
};

std::unique_ptr<AppStore> makeStore(const QString &folder) {
  auto engine = std::make_shared<lumora::LumoraEngine>(
      folder + QStringLiteral("/analysis-cache.bin"), lumora::EngineServices{.library = nullptr});
  AppStore::Services services;
  services.engine = std::make_shared<lumora::LumoraEngineClient>(engine);
  services.qaMarkerDirectory = folder;
  services.pickFolder = [](const lumora::FolderPickerRequest &,
                           std::function<void(std::optional<QUrl>)> done) { done(std::nullopt); };
  return std::make_unique<AppStore>(std::move(services));
}

/// Runs the event loop until `done()` holds, at most 10 s.
template <typename Predicate> void settle(Predicate done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && !timer.hasExpired(10000)) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
}

QString schemeName(ColorScheme scheme) {
  return scheme == ColorScheme::dark ? QStringLiteral("dark") : QStringLiteral("light");
}

/// The sheet content in `scheme`, exports answered with `exportPath`.
std::unique_ptr<InfoCenterView> makeView(AppStore &store, InfoTab tab, ColorScheme scheme,
                                         const QString &exportPath) {
  auto view = std::make_unique<InfoCenterView>(
      store, tab, nullptr,
      [exportPath](QWidget *, const lumora::DiagnosticsExporter::SaveRequest &) {
        return std::optional<QString>(exportPath);
      });
  lumora::Theme::setScheme(view.get(), scheme);
  view->show();
  return view;
}

/// The confirmation's button titled `title`.
QAbstractButton *buttonTitled(QMessageBox &box, const QString &title) {
  for (QAbstractButton *button : box.buttons()) {
    if (button->text() == title) {
      return button;
    }
  }
  return nullptr;
}

void scrollToBottom(InfoCenterView &view) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QScrollBar *bar = view.scrollArea()->verticalScrollBar();
  bar->setValue(bar->maximum());
}

lumora::HelpContent &help(InfoCenterView &view) {
  return *static_cast<lumora::HelpContent *>(view.content());
}

void renderAbout(renderscreens::RenderContext &context, AppStore &store, ColorScheme scheme,
                 const QString &folder) {
  const QString suffix = QLatin1Char('-') + schemeName(scheme);
  auto view = makeView(store, InfoTab::about, scheme, folder + QLatin1Char('/') + kLongName);
  context.save(QStringLiteral("info-about") + suffix, *view);
  const DataFolderAside aside(folder);
  static_cast<lumora::AboutContent *>(view->content())->exportButton()->click();
  context.save(QStringLiteral("info-about-exported") + suffix, *view);
}

void renderHelpPages(renderscreens::RenderContext &context, AppStore &store, ColorScheme scheme) {
  const QString suffix = QLatin1Char('-') + schemeName(scheme);
  auto view = makeView(store, InfoTab::help, scheme, {});
  context.save(QStringLiteral("info-help-top") + suffix, *view);
  scrollToBottom(*view);
  context.save(QStringLiteral("info-help-bottom") + suffix, *view);
}

void renderClearing(renderscreens::RenderContext &context, AppStore &store, ColorScheme scheme) {
  const QString suffix = QLatin1Char('-') + schemeName(scheme);
  auto view = makeView(store, InfoTab::help, scheme, {});
  scrollToBottom(*view);
  lumora::CacheSection &cache = *help(*view).cacheSection();
  cache.clearButton()->click();
  QMessageBox *confirmation = cache.confirmation();
  context.save(QStringLiteral("info-help-confirm") + suffix,
               renderscreens::withSheet(*view, confirmation));
  if (QAbstractButton *clear = buttonTitled(*confirmation, QStringLiteral("清除"))) {
    clear->click();
  }
  // Drawn before the engine's answer can arrive: only layouts run, no queued results.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  context.save(QStringLiteral("info-help-clearing") + suffix, view->grab().toImage());
  settle([&] { return cache.didClear(); });
  scrollToBottom(*view);
  context.save(QStringLiteral("info-help-cleared") + suffix, *view);
}

void renderDiagnosticsCleared(renderscreens::RenderContext &context, AppStore &store,
                              ColorScheme scheme, const QString &folder) {
  const QString suffix = QLatin1Char('-') + schemeName(scheme);
  auto view = makeView(store, InfoTab::help, scheme, folder + QStringLiteral("/Pindle-诊断.txt"));
  lumora::DiagnosticsSection &diagnostics = *help(*view).diagnosticsSection();
  const DataFolderAside aside(folder);
  diagnostics.clearButton()->click();
  diagnostics.exportButton()->click();
  scrollToBottom(*view);
  context.save(QStringLiteral("info-help-diagnostics-cleared") + suffix, *view);
}

void renderInfo(renderscreens::RenderContext &context) {
  lumora::localized::installTranslations();
  QTemporaryDir folder;
  if (!folder.isValid()) {
    return;
  }
  auto store = makeStore(folder.path());
  for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
    renderHelpPages(context, *store, scheme);
    renderClearing(context, *store, scheme);
    renderAbout(context, *store, scheme, folder.path());
    renderDiagnosticsCleared(context, *store, scheme, folder.path());
  }
}

const renderscreens::RegisterRenderer registration{QStringLiteral("info-"), &renderInfo};

} // namespace
