#pragma once

#include <QObject>

class QWidget;

namespace lumora {

/// Keeps views in the colour scheme of the place they are shown in, not the one they were
/// built in. Views choose their colours by `Theme::of(this)` and refresh them when they get
/// a `QEvent::PaletteChange`; a subtree built detached (in no scheme, so dark) and attached
/// later, or a window shown over a content whose scheme changed since, would otherwise keep
/// the colours of its making, because Qt sends no palette change when the palettes of the
/// two places are equal (the application's palette is the content's).
///
/// An application-wide event filter: a widget that is given a new parent, and a window that
/// is shown, pass a palette change to every widget below them. Installed once, by the first
/// `Theme::setScheme`; lives on the GUI thread with the application.
class SchemeFollower : public QObject {
  Q_OBJECT

public:
  /// Installs the follower on the application (no change when it is already installed).
  static void ensureInstalled();

  /// Sends a palette change to `root` and every widget below it.
  static void refresh(QWidget *root);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  using QObject::QObject;
};

} // namespace lumora
