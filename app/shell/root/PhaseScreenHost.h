#pragma once

#include "app/shell/root/RootScreen.h"

#include <QElapsedTimer>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace lumora {

class AppStore;
class EntranceEffect;
class ExitSnapshot;
class HeroNamespace;
struct ScreenFactory;

/// The area below the controls bar that shows the screen of the store's phase. A change of
/// the store's phase token replaces the screen with a 0.14 s fade in both motion settings
/// (the static screens enter with the gentle appear instead of the plain fade); the one
/// change of screen under one token, the scanning card giving way to the live results, is
/// made at once, and the live results stay one widget through a pause and a resume. Any
/// other change keeps the widget, which follows the store itself. The choice follows the
/// store on the next turn of the event loop; meanwhile a screen about to be replaced is
/// shown as it was before the change began. A screen that fades in while photos it shows are
/// still loading waits unseen under the leaving picture until they are there, for
/// `kImageWaitMs` at most, then both fades start together.
/// GUI thread only.
class PhaseScreenHost : public QWidget {
  Q_OBJECT

public:
  static constexpr int kImageWaitMs = 300;

  /// `factory` and `hero` must outlive the host; `hero` may be null.
  PhaseScreenHost(AppStore &store, const ScreenFactory &factory, HeroNamespace *hero,
                  QWidget *parent = nullptr);

  [[nodiscard]] QWidget *screen() const { return m_screen; }
  [[nodiscard]] const rootscreen::ScreenChoice &choice() const { return m_choice; }
  /// How many times a screen was replaced after the first (with or without a fade).
  [[nodiscard]] int replacementCount() const { return m_replacements; }

signals:
  /// A new screen took the place of the old one.
  void screenReplaced();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  /// Photographs the screen at the first change of a store action, then follows the store
  /// once the action is over.
  void storeChanging();
  void follow();
  /// Whether `next` takes the place of the screen shown now.
  [[nodiscard]] bool replaces(const rootscreen::ScreenChoice &next) const;
  void build(bool animated, QPixmap shown = {});
  [[nodiscard]] QWidget *makeScreen(rootscreen::ScreenKind kind);
  /// What the area shows now: the screen as far as it has come in, under the pictures of
  /// earlier screens still fading out.
  [[nodiscard]] QPixmap pictureShown();
  /// Holds both fades at their start while the new screen's photos load.
  void waitForImages(ExitSnapshot *exit, EntranceEffect *entrance);
  /// Starts the held fades once the photos are there or the wait is over.
  void checkImages(bool force);

  AppStore &m_store;
  const ScreenFactory &m_factory;
  HeroNamespace *m_hero;
  rootscreen::ScreenChoice m_choice;
  QPointer<QWidget> m_screen;
  QTimer m_pending;
  /// The screen as shown before the pending changes; null when none is pending.
  QPixmap m_shown;
  /// That picture, held over the screen while a pending change is about to replace it.
  QPointer<ExitSnapshot> m_held;
  int m_replacements = 0;
  QTimer m_imageWait;
  QElapsedTimer m_imageWaitClock;
  QPointer<ExitSnapshot> m_waitingExit;
  QPointer<EntranceEffect> m_waitingEntrance;
  /// The pictures of earlier screens still fading out.
  QList<QPointer<ExitSnapshot>> m_exits;
};

} // namespace lumora
