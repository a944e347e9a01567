#include "app/shell/components/HeroZoom.h"

#include "app/shell/components/HeroNamespace.h"

namespace lumora::heroZoom {

void source(HeroView *view, HeroNamespace *space, const QString &id, bool enabled) {
  if (space != nullptr && enabled) {
    space->registerView(view, id, true);
  }
}

void destination(HeroView *view, HeroNamespace *space, const QString &id, bool enabled) {
  if (space != nullptr && enabled) {
    space->registerView(view, id, false);
  }
}

} // namespace lumora::heroZoom
