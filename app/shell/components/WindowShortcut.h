#pragma once

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace lumora {

/// Adds to `owner` an invisible action whose shortcut works in `owner`'s whole window,
/// whatever holds the focus, for as long as `owner` is shown, and runs `action`. The keys
/// match exactly: a sequence without modifiers does not fire with Shift or Alt held. The
/// action belongs to `owner` and goes with it. GUI thread.
template <typename Action>
QAction *addWindowShortcut(QWidget &owner, const QKeySequence &keys, Action action) {
  auto *shortcut = new QAction(&owner);
  shortcut->setShortcut(keys);
  shortcut->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(shortcut, &QAction::triggered, &owner, std::move(action));
  owner.addAction(shortcut);
  return shortcut;
}

} // namespace lumora
