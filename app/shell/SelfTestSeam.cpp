#include "app/shell/SelfTestSeam.h"

#include "app/shell/SelfTestRequest.h"
#include "app/store/services/UserDefaults.h"

#include <QCoreApplication>

namespace lumora {
namespace {

std::optional<QString> readRequest(const selftestrequest::Sources &sources) {
  return selftestrequest::read(sources, userdefaults::open(), QCoreApplication::arguments());
}

} // namespace

void UISelfTest::prepareIfRequested() {
  s_folder = readRequest(selftestrequest::interactionSources());
  s_enabled = s_folder.has_value();
}

void UISelfTest::runAfterLaunchIfNeeded() {
  if (s_enabled && s_folder && s_runner) {
    s_runner(*s_folder);
  }
}

void UIMotionSelfTest::prepareIfRequested() {
  s_folder = readRequest(selftestrequest::motionSources());
  s_enabled = s_folder.has_value();
}

void UIMotionSelfTest::runAfterLaunchIfNeeded() {
  if (s_enabled && s_folder && s_runner) {
    s_runner(*s_folder);
  }
}

int SelfTestExit::exitCode(int loopExitCode) {
  if (!selfTestRequested() || !s_finisher) {
    return loopExitCode;
  }
  return s_finisher();
}

} // namespace lumora
