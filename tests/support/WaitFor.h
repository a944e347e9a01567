#pragma once

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace testsupport {

/// Waits for a state that other threads bring about; fails only when it never comes (the
/// limit is far beyond any machine's delay, so no result depends on the machine's speed).
inline void waitFor(const std::function<bool()> &reached) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!reached()) {
    ASSERT_LT(std::chrono::steady_clock::now(), giveUp) << "the awaited state never came";
    std::this_thread::yield();
  }
}

} // namespace testsupport
