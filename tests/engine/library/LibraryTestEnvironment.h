#pragma once

#include "platform/core/photolibrary/PhotoLibrary.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace testsupport {

/// Points the engine's photo library at a fresh folder for one test and back afterwards.
class LibraryTestEnvironment : public ::testing::Test {
protected:
  void SetUp() override {
    const char *saved = std::getenv("LUMORA_PHOTO_LIBRARY");
    m_saved = saved ? saved : "";
    ::setenv("LUMORA_PHOTO_LIBRARY", location().c_str(), 1);
  }
  void TearDown() override { ::setenv("LUMORA_PHOTO_LIBRARY", m_saved.c_str(), 1); }

  [[nodiscard]] std::filesystem::path location() const { return m_dir.path() / "Library"; }
  [[nodiscard]] std::shared_ptr<platform::PhotoLibrary> library() const {
    auto shared = platform::PhotoLibrary::shared();
    EXPECT_TRUE(shared.hasValue());
    return shared ? shared.value() : nullptr;
  }
  /// Adds a generated photo to the library and returns its identifier.
  std::string addPhoto(std::optional<double> created, std::optional<double> modified = {},
                       int width = 160, int height = 120, bool screenshot = false) {
    const auto source = m_dir.file("photo-" + std::to_string(++m_count) + ".jpg");
    EXPECT_TRUE(writeScene(source, m_count, width, height));
    platform::NewAsset asset{source,     std::nullopt, platform::MediaType::image,
                             screenshot, created,      modified};
    auto added = library()->addAsset(asset);
    EXPECT_TRUE(added.hasValue());
    return added ? added->localIdentifier : std::string();
  }

  TempDir m_dir;

private:
  std::string m_saved;
  int m_count = 0;
};

} // namespace testsupport
