#include "tests/platform/photolibrary/LibraryFixture.h"

#include "tests/support/ImageFixtures.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace testsupport {

std::filesystem::path writePhoto(const std::filesystem::path &path, int width, int height) {
  std::filesystem::create_directories(path.parent_path());
  EXPECT_TRUE(writeScene(path, width + height, width, height)) << path;
  return path;
}

LibraryFixture::LibraryFixture() {
  auto opened = platform::PhotoLibrary::open(location());
  if (!opened) {
    throw std::runtime_error(opened.error().description().toStdString());
  }
  m_library = opened.value();
}

std::shared_ptr<platform::PhotoLibrary> LibraryFixture::reopen() const {
  auto opened = platform::PhotoLibrary::open(location());
  EXPECT_TRUE(opened.hasValue());
  return opened ? opened.value() : nullptr;
}

std::string LibraryFixture::add(std::optional<double> created, std::optional<double> modified,
                                int width, int height) {
  const auto source = m_dir.path() / "sources" / ("IMG_" + std::to_string(++m_added) + ".JPG");
  writePhoto(source, width, height);
  platform::NewAsset asset;
  asset.source = source;
  asset.creationDate = created;
  asset.modificationDate = modified;
  auto added = m_library->addAsset(asset);
  EXPECT_TRUE(added.hasValue()) << (added ? "" : added.error().description().toStdString());
  return added ? added->localIdentifier : std::string();
}

} // namespace testsupport
