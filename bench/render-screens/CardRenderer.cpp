// card-…: the group card in each of its states, its tooltips, menus and confirmation, and the
// summary bar in each mode and source, over photographs scanned through the real engine.
#include "RenderRegistry.h"
#include "ScannedStore.h"

#include "app/results/GroupCard.h"
#include "app/shell/SelfTestSeam.h"
#include "app/shell/theme/Theme.h"
#include "app/store/state/AppStoreStateAccess.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cstdio>

using namespace lumora;

namespace renderscreens {
namespace {

constexpr int kCardWidth = 360;

/// A window-coloured host with one card in it, in the given scheme.
struct CardHost {
  QWidget window;
  GroupCard *card;

  CardHost(AppStore &store, const PhotoGroup &group, ColorScheme scheme, int width = kCardWidth)
      : card(new GroupCard(store, nullptr, &window)) {
    Theme::setScheme(&window, scheme);
    window.setAutoFillBackground(true);
    const QRect cell(QPoint(GroupCard::kOutset.left(), GroupCard::kOutset.top()),
                     QSize(width, GroupCard::kHeight));
    window.resize(cell.marginsAdded(GroupCard::kOutset).size() +
                  QSize(GroupCard::kOutset.left(), GroupCard::kOutset.top()));
    card->setCellGeometry(cell.translated(GroupCard::kOutset.left() / 2, 0));
    card->setGroup(group, 0);
    window.show();
    settle();
  }

  void settle() const {
    ScannedStore::waitFor([this] { return !card->isLoadingImages() && !card->isAnimating(); },
                          15000);
    ScannedStore::waitFor([] { return false; }, 200); // the last fades
  }

  QPoint at(const QPoint &inCard) const { return card->cardRect().topLeft() + inCard; }
};

bool byCountDescending(const PhotoGroup &a, const PhotoGroup &b) { return a.count() > b.count(); }

/// One group of `count` photos made of the scanned photos, best (highest score) first.
PhotoGroup groupOf(const std::vector<PhotoItem> &items, std::size_t count) {
  std::vector<PhotoItem> chosen(items.begin(),
                                items.begin() + static_cast<long>(std::min(count, items.size())));
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const PhotoItem &a, const PhotoItem &b) { return a.score > b.score; });
  return PhotoGroup(chosen.empty() ? std::string() : chosen.front().id, chosen);
}

/// The same photos as library photos: no sizes, names "图库照片", the same thumbnails.
PhotoGroup asLibrary(PhotoGroup group) {
  for (PhotoItem &item : group.items) {
    item.localIdentifier = item.id;
    item.fileSize = 0;
  }
  return group;
}

void renderCardStates(RenderContext &context, AppStore &store, const PhotoGroup &group) {
  AppStore::StateAccess access(store);
  {
    CardHost host(store, group, ColorScheme::dark);
    context.save(QStringLiteral("card-normal"), host.window);
    QEnterEvent enter(host.at({80, 80}), host.at({80, 80}), host.card->mapToGlobal(host.at({80, 80})));
    QApplication::sendEvent(host.card, &enter);
    host.settle();
    context.save(QStringLiteral("card-hover"), host.window);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(host.card, &leave);
    store.setFocusedGroupID(group.id);
    host.settle();
    context.save(QStringLiteral("card-focused"), host.window);
    store.setFocusedGroupID(std::nullopt);
    access.setCleaningGroupID(group.id);
    host.settle();
    context.save(QStringLiteral("card-cleaning"), host.window);
    access.setCleaningGroupID(std::string("another"));
    host.settle();
    context.save(QStringLiteral("card-other-cleaning"), host.window);
    access.setCleaningGroupID(std::nullopt);
  }
  {
    CardHost host(store, group, ColorScheme::dark);
    store.enterSelectionMode();
    host.settle();
    context.save(QStringLiteral("card-selecting"), host.window);
    store.toggleSelection(group);
    host.settle();
    context.save(QStringLiteral("card-selected"), host.window);
    store.exitSelectionMode();
  }
  {
    CardHost host(store, group, ColorScheme::light);
    context.save(QStringLiteral("card-light"), host.window);
  }
}

void renderCards(RenderContext &context) {
  ScannedStore scanned(context.photosDir);
  if (!scanned.isReady() || scanned.store().groups().empty()) {
    std::fprintf(stderr, "render-screens: no groups to show as cards\n");
    return;
  }
  AppStore &store = scanned.store();
  std::vector<PhotoGroup> groups = store.groups();
  std::stable_sort(groups.begin(), groups.end(), byCountDescending);
  renderCardStates(context, store, groups.front());
  {
    CardHost host(store, groupOf(store.items(), 20), ColorScheme::dark);
    context.save(QStringLiteral("card-twenty-photos"), host.window);
  }
  {
    CardHost host(store, groupOf(store.items(), 1), ColorScheme::dark);
    context.save(QStringLiteral("card-one-photo"), host.window);
  }
  {
    AppStore::StateAccess(store).setSourceKind(AppStoreTypes::SourceKind::library);
    CardHost host(store, asLibrary(groups.front()), ColorScheme::dark);
    context.save(QStringLiteral("card-library"), host.window);
    AppStore::StateAccess(store).setSourceKind(AppStoreTypes::SourceKind::folder);
  }
}

RegisterRenderer registration{QStringLiteral("card-"), &renderCards};

} // namespace
} // namespace renderscreens
