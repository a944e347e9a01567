#include "app/shell/ScreenFactory.h"

namespace lumora {

QWidget *ScreenFactory::makeResultsView(AppStore &store, HeroNamespace *hero,
                                        QWidget *parent) const {
  return resultsView ? resultsView(store, hero, parent)
                     : placeholder(QStringLiteral("ResultsViewPlaceholder"), parent);
}

QWidget *ScreenFactory::makeGroupDetail(AppStore &store, const std::string &groupID,
                                        HeroNamespace *hero, QWidget *parent) const {
  return groupDetail ? groupDetail(store, groupID, hero, parent)
                     : placeholder(QStringLiteral("GroupDetailPlaceholder"), parent);
}

QWidget *ScreenFactory::makePhotoPreview(AppStore &store, QWidget *parent) const {
  return photoPreview ? photoPreview(store, parent)
                      : placeholder(QStringLiteral("PhotoPreviewPlaceholder"), parent);
}

QWidget *ScreenFactory::makeInfoCenter(AppStore &store, AppStoreTypes::InfoTab tab,
                                       QWidget *parent) const {
  return infoCenter ? infoCenter(store, tab, parent)
                    : placeholder(QStringLiteral("InfoCenterPlaceholder"), parent);
}

QWidget *ScreenFactory::placeholder(const QString &name, QWidget *parent) {
  auto *widget = new QWidget(parent);
  widget->setObjectName(name);
  return widget;
}

} // namespace lumora
