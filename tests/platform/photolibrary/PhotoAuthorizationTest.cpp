#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "tests/support/PlantedFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using platform::AuthorizationStatus;
namespace auth = platform::photoauthorization;

TEST(PhotoAuthorization, requestFromNotDeterminedGrantsFullAccessAndPersists) {
  testsupport::TempDir dir;
  const auto library = dir.path() / "Library";
  EXPECT_EQ(auth::currentStatus(library), AuthorizationStatus::notDetermined);
  EXPECT_EQ(auth::request(library), AuthorizationStatus::authorized);
  EXPECT_EQ(auth::currentStatus(library), AuthorizationStatus::authorized);
}

TEST(PhotoAuthorization, everyRecordedStatusSurvivesAndARequestDoesNotOverrideIt) {
  testsupport::TempDir dir;
  for (const auto status :
       {AuthorizationStatus::restricted, AuthorizationStatus::denied, AuthorizationStatus::limited,
        AuthorizationStatus::authorized, AuthorizationStatus::notDetermined}) {
    ASSERT_TRUE(auth::setStatus(dir.path(), status).hasValue());
    EXPECT_EQ(auth::currentStatus(dir.path()), status);
    if (status != AuthorizationStatus::notDetermined) {
      EXPECT_EQ(auth::request(dir.path()), status);
      EXPECT_EQ(auth::currentStatus(dir.path()), status);
    }
  }
}

TEST(PhotoAuthorization, unreadableRecordCountsAsNotDetermined) {
  testsupport::TempDir dir;
  dir.write("authorization", std::string("\xff\x00garbage", 9));
  EXPECT_EQ(auth::currentStatus(dir.path()), AuthorizationStatus::notDetermined);
}

TEST(PhotoAuthorization, aPlantedRecordIsNeitherWaitedOnNorFollowedAndTheRequestReplacesIt) {
  testsupport::TempDir dir;
  const auto target = dir.file("authorized-elsewhere");
  testsupport::makeLinkTarget(target);
  for (const auto kind : {testsupport::Planted::fifo, testsupport::Planted::symlink}) {
    const auto library = dir.path() / testsupport::nameOf(kind);
    ASSERT_TRUE(testsupport::plant(kind, library / "authorization", target));
    ASSERT_TRUE(testsupport::finishesWithin(
        std::chrono::seconds(5),
        [&] {
          EXPECT_EQ(auth::currentStatus(library), AuthorizationStatus::notDetermined);
          EXPECT_EQ(auth::request(library), AuthorizationStatus::authorized);
        },
        library));
    EXPECT_TRUE(testsupport::isRegularFile(library / "authorization"));
    EXPECT_EQ(auth::currentStatus(library), AuthorizationStatus::authorized);
  }
  EXPECT_TRUE(testsupport::isUntouchedLinkTarget(target));
}

TEST(PhotoAuthorization, requestThatCannotBeRecordedGrantsNothing) {
  testsupport::TempDir dir;
  // A file where the library folder should be: nothing can be written inside it, even as root.
  const auto blocked = dir.write("NotAFolder", "x");
  EXPECT_EQ(auth::request(blocked), AuthorizationStatus::notDetermined);
  const auto failed = auth::setStatus(blocked, AuthorizationStatus::denied);
  ASSERT_FALSE(failed.hasValue());
  EXPECT_TRUE(failed.error().description().contains(QStringLiteral("记录访问权限失败")));
}

} // namespace
