#include "app/shell/components/PictureSettling.h"

#include <QWidget>

namespace lumora {

void PictureSettling::setIn(QWidget *screen, bool settled) {
  QList<QWidget *> views{screen};
  views.append(screen->findChildren<QWidget *>());
  for (QWidget *view : std::as_const(views)) {
    if (auto *settling = dynamic_cast<PictureSettling *>(view)) {
      settling->setSettledForPicture(settled);
    }
  }
}

} // namespace lumora
