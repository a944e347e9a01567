// render-screens "results-": the results grid in a 1150 × 780 window over copies of the
// given photographs, their capture dates spread over 14 months, scanned through the real
// engine: top, mid-scroll (pinned header, month overlay, bright rail), after a month jump,
// a focused card, a range selected, the member-count order, regrouping, one month, 900 and
// 1600 wide, light, and the batch clean-up dialog.

#include "RenderRegistry.h"
#include "ScannedStore.h"

#include "app/results/BatchCleanupDialog.h"
#include "app/results/GridKeyView.h"
#include "app/results/GroupCard.h"
#include "app/results/ResultsGrid.h"
#include "app/results/ResultsView.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStoreStateAccess.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdio>
#include <filesystem>

using namespace lumora;
using renderscreens::RenderContext;
using renderscreens::ScannedStore;

namespace {

constexpr int kMonths = 14;

// A stable number for a scene name (the part of a file name before its first hyphen), so
// every shot of one scene lands in the same month.
quint32 sceneNumber(const QString &scene) {
  quint32 hash = 2166136261u;
  for (const QChar c : scene) {
    hash = (hash ^ c.unicode()) * 16777619u;
  }
  return hash;
}

/// Copies the photographs into `target`, each scene's shots one minute apart in one of the
/// 14 months before December 2025.
bool copyWithSpreadDates(const QString &source, const QString &target) {
  const QFileInfoList files =
      QDir(source).entryInfoList({"*.jpg", "*.jpeg", "*.png"}, QDir::Files, QDir::Name);
  int index = 0;
  for (const QFileInfo &file : files) {
    const QString copy = QDir(target).filePath(file.fileName());
    if (!QFile::copy(file.absoluteFilePath(), copy)) {
      return false;
    }
    const QString scene = file.fileName().section(u'-', 0, 0);
    const int month = static_cast<int>(sceneNumber(scene) % kMonths);
    const QDateTime when = QDateTime(QDate(2025, 12, 15), QTime(12, 0)).addMonths(-month);
    const double seconds = static_cast<double>(when.toSecsSinceEpoch()) + 60.0 * index++;
    std::filesystem::last_write_time(
        copy.toStdString(),
        std::filesystem::file_time_type::clock::now() +
            std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
                std::chrono::duration<double>(seconds - QDateTime::currentSecsSinceEpoch())));
  }
  return !files.isEmpty();
}

/// The window with the results view, waiting for images and animations before each shot.
class ResultsHost {
public:
  ResultsHost(AppStore &store, int width = 1150, ColorScheme scheme = ColorScheme::dark) {
    Theme::setScheme(&window, scheme);
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new ResultsView(store, nullptr, &window);
    layout->addWidget(view);
    window.resize(width, 780);
    window.show();
    QApplication::setActiveWindow(&window);
    settle(600);
  }

  void settle(int quietMs = 300) {
    ScannedStore::waitFor([this] { return imagesShown(); }, 15000);
    ScannedStore::waitFor([] { return false; }, quietMs);
  }

  bool imagesShown() {
    for (GroupCard *card : view->grid().cards().liveCards()) {
      if (card->isVisible() && card->isLoadingImages()) {
        return false;
      }
    }
    return true;
  }

  void wheel(int notches) {
    QWidget *viewport = view->grid().viewport();
    const QPointF at(300, 300);
    for (int i = 0; i < notches; ++i) {
      QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(viewport, &event);
    }
  }

  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&view->keyView(), &event);
  }

  QWidget window;
  ResultsView *view = nullptr;
};

void renderScrolling(RenderContext &context, AppStore &store) {
  ResultsHost host(store);
  context.save(QStringLiteral("results-top"), host.window);
  // Into the second month, so its header is pinned and the overlay and rail are up.
  const ResultsLayout &layout = host.view->grid().layout();
  const int target = layout.sectionCount() > 1 ? layout.gridTop(1) + 120 : 400;
  while (host.view->grid().verticalScrollBar()->value() < target &&
         host.view->grid().verticalScrollBar()->value() <
             host.view->grid().verticalScrollBar()->maximum()) {
    host.wheel(1);
  }
  ScannedStore::waitFor([] { return false; }, 250);
  context.save(QStringLiteral("results-mid-scroll"), host.window);
  host.key(Qt::Key_BracketRight, Qt::ControlModifier);
  host.settle(900);
  context.save(QStringLiteral("results-after-month-jump"), host.window);
  store.setFocusedGroupID(store.groups()[std::min<std::size_t>(4, store.groups().size() - 1)].id);
  host.settle(600);
  context.save(QStringLiteral("results-focused"), host.window);
  store.setFocusedGroupID(std::nullopt);
}

void renderSelection(RenderContext &context, AppStore &store) {
  ResultsHost host(store);
  const std::vector<PhotoGroup> &groups = store.groups();
  store.enterSelectionMode();
  store.groupTapped(groups.front(), false);
  store.groupTapped(groups[std::min<std::size_t>(3, groups.size() - 1)], true);
  host.settle();
  context.save(QStringLiteral("results-range-selected"), host.window);
  store.setIsBatchConfirmPresented(true);
  ScannedStore::waitFor([] { return false; }, 200);
  if (QMessageBox *box = host.view->batchDialog().box()) {
    context.save(QStringLiteral("results-batch-dialog"), *box);
    box->reject();
  }
  store.setIsBatchConfirmPresented(false);
  store.exitSelectionMode();
}

void renderVariants(RenderContext &context, AppStore &store) {
  {
    ResultsHost host(store);
    AppStore::StateAccess(store).setIsRegrouping(true);
    host.settle();
    context.save(QStringLiteral("results-regrouping"), host.window);
    AppStore::StateAccess(store).setIsRegrouping(false);
  }
  for (const int width : {900, 1600}) {
    ResultsHost host(store, width);
    context.save(QStringLiteral("results-%1-wide").arg(width), host.window);
  }
  {
    ResultsHost host(store, 1150, ColorScheme::light);
    context.save(QStringLiteral("results-light"), host.window);
  }
}

void renderOrders(RenderContext &context, AppStore &store) {
  const std::vector<PhotoGroup> all = store.groups();
  {
    ResultsHost host(store);
    store.setSort(GroupSort::memberCount);
    ScannedStore::waitFor([&] { return !store.isRegrouping() && !store.groups().empty(); }, 20000);
    host.settle(500);
    context.save(QStringLiteral("results-member-count"), host.window);
    store.setSort(GroupSort::date);
    ScannedStore::waitFor([&] { return !store.isRegrouping(); }, 20000);
    ScannedStore::waitFor([] { return false; }, 300);
  }
  // One month only: the first month's groups.
  std::vector<PhotoGroup> oneMonth;
  {
    ResultsHost host(store);
    for (const std::size_t index : host.view->grid().sections().front().groups) {
      oneMonth.push_back(store.groups()[index]);
    }
  }
  AppStore::StateAccess(store).setGroups(oneMonth);
  {
    ResultsHost host(store);
    context.save(QStringLiteral("results-one-month"), host.window);
  }
  AppStore::StateAccess(store).setGroups(all);
}

void renderResults(RenderContext &context) {
  QTemporaryDir copies;
  if (!copyWithSpreadDates(context.photosDir, copies.path())) {
    std::fprintf(stderr, "render-screens: cannot copy the photographs for results-\n");
    return;
  }
  ScannedStore scanned(copies.path());
  if (!scanned.isReady() || scanned.store().groups().empty()) {
    std::fprintf(stderr, "render-screens: no groups for the results grid\n");
    return;
  }
  AppStore &store = scanned.store();
  QApplication::setPalette(Theme::dark().palette());
  renderScrolling(context, store);
  renderSelection(context, store);
  renderVariants(context, store);
  renderOrders(context, store);
}

renderscreens::RegisterRenderer registration{QStringLiteral("results-"), &renderResults};

} // namespace
