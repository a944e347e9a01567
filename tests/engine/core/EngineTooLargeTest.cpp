#include "tests/engine/core/EngineFixture.h"
#include "tests/engine/imaging/ImagingFixtures.h"
#include "tests/engine/library/LibraryTestEnvironment.h"

#include "platform/core/imaging/DecodeBudget.h"
#include "platform/core/photolibrary/PhotoAuthorization.h"

#include <QRegularExpression>

using namespace lumora;
using namespace enginetest;

namespace {

/// Lowers the most one photo may take to `bytes` until the test ends: every photo of the
/// tests below then needs more.
struct LowCeiling {
  explicit LowCeiling(std::int64_t bytes) { platform::decodebudget::overrideCeiling(bytes); }
  ~LowCeiling() { platform::decodebudget::overrideCeiling(std::nullopt); }
  LowCeiling(const LowCeiling &) = delete;
  LowCeiling &operator=(const LowCeiling &) = delete;
};

constexpr std::int64_t kMiB = std::int64_t{1} << 20;

} // namespace

TEST_F(EngineTest, photosTooLargeForTheMachineAreCountedApartAndLoggedWithWhatTheyNeed) {
  writeDistinct("p", 1, 2, 1'700'000'000);
  photos.write("garbage.jpg", std::string(20000, 'x'));
  auto engine = makeEngine();
  Recorder recorder;
  {
    const LowCeiling ceiling(kMiB);
    const ScanResult skipped = scanFolder(*engine, recorder);
    EXPECT_TRUE(skipped.items.empty());
    EXPECT_EQ(skipped.skippedCount, 3);
    EXPECT_EQ(skipped.tooLargeCount, 2) << "the damaged file is not counted as too large";
  }
  const QString log = fixtures::diagnosticsLog();
  EXPECT_TRUE(log.contains(QRegularExpression(
      QStringLiteral("skipped p0-0\\.png: decoding needs \\d+ MB, over the limit of 1 MB"))))
      << qPrintable(log);
  // The same photos are analysed where the machine allows them.
  const ScanResult analysed = scanFolder(*engine, recorder);
  EXPECT_EQ(analysed.items.size(), 2u);
  EXPECT_EQ(analysed.skippedCount, 1);
  EXPECT_EQ(analysed.tooLargeCount, 0);
}

namespace {

class EngineLibraryTooLargeTest : public testsupport::LibraryTestEnvironment {
protected:
  testsupport::TempDir cacheDir;
};

} // namespace

TEST_F(EngineLibraryTooLargeTest, libraryPhotosTooLargeForTheMachineAreCountedApartAndLogged) {
  ASSERT_TRUE(
      platform::photoauthorization::setStatus(location(), platform::AuthorizationStatus::authorized)
          .hasValue());
  for (const char *name : {"IMG_0001.JPG", "IMG_0002.JPG"}) {
    const auto source = m_dir.file(name);
    ASSERT_TRUE(testsupport::writeScene(source, name[7], 640, 480));
    ASSERT_TRUE(library()
                    ->addAsset({source, std::nullopt, platform::MediaType::image, false,
                                1'700'000'000, 1'700'000'000})
                    .hasValue());
  }
  LumoraEngine engine(QString::fromStdString(cacheDir.file("analysis-cache.bin").string()));
  const auto scan = [&] {
    return engine.scanLibrary(
        ScanOptions::defaults(), [](const ScanProgress &) {},
        [](const std::vector<PhotoItem> &) {});
  };
  {
    const LowCeiling ceiling(kMiB);
    const auto skipped = scan();
    ASSERT_TRUE(skipped.hasValue());
    EXPECT_EQ(skipped->skippedCount, 2);
    EXPECT_EQ(skipped->tooLargeCount, 2);
  }
  EXPECT_TRUE(
      fixtures::diagnosticsLog().contains(QStringLiteral("skipped IMG_0001.JPG: decoding needs")))
      << qPrintable(fixtures::diagnosticsLog());
  const auto analysed = scan();
  ASSERT_TRUE(analysed.hasValue());
  EXPECT_EQ(analysed->items.size(), 2u);
  EXPECT_EQ(analysed->tooLargeCount, 0);
}
