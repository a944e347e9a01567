#pragma once

#include "app/selftest/SelfTestFailure.h"

#include <QString>
#include <functional>

namespace selftesttest {

/// The failure text a check throws, or empty when it passes.
inline QString failureOf(const std::function<void()> &check) {
  try {
    check();
  } catch (const lumora::SelfTestFailure &failure) {
    return failure.description;
  }
  return {};
}

} // namespace selftesttest
