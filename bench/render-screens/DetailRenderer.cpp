// detail-… and preview-…: the group detail at two window sizes in its states and with each
// confirmation per source, and the photo preview loading, at 1×, at 2× panned, unreadable,
// with a favourite, alone and confirming; over photographs scanned through the real engine.
#include "RenderRegistry.h"
#include "ScannedStore.h"
#include "SheetOverlay.h"

#include "app/detail/DetailGrid.h"
#include "app/detail/DetailTile.h"
#include "app/detail/GroupDetailView.h"
#include "app/detail/PhotoPreviewView.h"
#include "app/detail/PreviewStage.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

using namespace lumora;

namespace renderscreens {
namespace {

using Source = AppStore::SourceKind;

/// A window of the given size showing one screen, in the dark scheme.
struct Host {
  QWidget window;

  explicit Host(QSize size) {
    Theme::setScheme(&window, ColorScheme::dark);
    window.setAutoFillBackground(true);
    window.resize(size);
  }
  void show(QWidget *screen) {
    screen->setGeometry(window.rect());
    window.show();
    window.activateWindow();
    settle();
  }
  static void settle(int ms = 400) {
    ScannedStore::waitFor([] { return false; }, ms);
  }
};

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons buttons =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

/// `count` scanned photos as one group, best (highest score) first.
PhotoGroup groupOf(const std::vector<PhotoItem> &items, std::size_t first, std::size_t count) {
  std::vector<PhotoItem> chosen(items.begin() + static_cast<long>(first),
                                items.begin() +
                                    static_cast<long>(std::min(first + count, items.size())));
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const PhotoItem &a, const PhotoItem &b) { return a.score > b.score; });
  return PhotoGroup(chosen.front().id, chosen);
}

/// The screen once settled, with an open window-modal box laid over it.
QImage withSettledSheet(QWidget &window, QMessageBox *box) {
  Host::settle(200);
  return withSheet(window, box);
}

void setScene(AppStore &store, const std::vector<PhotoGroup> &groups, Source source) {
  std::vector<PhotoItem> items;
  for (const PhotoGroup &group : groups) {
    items.insert(items.end(), group.items.begin(), group.items.end());
  }
  AppStore::StateAccess state(store);
  state.setSourceKind(source);
  state.setItems(items);
  state.setGroups(groups);
}

void renderDetailStates(RenderContext &context, AppStore &store, const PhotoGroup &group,
                        QSize size, const QString &suffix) {
  Host host(size);
  store.openDetail(group);
  auto *detail = new GroupDetailView(store, group.id, nullptr, &host.window);
  host.show(detail);
  Host::settle(1500); // thumbnails
  context.save(QStringLiteral("detail-focused-") + suffix, host.window);
  DetailTile *hovered = detail->grid()->tiles().at(2);
  QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
  QApplication::sendEvent(hovered, &enter);
  Host::settle();
  context.save(QStringLiteral("detail-hovered-") + suffix, host.window);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(hovered, &leave);
  AppStore::StateAccess(store).setCleaningGroupID(group.id);
  Host::settle();
  context.save(QStringLiteral("detail-cleaning-") + suffix, host.window);
  AppStore::StateAccess(store).setCleaningGroupID(std::nullopt);
}

void renderConfirmations(RenderContext &context, AppStore &store, const PhotoGroup &group) {
  for (const Source source : {Source::folder, Source::library}) {
    const QString name =
        source == Source::folder ? QStringLiteral("folder") : QStringLiteral("library");
    AppStore::StateAccess(store).setSourceKind(source);
    Host host(QSize(1150, 780));
    auto *detail = new GroupDetailView(store, group.id, nullptr, &host.window);
    host.show(detail);
    detail->askToCleanup();
    context.save(QStringLiteral("detail-confirm-cleanup-") + name,
                 withSettledSheet(host.window, detail->confirmation()));
    detail->confirmation()->reject();
    Host::settle(100);
    detail->askToDelete(group.items.at(1));
    context.save(QStringLiteral("detail-confirm-delete-") + name,
                 withSettledSheet(host.window, detail->confirmation()));
    detail->confirmation()->reject();
  }
  AppStore::StateAccess(store).setSourceKind(Source::folder);
}

void renderDetail(RenderContext &context, AppStore &store, std::vector<PhotoGroup> groups) {
  PhotoGroup &group = groups.front();
  group.items.at(3).isFavorite = true;
  setScene(store, groups, Source::folder);
  renderDetailStates(context, store, group, QSize(1150, 780), QStringLiteral("1150"));
  renderDetailStates(context, store, group, QSize(1440, 900), QStringLiteral("1440"));
  renderConfirmations(context, store, group);
  Host host(QSize(1150, 780));
  auto *missing = new GroupDetailView(store, "no such group", nullptr, &host.window);
  host.show(missing);
  context.save(QStringLiteral("detail-missing"), host.window);
}

/// The preview of photo `index` of `group` in a window of 1150 × 780 once it has loaded.
struct PreviewHost : Host {
  PhotoPreviewView *preview;

  PreviewHost(AppStore &store, const PhotoGroup &group, std::int64_t index, bool wait = true)
      : Host(QSize(1150, 780)) {
    store.openPreview(group, group.items.at(static_cast<std::size_t>(index)).id);
    preview = new PhotoPreviewView(store, &window);
    show(preview);
    if (wait) {
      ScannedStore::waitFor(
          [this] { return preview->stage()->content() != PreviewStage::Content::loading; });
      settle();
    }
  }
};

void renderPreview(RenderContext &context, AppStore &store, std::vector<PhotoGroup> groups) {
  // A group of one, named by a photo that heads no other group.
  groups.push_back(PhotoGroup(groups.back().items.back().id, {groups.back().items.back()}));
  PhotoGroup &group = groups.front();
  group.items.at(1).isFavorite = true;
  PhotoItem unreadable = group.items.back();
  unreadable.id = unreadable.id + ".missing";
  unreadable.url = QUrl::fromLocalFile(unreadable.url.toLocalFile() + QStringLiteral(".missing"));
  group.items.push_back(unreadable);
  setScene(store, groups, Source::folder);
  store.previewCache().clear();
  {
    PreviewHost host(store, group, 2, false);
    context.save(QStringLiteral("preview-loading"), host.window);
  }
  {
    PreviewHost host(store, group, 0);
    context.save(QStringLiteral("preview-1x"), host.window);
    host.preview->stage()->toggleZoom();
    Host::settle(800);
    sendMouse(host.preview->stage(), QEvent::MouseButtonPress, QPoint(500, 400));
    sendMouse(host.preview->stage(), QEvent::MouseMove, QPoint(700, 300));
    sendMouse(host.preview->stage(), QEvent::MouseButtonRelease, QPoint(700, 300));
    Host::settle(100);
    context.save(QStringLiteral("preview-2x-panned"), host.window);
    host.preview->askToDelete();
    context.save(QStringLiteral("preview-confirming"),
                 withSettledSheet(host.window, host.preview->deleteConfirmation()));
    host.preview->deleteConfirmation()->reject();
  }
  {
    PreviewHost host(store, group, 1);
    context.save(QStringLiteral("preview-favourite"), host.window);
  }
  {
    PreviewHost host(store, group, static_cast<std::int64_t>(group.items.size()) - 1);
    context.save(QStringLiteral("preview-unreadable"), host.window);
  }
  {
    PreviewHost host(store, groups.back(), 0);
    context.save(QStringLiteral("preview-single"), host.window);
  }
}

void renderDetailArea(RenderContext &context, bool detail) {
  ScannedStore scanned(context.photosDir);
  if (!scanned.isReady() || scanned.store().items().size() < 10) {
    std::fprintf(stderr, "render-screens: %s needs at least 10 photographs\n",
                 detail ? "detail-" : "preview-");
    return;
  }
  platform::setReduceMotionOverride(false);
  AppStore &store = scanned.store();
  const std::vector<PhotoItem> items = store.items();
  const std::vector<PhotoGroup> groups = {groupOf(items, 0, 7), groupOf(items, 7, 3)};
  if (detail) {
    renderDetail(context, store, groups);
  } else {
    renderPreview(context, store, groups);
  }
  platform::setReduceMotionOverride(std::nullopt);
}

const RegisterRenderer detailRenderer{
    QStringLiteral("detail-"), [](RenderContext &context) { renderDetailArea(context, true); }};
const RegisterRenderer previewRenderer{
    QStringLiteral("preview-"), [](RenderContext &context) { renderDetailArea(context, false); }};

} // namespace
} // namespace renderscreens
