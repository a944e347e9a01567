#pragma once

#include "app/shell/components/HeroOverlay.h"
#include "app/shell/components/HeroView.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <optional>
#include <vector>

class QWidget;

namespace lumora {

class HeroView;

/// The meeting place of a hero zoom: a view in the outgoing screen (the source, e.g. a group
/// card's hero image) and one in the incoming screen (the destination, e.g. the detail
/// view's best tile) registered under the same id share one photo, which flies from the
/// frame of the one to the frame of the other when the root view swaps the screens. The
/// flight is drawn by a `HeroOverlay` laid over the host (the root view). Only the photo
/// moves: the leaving view keeps its own, without its badges (its screen's picture fades
/// out beneath the flight), the arriving view shows only its ground until the photo lands, and the
/// badges of each side ride on the flying photo, the leaving ones over the first half of the
/// flight, the arriving ones over the second: none stands still over a moving photo.
///
/// The identifier of a pair is "hero-" followed by the caller's id. Views register with
/// `heroZoom::source` / `heroZoom::destination` (see HeroZoom.h), which do nothing when the
/// namespace is null or the link is disabled. The root view calls `beginTransition(id)`
/// just before it photographs the leaving screen, and `finishTransition()` once the new
/// screen is laid out.
class HeroNamespace : public QObject {
  Q_OBJECT

public:
  /// `host` is the widget the overlay covers; both screens lie inside it.
  explicit HeroNamespace(QWidget *host);
  ~HeroNamespace() override;

  [[nodiscard]] static QString identifier(const QString &id);

  void registerView(HeroView *view, const QString &id, bool isSource);
  void unregisterWidget(QWidget *widget);
  /// The id's registered widgets, sources first (tests).
  [[nodiscard]] QList<QWidget *> widgets(const QString &id) const;

  /// Lifts the photo out of every shown view registered under `id` and holds it in its
  /// place over the screen, so that the leaving screen can be photographed without it.
  void beginTransition(const QString &id);
  /// Flies each held photo to a shown view now registered under the same id that was not
  /// among those lifted; a photo with nowhere to go fades out in place with its screen.
  /// Returns how many flights have a destination.
  int finishTransition();

  [[nodiscard]] HeroOverlay *overlay() const { return m_overlay; }

private:
  struct Entry {
    HeroView *view = nullptr;
    QPointer<QWidget> widget;
    QString identifier;
    bool isSource = false;
  };

  /// Where a view's photo lies and what the view draws over it, now.
  [[nodiscard]] HeroOverlay::Side sideOf(HeroView *view, HeroView::Layer after) const;
  [[nodiscard]] static QPixmap overPhoto(HeroView *view, HeroView::Layer after);
  [[nodiscard]] std::optional<Entry> incomingFor(const HeroOverlay::Flight &flight) const;

  QPointer<QWidget> m_host;
  HeroOverlay *m_overlay;
  std::vector<Entry> m_entries;
};

} // namespace lumora
