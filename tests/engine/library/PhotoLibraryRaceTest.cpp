#include "engine/diagnostics/Diagnostics.h"
#include "engine/library/PhotoLibrarySource.h"
#include "tests/engine/library/LibraryTestEnvironment.h"
#include "tests/engine/library/ScriptedImageManager.h"

#include <QFile>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;
using lumora::PhotoLibrarySource::previewImage;
using lumora::PhotoLibrarySource::thumbnail;
using platform::DecodedImage;
using platform::ImageResultInfo;
using testsupport::ScriptedImageManager;

DecodedImage pixels(int width) {
  return DecodedImage{width, 1, 3, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * 3)};
}

const ImageResultInfo kFinal{};
const ImageResultInfo kDegraded{true, false, {}};
const ImageResultInfo kCancelled{false, true, {}};

QString diagnosticsLog() {
  QFile file(lumora::Diagnostics::logURL().toLocalFile());
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

/// Thumbnails and previews of one library photo, answered by a scripted image manager.
class PhotoLibraryRaceTest : public testsupport::LibraryTestEnvironment {
protected:
  void SetUp() override {
    LibraryTestEnvironment::SetUp();
    m_id = addPhoto(1.0);
    lumora::PhotoLibrarySource::setImageManager(m_manager);
  }
  void TearDown() override {
    lumora::PhotoLibrarySource::setImageManager(nullptr);
    LibraryTestEnvironment::TearDown();
  }
  std::future<std::optional<DecodedImage>> startThumbnail(double timeout) {
    return std::async(std::launch::async,
                      [this, timeout] { return thumbnail(m_id, 512, timeout); });
  }

  std::shared_ptr<ScriptedImageManager> m_manager = std::make_shared<ScriptedImageManager>();
  std::string m_id;
};

TEST_F(PhotoLibraryRaceTest, degradedThenFinalGivesTheFinal) {
  auto result = startThumbnail(10.0);
  const auto request = m_manager->waitForRequest();
  ASSERT_TRUE(request);
  std::jthread platformQueue([&] {
    request->handler(pixels(8), kDegraded);
    request->handler(pixels(32), kFinal);
  });
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  const auto image = result.get();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 32);
}

TEST_F(PhotoLibraryRaceTest, degradedOnlyTimesOutLogsCancelsAndDropsTheLateResult) {
  const auto started = std::chrono::steady_clock::now();
  auto result = startThumbnail(1.5);
  const auto request = m_manager->waitForRequest();
  ASSERT_TRUE(request);
  request->handler(pixels(8), kDegraded);
  ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
  EXPECT_FALSE(result.get().has_value());
  EXPECT_GE(std::chrono::steady_clock::now() - started, 1500ms);
  EXPECT_EQ(m_manager->cancelled(), std::vector<platform::ImageRequestId>{request->id});
  EXPECT_TRUE(diagnosticsLog().contains(QStringLiteral("[photo] thumbnail timeout 1s")));
  // The platform's answer after the time-out is dropped: it must not resume anyone again.
  request->handler(pixels(32), kFinal);
  request->handler(std::nullopt, kCancelled);
}

TEST_F(PhotoLibraryRaceTest, cancelledResultEndsAtOnceEvenWithAnImage) {
  const auto started = std::chrono::steady_clock::now();
  auto result = startThumbnail(10.0);
  const auto request = m_manager->waitForRequest();
  ASSERT_TRUE(request);
  std::jthread platformQueue([&] { request->handler(pixels(32), kCancelled); });
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(result.get().has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST_F(PhotoLibraryRaceTest, resultBeforeTheIdIsStoredIsKeptAndTheRequestCancelled) {
  m_manager->answerAtOnce = [](const platform::ImageResultHandler &handler) {
    handler(pixels(16), kFinal);
  };
  const auto image = thumbnail(m_id, 512, 10.0);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(m_manager->cancelled(), std::vector<platform::ImageRequestId>{1});
}

TEST_F(PhotoLibraryRaceTest, requestSizesAndModes) {
  m_manager->answerAtOnce = [](const platform::ImageResultHandler &handler) {
    handler(pixels(4), kCancelled); // a preview keeps the image even of a cancelled result
  };
  EXPECT_FALSE(thumbnail(m_id, 32, 1.0).has_value());
  EXPECT_EQ(previewImage(m_id, 100)->width, 4);
  const auto thumb = m_manager->waitForRequest(0);
  const auto preview = m_manager->waitForRequest(1);
  EXPECT_EQ(thumb->target, (platform::TargetSize{64, 64}));
  EXPECT_EQ(thumb->options.resizeMode, platform::ResizeMode::fast);
  EXPECT_EQ(preview->target, (platform::TargetSize{256, 256}));
  EXPECT_EQ(preview->options.resizeMode, platform::ResizeMode::exact);
  EXPECT_EQ(preview->options.deliveryMode, platform::DeliveryMode::highQualityFormat);
  EXPECT_FALSE(thumbnail("GONE/L0/001", 512, 1.0).has_value());
  EXPECT_EQ(m_manager->requestCount(), 2u); // a missing asset makes no request
}

TEST_F(PhotoLibraryRaceTest, resultsRacingTheTimeOutResumeEachCallerExactlyOnce) {
  constexpr int kCalls = 40;
  std::vector<std::future<std::optional<DecodedImage>>> results;
  for (int i = 0; i < kCalls; ++i) {
    results.push_back(startThumbnail(0.05));
  }
  std::mt19937 random(11);
  std::vector<std::jthread> answers;
  for (int i = 0; i < kCalls; ++i) {
    const auto request = m_manager->waitForRequest(static_cast<std::size_t>(i));
    ASSERT_TRUE(request);
    const auto delay = std::chrono::milliseconds(random() % 100);
    const bool cancel = random() % 4 == 0;
    answers.emplace_back([request, delay, cancel] {
      std::this_thread::sleep_for(delay);
      request->handler(pixels(8), kDegraded);
      request->handler(pixels(24), cancel ? kCancelled : kFinal);
    });
  }
  for (auto &result : results) {
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    const auto image = result.get();
    EXPECT_TRUE(!image || image->width == 24);
  }
}

} // namespace
