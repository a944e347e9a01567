#include "platform/core/posix/UniqueFd.h"

#include <fcntl.h>
#include <gtest/gtest.h>

namespace {

using platform::UniqueFd;

TEST(UniqueFd, closeReportsTheResultAndLetsTheDescriptorGo) {
  UniqueFd fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(fd.isValid());
  const int raw = fd.get();
  EXPECT_TRUE(fd.close());
  EXPECT_FALSE(fd.isValid());
  EXPECT_EQ(::fcntl(raw, F_GETFD), -1); // really closed
  EXPECT_TRUE(fd.close());              // nothing held: nothing to fail

  // A descriptor that is not open fails to close, and is not held afterwards either.
  UniqueFd stale(1 << 20);
  EXPECT_FALSE(stale.close());
  EXPECT_FALSE(stale.isValid());
}

} // namespace
