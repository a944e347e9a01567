#include "app/shell/SelfTestSeam.h"

#include "app/shell/SelfTestRequest.h"
#include "app/store/services/UserDefaults.h"

#include <QCoreApplication>

namespace lumora {
namespace {

std::optional<QString> readRequest(const SelfTestRequest::Sources &sources) {
  return SelfTestRequest::read(sources, UserDefaults::open(), QCoreApplication::arguments());
}

} // namespace

void UISelfTest::prepareIfRequested() {
  s_folder = readRequest(SelfTestRequest::interactionSources());
  s_enabled = s_folder.has_value();
}

void UISelfTest::runAfterLaunchIfNeeded() {
  if (s_enabled && s_folder && s_runner) {
    s_runner(*s_folder);
  }
}

void UIMotionSelfTest::prepareIfRequested() {
  s_folder = readRequest(SelfTestRequest::motionSources());
  s_enabled = s_folder.has_value();
}

void UIMotionSelfTest::runAfterLaunchIfNeeded() {
  if (s_enabled && s_folder && s_runner) {
    s_runner(*s_folder);
  }
}

} // namespace lumora
