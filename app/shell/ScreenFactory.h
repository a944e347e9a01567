#pragma once

#include "app/store/state/AppStoreTypes.h"

#include <QWidget>
#include <functional>
#include <string>

namespace lumora {

class AppStore;
class HeroNamespace;

/// Builds the screens that later view folders provide, so the shell never links them: the
/// results browser, the group detail, the photo preview and the info center. The
/// application's entry fills it in; a missing entry gets a named placeholder, which is what
/// the shell shows until that folder exists (and what tests use when they need no real
/// screen). Every widget is created on the GUI thread as a child of `parent`.
struct ScreenFactory {
  /// The results grid; `hero` is the root view's hero namespace in the ready phase and
  /// null in the live screen.
  std::function<QWidget *(AppStore &store, HeroNamespace *hero, QWidget *parent)> resultsView;
  std::function<QWidget *(AppStore &store, const std::string &groupID, HeroNamespace *hero,
                          QWidget *parent)>
      groupDetail;
  std::function<QWidget *(AppStore &store, QWidget *parent)> photoPreview;
  /// The info center's content, starting on `tab`.
  std::function<QWidget *(AppStore &store, AppStoreTypes::InfoTab tab, QWidget *parent)> infoCenter;

  [[nodiscard]] QWidget *makeResultsView(AppStore &store, HeroNamespace *hero,
                                         QWidget *parent) const;
  [[nodiscard]] QWidget *makeGroupDetail(AppStore &store, const std::string &groupID,
                                         HeroNamespace *hero, QWidget *parent) const;
  [[nodiscard]] QWidget *makePhotoPreview(AppStore &store, QWidget *parent) const;
  [[nodiscard]] QWidget *makeInfoCenter(AppStore &store, AppStoreTypes::InfoTab tab,
                                        QWidget *parent) const;

  /// An empty widget whose object name says which screen it stands in for.
  [[nodiscard]] static QWidget *placeholder(const QString &name, QWidget *parent);
};

} // namespace lumora
