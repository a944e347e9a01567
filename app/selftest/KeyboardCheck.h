#pragma once

#include "app/shell/ScreenFactory.h"
#include "app/store/AppStore.h"

#include <QString>

class QWidget;

namespace lumora {

/// The UI self-test's keyboard check: synthetic key presses, handed to the host window like
/// a user's, drive the real results grid (range selection, month jumps, focus moves,
/// Return) and the real detail screen (focus, Space on the favourite, Escape); after each
/// key the store must say what the key does. Throws `SelfTestFailure` at the first miss.
class KeyboardCheck {
public:
  KeyboardCheck(AppStore &store, const ScreenFactory &screens);
  void verify();

  /// The first widget under `root` (itself included) of the class named `className`.
  static QWidget *findKeyView(QWidget *root, const char *className);
  /// A key press of the key table's `code` (Ctrl held for the month keys).
  static void sendKey(QWidget *window, int code);

private:
  void checkRangeSelection();
  void checkMonthJumps();
  void checkGridFocus();
  void checkDetail(QWidget *host);
  QWidget *waitForKeyView(QWidget *root, const char *className, int searches, const char *failure);
  void checkFavoriteToggle(const std::string &photoID);

  AppStore &m_store;
  const ScreenFactory &m_screens;
  /// The host window the keys go to.
  QWidget *m_window = nullptr;
};

} // namespace lumora
