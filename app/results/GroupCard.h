#pragma once

#include "app/results/GroupCardLayout.h"
#include "app/results/GroupCardLook.h"
#include "app/shell/motion/MotionAnimation.h"
#include "engine/model/PhotoGroup.h"

#include <QMargins>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QMessageBox;
class QMenu;
class QPushButton;

namespace lumora {

class AppStore;
class HeroNamespace;
class GroupCardFace;
class GroupCardHero;
class CleanupButton;
class FocusRingOverlay;

/// One similar group in the results grid: the best photo large with its score, the count,
/// size and date, the candidates a clean-up would remove, and the clean-up button.
///
/// Painted from pixmaps prepared when the group or a state changes; the clean-up control is
/// a real child button. Every card has the same height, `kHeight`, whatever its group, so
/// a grid can place cards by arithmetic. The widget reaches `kOutset` beyond the card on
/// each side for the shadow, the hover lift and the focus ring; a grid hands each card its
/// cell through `setCellGeometry`. A pooled card is re-pointed with `setGroup`.
///
/// Reads the store's state through its change signals (connected once) and changes it only
/// through the store's actions. GUI thread only.
class GroupCard : public QWidget {
  Q_OBJECT

public:
  /// The card's height, from the hero's top to the caption's padding.
  static constexpr int kHeight = GroupCardLayout::kHeight;
  /// The narrowest card the layout is made for.
  static constexpr int kMinimumWidth = 300;
  /// The widget's margin around its card (shadow, lift, focus ring).
  static constexpr QMargins kOutset{18, 12, 18, 24};

  /// A card with no group yet; `heroNamespace` may be null (no hero zoom source).
  GroupCard(AppStore &store, HeroNamespace *heroNamespace, QWidget *parent = nullptr);
  /// A card showing `group` at once, as a self-test host makes it.
  GroupCard(AppStore &store, const PhotoGroup &group, HeroNamespace *heroNamespace, int entryIndex,
            QWidget *parent = nullptr);
  ~GroupCard() override;

  /// Points the card at `group`; `entryIndex` (its position in the list that shows it)
  /// staggers its entrance. A group with another id makes a new card: hover, press,
  /// confirmation and entrance start over, the cursor is reset, thumbnails reload. The same
  /// id refreshes what the card shows and keeps its states.
  void setGroup(const PhotoGroup &group, int entryIndex);
  [[nodiscard]] const PhotoGroup &group() const { return m_group; }
  [[nodiscard]] int entryIndex() const { return m_entryIndex; }
  /// Places the card's rectangle at `cell` (parent coordinates), the widget `kOutset`
  /// around it.
  void setCellGeometry(const QRect &cell);
  /// The card's own rectangle in widget coordinates.
  [[nodiscard]] QRect cardRect() const;

  // View states.
  [[nodiscard]] bool isHovering() const { return m_state.hovering; }
  [[nodiscard]] bool isPressed() const { return m_state.pressed; }
  [[nodiscard]] bool hasEntered() const { return m_state.entered; }
  [[nodiscard]] bool showsConfirmation() const { return !m_confirmation.isNull(); }
  /// The look the card is heading for, and the one it shows now.
  [[nodiscard]] GroupCardLook targetLook() const;
  [[nodiscard]] GroupCardLook currentLook() const;

  /// A photo place is still empty while its thumbnail is on its way; a state change is
  /// still animating.
  [[nodiscard]] bool isLoadingImages() const;
  [[nodiscard]] bool isAnimating() const;
  /// Ends the running state animation and a pending entrance at their final look
  /// (screenshots and benchmarks).
  void finishAnimations();

  /// The clean-up button, the candidate tooltip at a point (empty outside the tiles), and
  /// the context menu as it would open now; for hosts and tests.
  [[nodiscard]] QPushButton *cleanupButton() const;
  [[nodiscard]] QString toolTipAt(const QPoint &position) const;
  [[nodiscard]] std::unique_ptr<QMenu> makeContextMenu();
  /// Opens the clean-up confirmation, as the button and the menu item do.
  void confirmCleanup();

  [[nodiscard]] QSize sizeHint() const override;

protected:
  bool event(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void enterEvent(QEnterEvent *event) override;
  void leaveEvent(QEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void contextMenuEvent(QContextMenuEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  /// What changed a state, which picks the animation of the change.
  enum class Cause { hover, press, entrance, exit, selection, focus, none };

  void connectStore();
  void resetViewStates();
  /// The store's conditions for this group: selected, focused, exiting.
  [[nodiscard]] GroupCardState stateFromStore() const;
  void applyState(const GroupCardState &state, Cause cause);
  void lookStepped();
  void setHovering(bool hovering);
  void setPressed(bool pressed);
  void setEntered(bool entered);
  void scheduleEntrance(bool force);
  [[nodiscard]] bool tapAreaContains(const QPoint &position) const;
  void tapped(Qt::KeyboardModifiers modifiers);
  void updatePointer(const QPoint &position);
  void resetPointer();
  void refreshButton();
  void refreshAccessibility();
  void placeChildren();
  [[nodiscard]] QRect mapped(const QRect &inCard, const GroupCardLook &look) const;
  void registerHero();
  void selectionChanged();
  void sourceOrSelectingChanged();
  void groupCountChanged();
  void paintHoverBorder(QPainter &painter, const QRect &shown, const GroupCardLook &look);

  AppStore &m_store;
  HeroNamespace *m_heroNamespace = nullptr;
  PhotoGroup m_group;
  int m_entryIndex = 0;
  GroupCardState m_state;
  /// The number of groups last seen, to replay the entrance when it changes.
  std::size_t m_knownGroupCount = 0;
  /// Where the primary button went down, while it is down.
  std::optional<QPoint> m_pressAt;
  QTimer m_entranceTimer;
  bool m_bound = false;
  GroupCardFace *m_face;
  GroupCardHero *m_hero;
  CleanupButton *m_button;
  FocusRingOverlay *m_focusRing;
  QPointer<QMessageBox> m_confirmation;
  /// The look animates from `m_from` to `m_to`; the animation's value is the progress.
  MotionAnimation m_motion;
  GroupCardLook m_from;
  GroupCardLook m_to;
};

} // namespace lumora
