// root-…: the whole window content in every state of its phase screens, both colour
// schemes, at 1150 × 780 and 900 × 600; then the header compact and wide, the controls bar
// with its hint, reset link and spinner, each form of the alert, the toast over the preview
// and the detail slot. The store scans a few of the photographs for real, then is put into
// each state through its developer door.

#include "RenderRegistry.h"
#include "ScannedStore.h"
#include "SheetOverlay.h"

#include "app/ApplicationScreens.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/root/AlertPresenter.h"
#include "app/shell/root/ContentView.h"
#include "app/shell/root/ControlsBar.h"
#include "app/shell/root/HeaderBar.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/actions/ScanFailures.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/ReduceMotion.h"

#include <QMessageBox>
#include <QPainter>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>
#include <memory>

using namespace lumora;

namespace {

using State = std::function<void(AppStore &)>;

/// Runs the event loop for `ms` milliseconds.
void spin(int ms) {
  renderscreens::ScannedStore::waitFor([] { return false; }, ms);
}

/// Sets the threshold and waits for the regroup it starts, so that its groups cannot
/// land on a state set afterwards.
void settleThreshold(AppStore &store, float threshold) {
  store.setThreshold(threshold);
  renderscreens::ScannedStore::waitFor([&store] { return !store.isRegrouping(); }, 10000);
}

/// The scanned store of the photographs, and the results of that scan to return to.
class RootRig {
public:
  explicit RootRig(const QString &photosDir) : m_scanned(photosDir), m_photos(photosDir) {
    m_items = store().items();
    m_groups = store().groups();
    m_result = store().lastResult();
  }

  [[nodiscard]] AppStore &store() { return m_scanned.store(); }
  [[nodiscard]] const QString &photosFolder() const { return m_photos; }
  /// The scan ended with groups.
  [[nodiscard]] bool hasGroups() const { return m_scanned.isReady() && !m_groups.empty(); }

  /// Puts the store back to the scanned results, with nothing over them.
  void reset() {
    AppStore::StateAccess state(store());
    state.setSourceKind(AppStore::SourceKind::folder);
    state.setFolderURL(QUrl::fromLocalFile(photosFolder()));
    state.setItems(m_items);
    state.setGroups(m_groups);
    state.setLastResult(m_result);
    state.setProgress(std::nullopt);
    state.setIsPaused(false);
    state.setIsRegrouping(false);
    state.setPhase(AppStore::Phase::ready());
    settleThreshold(store(), 0.30f);
    store().setDetailGroupID(std::nullopt);
    store().setPreviewContext(std::nullopt);
    store().setUndoToast(std::nullopt);
    store().setAlert(std::nullopt);
  }

private:
  renderscreens::ScannedStore m_scanned;
  QString m_photos;
  std::vector<PhotoItem> m_items;
  std::vector<PhotoGroup> m_groups;
  std::optional<ScanResult> m_result;
};

ScanProgress progress(ScanPhase phase, int done, int total, const QString &name) {
  ScanProgress p;
  p.phase = phase;
  p.done = done;
  p.total = total;
  p.currentName = name;
  p.elapsed = 12;
  p.eta = total > 0 ? std::optional<double>(18) : std::nullopt;
  return p;
}

EngineCallError curatorError(CuratorError error) {
  return EngineCallError::fromEngine(EngineError::fromCurator(std::move(error)));
}

/// The failures of every kind, with the store's own texts.
std::vector<AppStore::Failure> failures(const QString &folder) {
  const QUrl url = QUrl::fromLocalFile(folder);
  using SK = AppStore::SourceKind;
  return {
      scanfailures::folderUnreadable(folder),
      scanfailures::libraryDenied(),
      scanfailures::fromError(curatorError(CuratorError::noImagesFound(url)), SK::folder),
      scanfailures::fromError(EngineCallError::fromEngine(
                                  EngineError::fromLibrary(EngineError::LibraryKind::empty, {})),
                              SK::library),
      scanfailures::fromError(curatorError(CuratorError::visionUnavailable()), SK::folder),
      scanfailures::fromError(
          curatorError(CuratorError::cacheWriteFailed(QStringLiteral("磁盘已满"))), SK::folder)};
}

/// A running scan with `progress`; a reset scan has neither earlier photos nor a result.
State scanning(std::optional<ScanProgress> shown, bool keepItems, bool keepGroups) {
  return [shown, keepItems, keepGroups](AppStore &s) {
    AppStore::StateAccess a(s);
    a.setLastResult(std::nullopt);
    a.setItems(keepItems ? s.items() : std::vector<PhotoItem>{});
    a.setGroups(keepGroups ? s.groups() : std::vector<PhotoGroup>{});
    a.setPhase(AppStore::Phase::scanning());
    a.setProgress(shown);
  };
}

/// The ready phase without photos, or without groups, or paused.
State ready(bool items, bool groups, bool paused) {
  return [items, groups, paused](AppStore &s) {
    AppStore::StateAccess a(s);
    a.setItems(items ? s.items() : std::vector<PhotoItem>{});
    a.setGroups(groups ? s.groups() : std::vector<PhotoGroup>{});
    a.setIsPaused(paused);
  };
}

/// Every state of the phase screens, named as the files are.
std::vector<std::pair<QString, State>> phaseStates(const QString &folder) {
  const ScanProgress at40 = progress(ScanPhase::analyzing, 40, 100, "IMG_2041.jpg");
  std::vector<std::pair<QString, State>> states{
      {"idle",
       [](AppStore &s) {
         AppStore::StateAccess a(s);
         a.setFolderURL(std::nullopt);
         ready(false, false, false)(s);
         a.setLastResult(std::nullopt);
         a.setPhase(AppStore::Phase::idle());
       }},
      {"scanning-start", scanning(std::nullopt, false, false)},
      {"scanning-enumerating", scanning(progress(ScanPhase::enumerating, 0, 0, {}), false, false)},
      {"scanning-40", scanning(at40, false, false)},
      {"live-hint", scanning(at40, true, false)},
      {"live-grid", scanning(at40, true, true)},
      {"paused-groups", ready(true, true, true)},
      {"paused-empty", ready(false, false, true)},
      {"empty-folder", ready(false, false, false)},
      {"empty-library",
       [](AppStore &s) {
         ready(false, false, false)(s);
         AppStore::StateAccess(s).setSourceKind(AppStore::SourceKind::library);
         AppStore::StateAccess(s).setFolderURL(std::nullopt);
       }},
      {"results", ready(true, true, false)},
  };
  for (float threshold : {0.18f, 0.30f, 0.55f}) {
    states.emplace_back(QStringLiteral("nosimilar-%1")
                            .arg(static_cast<int>(threshold * 100 + 0.5f), 3, 10, QLatin1Char('0')),
                        [threshold](AppStore &s) {
                          settleThreshold(s, threshold);
                          AppStore::StateAccess(s).setGroups({});
                        });
  }
  for (const AppStore::Failure &failure : failures(folder)) {
    const std::string_view kind = AppStore::Failure::kindName(failure.kind);
    states.emplace_back(QStringLiteral("failed-") +
                            QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size())),
                        [failure](AppStore &s) {
                          AppStore::StateAccess(s).setPhase(AppStore::Phase::failed(failure));
                        });
  }
  states.emplace_back("toast-undo", [](AppStore &s) {
    s.setUndoToast(AppStore::UndoToast{
        QUuid::createUuid(), "已移到废纸篓：12 张照片", "释放 48.2 MB", true, {}});
  });
  states.emplace_back("toast-long", [](AppStore &s) {
    s.setUndoToast(
        AppStore::UndoToast{QUuid::createUuid(),
                            QString("已恢复 12 张照片，并重新扫描了当前文件夹。").repeated(4),
                            "重新扫描完成后，分组会按新的结果排列",
                            false,
                            {}});
  });
  return states;
}

/// The window content in a window of its own, in one scheme and size.
struct Window {
  Window(AppStore &store, ColorScheme scheme, QSize size) {
    auto *layout = new QVBoxLayout(&widget);
    layout->setContentsMargins(0, 0, 0, 0);
    content = new ContentView(store, applicationScreens(), &widget);
    layout->addWidget(content);
    Theme::setScheme(&widget, scheme);
    widget.resize(size);
    widget.show();
    spin(300);
  }
  QWidget widget;
  ContentView *content;
};

QString schemeName(ColorScheme scheme) { return scheme == ColorScheme::dark ? "dark" : "light"; }

void renderPhases(renderscreens::RenderContext &context, RootRig &rig) {
  const auto states = phaseStates(rig.photosFolder());
  for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
    for (QSize size : {QSize(1150, 780), QSize(900, 600)}) {
      rig.reset();
      Window window(rig.store(), scheme, size);
      for (const auto &[name, apply] : states) {
        rig.reset();
        apply(rig.store());
        spin(350);
        context.save(QStringLiteral("root-%1-%2-%3x%4")
                         .arg(name, schemeName(scheme))
                         .arg(size.width())
                         .arg(size.height()),
                     window.widget);
      }
    }
  }
}

void renderAlerts(renderscreens::RenderContext &context, RootRig &rig, Window &window,
                  const QString &suffix) {
  using SK = AppStore::SourceKind;
  const std::vector<std::pair<QString, AppStore::AlertContent>> forms{
      {"folder",
       {QUuid::createUuid(), "无法读取这个文件夹", "请检查文件夹的权限后重试。", true, true, "重试",
        SK::folder}},
      {"library",
       {QUuid::createUuid(), "没有「照片」图库的访问权限", "请在设置里允许访问图库后重试。", true,
        true, "重试", SK::library}},
      {"retry", {QUuid::createUuid(), "扫描失败", "磁盘已满。", true, false, "重试", SK::folder}},
      {"ok",
       {QUuid::createUuid(),
        "清理失败",
        "有 2 张照片没能移到废纸篓。",
        false,
        false,
        {},
        SK::folder}}};
  for (const auto &[name, alert] : forms) {
    rig.reset();
    rig.store().setAlert(alert);
    spin(200);
    context.save("root-alert-" + name + suffix,
                 renderscreens::withSheet(window.widget, window.content->alerts()->box()));
  }
  rig.reset();
  spin(100);
}

void renderParts(renderscreens::RenderContext &context, RootRig &rig) {
  for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
    const QString suffix = "-" + schemeName(scheme);
    rig.reset();
    Window window(rig.store(), scheme, QSize(1150, 780));
    context.save("root-header-wide" + suffix, *window.content->headerBar());
    window.widget.resize(1119, 780);
    spin(200);
    context.save("root-header-compact" + suffix, *window.content->headerBar());
    window.widget.resize(1150, 780);
    settleThreshold(rig.store(), 0.36f); // the spinner is then held on
    AppStore::StateAccess(rig.store()).setIsRegrouping(true);
    spin(50);
    context.save("root-controls-hint-reset-spinner" + suffix, *window.content->controlsBar());
    rig.reset();
    renderAlerts(context, rig, window, suffix);
    rig.store().setPreviewContext(
        AppStore::PreviewContext{QUuid::createUuid(), rig.store().groups().front().id, 0});
    rig.store().setUndoToast(AppStore::UndoToast{
        QUuid::createUuid(), "已移到废纸篓：1 张照片", "释放 3.1 MB", true, {}});
    spin(400);
    context.save("root-toast-over-preview" + suffix, window.widget);
    rig.reset();
    rig.store().setDetailGroupID(rig.store().groups().front().id);
    spin(600);
    context.save("root-detail" + suffix, window.widget);
  }
}

void renderRoot(renderscreens::RenderContext &context) {
  platform::setReduceMotionOverride(true);
  RootRig rig(context.photosDir);
  if (!rig.hasGroups()) {
    std::fprintf(stderr, "render-screens: root: the photographs in %s formed no group\n",
                 qPrintable(context.photosDir));
    return;
  }
  renderPhases(context, rig);
  renderParts(context, rig);
  platform::setReduceMotionOverride(std::nullopt);
}

const renderscreens::RegisterRenderer kRegistration{QStringLiteral("root-"), &renderRoot};

} // namespace
