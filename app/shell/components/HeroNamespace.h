#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <optional>
#include <vector>

class QWidget;

namespace lumora {

class HeroOverlay;

/// The meeting place of a hero zoom: a widget in the outgoing screen (the source, e.g. a
/// group card's hero image) and one in the incoming screen (the destination, e.g. the detail
/// view's best tile) registered under the same id fly from one frame to the other when the
/// root view swaps the screens. The flight is drawn by a `HeroOverlay` laid over the host
/// (the root view): a snapshot of each side, cross-faded while the frame moves on the
/// 0.42 / 0.92 spring. The real widgets stay untouched; the destination is hidden under the
/// overlay only for the flight.
///
/// The identifier of a pair is "hero-" followed by the caller's id. Widgets register with
/// `heroZoom::source` / `heroZoom::destination` (see HeroZoom.h), which do nothing when the
/// namespace is null or the link is disabled. The root view calls `beginTransition()` just
/// before it swaps screens and `finishTransition()` once the new screen is laid out.
class HeroNamespace : public QObject {
  Q_OBJECT

public:
  /// `host` is the widget the overlay covers; both screens lie inside it.
  explicit HeroNamespace(QWidget *host);
  ~HeroNamespace() override;

  [[nodiscard]] static QString identifier(const QString &id);

  void registerWidget(QWidget *widget, const QString &id, bool isSource);
  void unregisterWidget(QWidget *widget);
  /// Whether a registered widget shows its picture yet (a photo may still be loading); a
  /// widget counts as ready until it says otherwise. A flight to a destination that is not
  /// ready carries the outgoing picture alone and turns to the destination's look when it
  /// becomes ready.
  void setPictureReady(QWidget *widget, bool ready);
  /// The id's registered widgets, sources first (tests).
  [[nodiscard]] QList<QWidget *> widgets(const QString &id) const;

  /// Photographs every visible registered widget: where it is and what it shows.
  void beginTransition();
  /// Flies each photographed id to a visible widget now registered under the same id that
  /// was not part of the snapshot; returns how many flights started.
  int finishTransition();

  [[nodiscard]] HeroOverlay *overlay() const { return m_overlay; }

private:
  struct Entry {
    QPointer<QWidget> widget;
    QString identifier;
    bool isSource = false;
    bool ready = true;
  };
  struct Snapshot {
    QString identifier;
    QPointer<QWidget> widget;
    QRect rect;
    QPixmap pixmap;
  };

  [[nodiscard]] QRect rectInHost(const QWidget *widget) const;
  [[nodiscard]] std::optional<Entry> incomingFor(const Snapshot &snapshot) const;

  QPointer<QWidget> m_host;
  HeroOverlay *m_overlay;
  std::vector<Entry> m_entries;
  std::vector<Snapshot> m_snapshots;
};

} // namespace lumora
