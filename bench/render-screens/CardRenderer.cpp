// card-…: the group card in each of its states, its tooltips, menus and confirmation, and the
// summary bar in each mode and source, over photographs scanned through the real engine.
#include "RenderRegistry.h"
#include "ScannedStore.h"

#include "app/results/BatchCleanupDialog.h"
#include "app/results/GroupCard.h"
#include "app/results/SummaryBar.h"
#include "app/shell/SelfTestSeam.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
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
    // Screenshots show no keyboard focus unless they are about it.
    if (QWidget *focused = QApplication::focusWidget()) {
      focused->clearFocus();
    }
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
    QEnterEvent enter(host.at({80, 80}), host.at({80, 80}),
                      host.card->mapToGlobal(host.at({80, 80})));
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
    const QPoint heroPoint = host.at({120, 90});
    QMouseEvent press(QEvent::MouseButtonPress, heroPoint, host.card->mapToGlobal(heroPoint),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(host.card, &press);
    host.settle();
    context.save(QStringLiteral("card-pressed"), host.window);
    QMouseEvent release(QEvent::MouseButtonRelease, host.at({400, 400}),
                        host.card->mapToGlobal(host.at({400, 400})), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(host.card, &release);
    host.settle();
    // Half-way through the exit: faded and shrinking.
    access.setExitingGroupIDs({group.id});
    ScannedStore::waitFor([] { return false; }, 90);
    context.save(QStringLiteral("card-exiting"), host.window);
    access.setExitingGroupIDs({});
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

/// The card's window with a popup (tooltip, menu) drawn where it opened.
QImage withPopup(CardHost &host, QWidget &popup, const QPoint &at) {
  QImage image = host.window.grab().toImage();
  const QPixmap shot = popup.grab();
  QImage canvas(std::max(image.width(), at.x() + shot.width()),
                std::max(image.height(), at.y() + shot.height()), image.format());
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  painter.drawImage(0, 0, image);
  painter.drawPixmap(at, shot);
  return canvas;
}

QWidget *openTooltip() {
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("QTipLabel") && widget->isVisible()) {
      return widget;
    }
  }
  return nullptr;
}

void renderTooltip(RenderContext &context, CardHost &host, const QString &name, QPoint inCard) {
  const QPoint at = host.at(inCard);
  QHelpEvent help(QEvent::ToolTip, at, host.card->mapToGlobal(at));
  QApplication::sendEvent(host.card, &help);
  if (QWidget *tip = openTooltip()) {
    context.save(name, withPopup(host, *tip, host.card->mapTo(&host.window, at) + QPoint(8, 16)));
  }
  QToolTip::hideText();
}

void renderMenu(RenderContext &context, CardHost &host, const QString &name) {
  std::unique_ptr<QMenu> menu = host.card->makeContextMenu();
  menu->popup(host.window.mapToGlobal(QPoint(120, 120)));
  ScannedStore::waitFor([] { return false; }, 100);
  context.save(name, withPopup(host, *menu, QPoint(120, 120)));
  menu->close();
}

void renderDialog(RenderContext &context, QMessageBox *opened, const QString &name) {
  const QPointer<QMessageBox> box = opened;
  ScannedStore::waitFor([] { return false; }, 100);
  if (box.isNull()) {
    std::fprintf(stderr, "render-screens: no dialog for %s\n", qPrintable(name));
    return;
  }
  context.save(name, *box);
  box->reject();
}

void renderPopups(RenderContext &context, AppStore &store, const PhotoGroup &group) {
  AppStore::StateAccess access(store);
  CardHost host(store, group, ColorScheme::dark, 420);
  renderTooltip(context, host, QStringLiteral("card-tooltip-tile"),
                {20, GroupCardLayout::kHeroHeight + 12 + 19 + 10 + 20});
  renderTooltip(context, host, QStringLiteral("card-tooltip-hero"), {200, 90});
  renderMenu(context, host, QStringLiteral("card-menu-folder"));
  host.card->confirmCleanup();
  renderDialog(context, host.card->findChild<QMessageBox *>(),
               QStringLiteral("card-dialog-folder"));
  access.setSourceKind(AppStoreTypes::SourceKind::library);
  host.card->setGroup(asLibrary(group), 0);
  renderMenu(context, host, QStringLiteral("card-menu-library"));
  host.card->confirmCleanup();
  renderDialog(context, host.card->findChild<QMessageBox *>(),
               QStringLiteral("card-dialog-library"));
  access.setSourceKind(AppStoreTypes::SourceKind::folder);
}

/// The bar at the window's width over the scanned groups, in each mode and source.
void renderBar(RenderContext &context, AppStore &store) {
  AppStore::StateAccess access(store);
  QWidget window;
  Theme::setScheme(&window, ColorScheme::dark);
  window.setAutoFillBackground(true);
  window.resize(1150, 52);
  auto *bar = new SummaryBar(store, &window);
  bar->setGeometry(window.rect());
  window.show();
  const auto shot = [&](const char *name) {
    ScannedStore::waitFor([] { return false; }, 250); // the title's roll
    if (QWidget *focused = QApplication::focusWidget()) {
      focused->clearFocus();
    }
    context.save(QString::fromLatin1(name), window);
  };
  shot("card-bar-folder");
  access.setTrashedCount(1234);
  ScanResult skipped = store.lastResult().value_or(ScanResult{});
  skipped.skippedCount = 3;
  access.setLastResult(skipped);
  shot("card-bar-trashed-skipped");
  store.enterSelectionMode();
  shot("card-bar-selecting-none");
  store.selectAllGroups();
  shot("card-bar-selecting-all");
  BatchCleanupDialog dialog(store, &window);
  store.setIsBatchConfirmPresented(true);
  renderDialog(context, dialog.box(), QStringLiteral("card-dialog-batch-folder"));
  access.setSourceKind(AppStoreTypes::SourceKind::library);
  store.setIsBatchConfirmPresented(true);
  renderDialog(context, dialog.box(), QStringLiteral("card-dialog-batch-library"));
  shot("card-bar-selecting-library");
  store.exitSelectionMode();
  shot("card-bar-library");
  Theme::setScheme(&window, ColorScheme::light);
  shot("card-bar-library-light");
  access.setSourceKind(AppStoreTypes::SourceKind::folder);
  access.setTrashedCount(0);
  window.resize(900, 52);
  bar->setGeometry(window.rect());
  shot("card-bar-narrow");
}

void renderCards(RenderContext &context) {
  ScannedStore scanned(context.photosDir);
  if (!scanned.isReady() || scanned.store().groups().empty()) {
    std::fprintf(stderr, "render-screens: no groups to show as cards\n");
    return;
  }
  AppStore &store = scanned.store();
  // Menus, tooltips and dialogs are windows of their own: they take the application's
  // palette, which the application sets to its scheme.
  QApplication::setPalette(Theme::dark().palette());
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
  renderPopups(context, store, groupOf(store.items(), 20));
  renderBar(context, store);
}

RegisterRenderer registration{QStringLiteral("card-"), &renderCards};

} // namespace
} // namespace renderscreens
