#pragma once

#include "app/shell/ScreenFactory.h"

#include <QWidget>
#include <functional>

namespace lumora {

class AppStore;

/// The application's start-up, run by `main`:
/// 1. the self-test switches are read (the interaction test's, then the motion test's);
/// 2. a second copy raises the first one's window and ends (self-tests are exempt);
/// 3. the crash handler is installed, the diagnostics session begins (an unclean previous
///    exit is logged here), "launch <version> (<build>)" and the "app-launch" memory line
///    are logged;
/// 4. one engine and one store with the real services; the main window with its content,
///    menus and appearance; SIGTERM, SIGINT and SIGHUP quit through the event loop;
/// 5. the window shows; launching is then complete: the QA overrides, the stored
///    appearance, and 0.6 s later a requested self-test;
/// 6. on quit, however it comes, the session marker is removed.
class AppSession {
public:
  /// Builds the window's content (the root view) as a child of `parent`.
  using ContentBuilder =
      std::function<QWidget *(AppStore &store, const ScreenFactory &factory, QWidget *parent)>;

  struct Options {
    ScreenFactory factory;
    ContentBuilder buildContent;
    /// Called once the window's first frame is painted (the start-up benchmark stops its
    /// clock there); none in the application.
    std::function<void()> onFirstFrame = {};
  };

  /// Runs the application to its end and returns the exit code.
  static int run(int &argc, char **argv, Options options);
};

} // namespace lumora
