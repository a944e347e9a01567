#pragma once

#include "app/shell/root/RootScreen.h"
#include "app/shell/transition/ScreenTransition.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

namespace lumora {

class AppStore;
class HeroNamespace;
struct ScreenFactory;

/// The area below the controls bar that shows the screen of the store's phase. A change of
/// the store's phase token replaces the screen with a 0.14 s cross-dissolve in both motion
/// settings (the static screens enter with the gentle appear instead); the live results
/// giving way to the results at the end of a scan move up by the banner's height as they
/// dissolve, so the summary bar and the grid keep their places on screen and never show
/// twice. The live results stay one widget through a pause and a resume. Any other change
/// keeps the widget, which follows the store itself.
///
/// The choice follows the store on the next turn of the event loop; meanwhile a screen about
/// to be replaced is held as it was before the change began. A rescan of the results keeps
/// them held for `kQuickScanMs` at most: a scan that ends within it (a cached folder)
/// dissolves straight into its results, without showing the scanning screen for a few
/// frames. Every change runs through one `ScreenTransition`. GUI thread only.
class PhaseScreenHost : public QWidget {
  Q_OBJECT

public:
  static constexpr int kQuickScanMs = 300;

  /// `factory` and `hero` must outlive the host; `hero` may be null.
  PhaseScreenHost(AppStore &store, const ScreenFactory &factory, HeroNamespace *hero,
                  QWidget *parent = nullptr);

  [[nodiscard]] QWidget *screen() const { return m_screen; }
  [[nodiscard]] const rootscreen::ScreenChoice &choice() const { return m_choice; }
  /// How many times a screen was replaced after the first (with or without a fade).
  [[nodiscard]] int replacementCount() const { return m_replacements; }
  [[nodiscard]] const ScreenTransition &transition() const { return m_transition; }

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
  /// Whether a rescan of the results has just begun and may still end quickly.
  [[nodiscard]] bool waitsForQuickScan(const rootscreen::ScreenChoice &next);
  void build(bool animated);
  [[nodiscard]] ScreenTransition::Move moveTo(rootscreen::ScreenKind kind) const;
  [[nodiscard]] QWidget *makeScreen(rootscreen::ScreenKind kind);

  AppStore &m_store;
  const ScreenFactory &m_factory;
  HeroNamespace *m_hero;
  rootscreen::ScreenChoice m_choice;
  QPointer<QWidget> m_screen;
  QTimer m_pending;
  /// The area as shown before the pending changes; null when none is pending.
  QPixmap m_shown;
  ScreenTransition m_transition;
  /// Runs while a rescan of the results may still end quickly (on the animation clock).
  QVariantAnimation m_quickScan;
  int m_replacements = 0;
};

} // namespace lumora
