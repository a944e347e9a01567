#pragma once

#include <QPointer>
#include <QWidget>

namespace lumora {

/// The keyboard-focus ring of the window's controls (buttons, pickers, the slider, scroll
/// regions). An accent ring inside a control is lost on an accent-filled button, so this one
/// lies outside the control, `kGap` away from its edge, `kWidth` wide, in the scheme's
/// `focusRing` colour: light in the dark scheme, dark in the light one, far from the accent,
/// from tinted fills and from the window's background alike.
///
/// A control opts in once with `install` (Qt's own push buttons, in alerts and file dialogs,
/// have it without); from then on the ring follows it whenever it holds
/// the keyboard focus in the active window, and goes when the focus leaves, the control hides
/// or its window loses activation. One ring widget serves the whole application: it lives as a
/// child of the control's nearest ancestor with room for it (never outside a scroll area's
/// viewport), raised above its siblings, follows moves and resizes, and takes no input.
/// A control flush with its surroundings (a scroll region) takes the ring inside its edge.
///
/// The grid's cards and the detail's tiles keep their own decoration (`FocusRingOverlay`).
/// GUI thread only.
class FocusHalo : public QWidget {
  Q_OBJECT

public:
  enum class Placement { outside, inside };
  static constexpr qreal kGap = 2;
  static constexpr qreal kWidth = 2;

  /// Gives `control` the ring, its corners rounded like the control's (`cornerRadius`).
  static void install(QWidget *control, qreal cornerRadius,
                      Placement placement = Placement::outside);
  [[nodiscard]] static bool isInstalled(const QWidget *control);
  /// The ring while it is shown, else null.
  [[nodiscard]] static FocusHalo *shown();

  /// The control the ring surrounds.
  [[nodiscard]] QWidget *control() const { return m_control; }
  /// The ring's centre line in this widget's coordinates.
  [[nodiscard]] QRectF ringRect() const;

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  explicit FocusHalo(QWidget *host);
  static void focusChanged(QWidget *now);
  /// The ancestor of `control` the ring lives in; null when the control is a window.
  [[nodiscard]] static QWidget *hostFor(QWidget *control);
  void follow(QWidget *control, QWidget *host);
  void release();
  [[nodiscard]] QRect controlRectIn(const QWidget *host) const;
  void place();

  QPointer<QWidget> m_control;
  QList<QPointer<QWidget>> m_watched;
  qreal m_radius = 0;
  Placement m_placement = Placement::outside;
};

} // namespace lumora
