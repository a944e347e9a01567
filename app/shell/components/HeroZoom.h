#pragma once

#include <QString>

namespace lumora {

class HeroNamespace;
class HeroView;

/// Links a view into a hero zoom (see HeroNamespace). With `enabled` false or no namespace
/// the view is left exactly as it was: nothing registered, no identifier. A registered
/// view leaves the namespace when its widget is destroyed.
namespace heroZoom {

/// The side that leaves: the group card's hero image.
void source(HeroView *view, HeroNamespace *space, const QString &id, bool enabled);
/// The side that arrives: the detail view's photo tile.
void destination(HeroView *view, HeroNamespace *space, const QString &id, bool enabled);

} // namespace heroZoom
} // namespace lumora
