#pragma once

#include <QString>

class QWidget;

namespace lumora {

class HeroNamespace;

/// Links a widget into a hero zoom (see HeroNamespace). With `enabled` false or no
/// namespace the widget is left exactly as it was: nothing registered, no identifier.
/// A registered widget leaves the namespace when it is destroyed.
namespace heroZoom {

/// The side that leaves: the group card's hero image.
void source(QWidget *widget, HeroNamespace *space, const QString &id, bool enabled);
/// The side that arrives: the detail view's photo tile.
void destination(QWidget *widget, HeroNamespace *space, const QString &id, bool enabled);

} // namespace heroZoom
} // namespace lumora
