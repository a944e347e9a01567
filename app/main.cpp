// Pindle's entry point: fills the screen factory with the screens of the view folders and
// hands the window its content; everything else happens in AppSession.

#include "app/shell/ScreenFactory.h"
#include "app/shell/components/WindowBackground.h"
#include "app/shell/window/AppSession.h"

namespace {

// The window's content: the root view replaces this background once it exists.
QWidget *buildContent(lumora::AppStore &, const lumora::ScreenFactory &, QWidget *parent) {
  return new lumora::WindowBackground(parent);
}

// The screens of the later view folders; each folder adds its line when it lands.
lumora::ScreenFactory makeScreenFactory() {
  lumora::ScreenFactory factory;
  return factory;
}

} // namespace

int main(int argc, char **argv) {
  return lumora::AppSession::run(argc, argv, {makeScreenFactory(), &buildContent});
}
