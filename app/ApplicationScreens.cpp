#include "app/ApplicationScreens.h"

#include "app/detail/GroupDetailView.h"
#include "app/detail/PhotoPreviewView.h"
#include "app/info/InfoCenterView.h"
#include "app/results/ResultsView.h"

namespace lumora {

ScreenFactory applicationScreens() {
  ScreenFactory factory;
  factory.infoCenter = [](AppStore &store, AppStoreTypes::InfoTab tab,
                          QWidget *parent) -> QWidget * {
    return new InfoCenterView(store, tab, parent);
  };
  factory.groupDetail = [](AppStore &store, const std::string &groupID, HeroNamespace *hero,
                           QWidget *parent) -> QWidget * {
    return new GroupDetailView(store, groupID, hero, parent);
  };
  factory.photoPreview = [](AppStore &store, QWidget *parent) -> QWidget * {
    return new PhotoPreviewView(store, parent);
  };
  factory.resultsView = [](AppStore &store, HeroNamespace *hero, QWidget *parent) -> QWidget * {
    return new ResultsView(store, hero, parent);
  };
  return factory;
}

} // namespace lumora
