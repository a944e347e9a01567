#include "app/shell/components/HeroZoom.h"

#include "app/shell/components/HeroNamespace.h"

namespace lumora::heroZoom {

void source(QWidget *widget, HeroNamespace *space, const QString &id, bool enabled) {
  if (space != nullptr && enabled) {
    space->registerWidget(widget, id, true);
  }
}

void destination(QWidget *widget, HeroNamespace *space, const QString &id, bool enabled) {
  if (space != nullptr && enabled) {
    space->registerWidget(widget, id, false);
  }
}

} // namespace lumora::heroZoom
