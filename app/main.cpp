// Pindle's entry point: fills the screen factory with the screens of the view folders and
// hands the window its content; everything else happens in AppSession.

#include "app/ApplicationScreens.h"
#include "app/selftest/SelfTestLauncher.h"
#include "app/selftest/UIMotionSelfTestRun.h"
#include "app/selftest/UISelfTestRun.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/root/ContentView.h"
#include "app/shell/window/AppSession.h"
#include "app/shell/window/CommandLine.h"
#include "app/shell/window/QuitSignals.h"
#include "platform/core/LargeAllocations.h"
#include "platform/core/imaging/VipsRuntime.h"

namespace {

// The window's content: the root view, which builds the later screens through the factory.
QWidget *buildContent(lumora::AppStore &store, const lumora::ScreenFactory &factory,
                      QWidget *parent) {
  return new lumora::ContentView(store, factory, parent);
}

} // namespace

int main(int argc, char **argv) {
  // Before any thread exists: a quit signal during the start-up is handled once the handlers
  // are in place (a self-test then still writes its report), not by its default action.
  lumora::QuitSignals::holdUntilInstalled();
  if (const std::optional<int> answered =
          lumora::commandline::answerInformationRequest(argc, argv)) {
    return *answered;
  }
  platform::returnLargeAllocationsToSystem();
  // libvips writes environment variables while it starts: do it before any thread exists,
  // not on the first decoding thread while Qt's and GLib's threads read the environment.
  (void)platform::vipsruntime::ensureStarted();
  lumora::ScreenFactory factory = lumora::applicationScreens();
  lumora::SelfTestLauncher::install(
      {[factory](const QString &folder) { return lumora::UISelfTestRun(factory).run(folder); },
       [](const QString &failure) { lumora::UISelfTestRun::report(failure); }},
      {[factory](const QString &folder) {
         return lumora::UIMotionSelfTestRun(factory).run(folder);
       },
       &lumora::UIMotionSelfTestRun::reportFailure});
  return lumora::AppSession::run(argc, argv, {std::move(factory), &buildContent});
}
