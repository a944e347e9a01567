#include "app/shell/transition/LoadingImages.h"

#include <QWidget>
#include <algorithm>

namespace lumora {

bool LoadingImages::anyIn(const QWidget *screen) {
  if (screen == nullptr) {
    return false;
  }
  QList<const QWidget *> views{screen};
  for (const QWidget *view : screen->findChildren<QWidget *>()) {
    views.append(view);
  }
  return std::any_of(views.begin(), views.end(), [](const QWidget *view) {
    const auto *loading = dynamic_cast<const LoadingImages *>(view);
    return loading != nullptr && view->isVisible() && loading->isLoadingImages();
  });
}

} // namespace lumora
