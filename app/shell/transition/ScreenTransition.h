#pragma once

#include "app/shell/motion/MotionCurve.h"
#include "app/shell/transition/PhotoWait.h"

#include <QObject>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QVariantAnimation>
#include <functional>

class QWidget;

namespace lumora {

class EntranceEffect;
class LeavingPicture;
class ThumbnailLoader;

/// The one owner of the changes of what an area of the window shows: a phase screen giving
/// way to the next, the results giving way to a group's detail and back (with the hero
/// flight), the grid of a regroup or a new sort. Each change runs through these states:
///
///   idle ──hold──▶ held ──replace / dissolveHeld──▶ waitingForPhotos ──photos──▶ crossing ─▶ idle
///     └──────────────────replace──────────────────────────┘
///
/// - held: a still picture of the area as the user last saw it covers it while the change
///   is decided (a store action publishing its fields one by one, a regroup computing);
/// - waitingForPhotos: the new content is built beneath the picture, unseen, until the
///   photos it shows are there (`PhotoWait`: it listens for them, 300 ms at most);
/// - crossing: the picture leaves over the new content along one curve.
///
/// There is one leaving picture at a time: a change that begins while another crosses
/// takes one picture of what the area shows then (the new content as far as it came in,
/// under the earlier picture at the strength it still has), which replaces both. The
/// picture carries the window background, so fading it out over the new content drawn in
/// full is an exact cross-dissolve: content that does not change does not dim. GUI thread.
class ScreenTransition : public QObject {
  Q_OBJECT

public:
  enum class State { idle, held, waitingForPhotos, crossing };
  /// Whether in `state` a picture of what the area showed stands still over it.
  [[nodiscard]] static bool standsStill(State state) {
    return state == State::held || state == State::waitingForPhotos;
  }
  /// Where a held picture lies: over the screen among its siblings, or inside it as its
  /// topmost child (a view holding itself, seen as uncovered from outside).
  enum class Cover { over, inside };

  /// How the two sides of a replacement move.
  struct Move {
    MotionCurve curve;
    /// Where the leaving picture goes, relative to its place.
    QPointF leavingOffset;
    /// Where the entering content's drawing starts, relative to its place.
    QPointF enteringOffset;
    /// Whether the entering content gets an entrance: drawn in full as it moves beneath the
    /// picture, or, with `enteringFades`, fading in as it moves (a slide, which the picture
    /// does not cover). Off for a screen with an entrance of its own (`GentleAppear`).
    bool entrance = true;
    bool enteringFades = false;
    /// Whether the picture carries the window background beneath the leaving content.
    bool overBackdrop = true;
    /// Whether the picture stands until the entering content's photos are there. Off where
    /// the photos the user follows come with the move itself (a hero flight back to its
    /// card): the move starts at once, and the other photos fade in on their places.
    bool waitsForPhotos = true;
  };

  explicit ScreenTransition(ThumbnailLoader &photos, QObject *parent = nullptr);
  ~ScreenTransition() override;

  [[nodiscard]] State state() const { return m_state; }
  /// The picture leaving or held now; null when idle.
  [[nodiscard]] LeavingPicture *picture() const;
  /// Whether the picture still stands whole over a screen that replaced the one it shows,
  /// waiting for its photos: the user has not seen that screen at all, however many holds
  /// came since.
  [[nodiscard]] bool coversUnseenScreen() const { return m_coversUnseen; }

  /// What `screen`'s place shows now, as one picture: the screen as far as its entrance has
  /// come, under the picture still leaving, over the window background when `overBackdrop`.
  [[nodiscard]] QPixmap pictureShown(QWidget *screen, bool overBackdrop = true) const;

  /// Covers `screen` (which stays) with `shown`, still, until a replacement, a dissolve or a
  /// release. Does nothing while something is already held. A held picture that still
  /// stands waiting for photos stays for this change too, and so does the time it has
  /// waited: changes that come one after another (a slider dragged through thresholds)
  /// keep it no longer than one photo wait in all.
  void hold(QWidget *screen, QPixmap shown, Cover cover = Cover::over);
  /// Lifts the hold: the screen shows through as it is.
  void release();
  /// `leaving` (deleted) gives way to `entering` (built, placed and shown beneath): the
  /// held picture, else `pictureShown(leaving)`, takes leaving's place; once entering is
  /// laid out (and, with `waitsForPhotos`, its photos are there) both move along `move`,
  /// and `launched` runs.
  void replace(QWidget *leaving, QWidget *entering, const Move &move,
               std::function<void()> launched = {});
  /// Ends the change at once: the area shows what it holds now.
  void finishNow();
  /// What the hold covers changed in place (a regroup, a new sort): the held picture leaves
  /// along `curve` once the photos of `screen` (the view that shows them) are there; with
  /// no screen, on the next turn. Without a hold, nothing happens.
  void dissolveHeld(QWidget *screen, const MotionCurve &curve);

signals:
  void stateChanged(ScreenTransition::State state);

private:
  void setState(State state);
  void dropPicture();
  /// Waits a turn of the event loop (the new content is laid out) and for its photos.
  void waitThenCross(QWidget *content, std::function<void()> cross);
  void watchPicture();
  [[nodiscard]] bool isCountingWait() const;

  State m_state = State::idle;
  QPointer<LeavingPicture> m_picture;
  bool m_coversUnseen = false;
  QPointer<EntranceEffect> m_entrance;
  PhotoWait m_photos;
  /// Counts the waits started, so a turn queued for an earlier one does nothing.
  int m_generation = 0;
  /// Runs (on the animation clock) from a hold until its picture moves or goes, measuring
  /// how long the picture has waited for photos over the changes it stood for: the waits
  /// before the current one, and when the current one started (−1: none is counted).
  QVariantAnimation m_holdClock;
  int m_waitedBeforeMs = 0;
  int m_waitStartedAtMs = -1;
};

} // namespace lumora
