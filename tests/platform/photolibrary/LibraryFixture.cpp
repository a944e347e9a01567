// libvips (through GLib) must come before Qt: Qt's "signals" keyword macro breaks GIO headers.
#include <vips/vips.h>

#include "tests/platform/photolibrary/LibraryFixture.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace testsupport {
namespace {

struct Unref {
  void operator()(VipsImage *image) const { g_object_unref(image); }
};
using ImageHandle = std::unique_ptr<VipsImage, Unref>;

} // namespace

std::filesystem::path writeJpeg(const std::filesystem::path &path, int width, int height) {
  (void)vips_init("pindle-tests");
  std::filesystem::create_directories(path.parent_path());
  VipsImage *noise = nullptr;
  VipsImage *grey = nullptr;
  if (vips_gaussnoise(&noise, width, height, "mean", 128.0, "sigma", 40.0, nullptr) != 0) {
    throw std::runtime_error(vips_error_buffer());
  }
  const ImageHandle noiseHandle(noise);
  if (vips_cast_uchar(noise, &grey, nullptr) != 0) {
    throw std::runtime_error(vips_error_buffer());
  }
  const ImageHandle greyHandle(grey);
  if (vips_jpegsave(grey, path.c_str(), "Q", 90, nullptr) != 0) {
    throw std::runtime_error(vips_error_buffer());
  }
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
  writeJpeg(source, width, height);
  platform::NewAsset asset;
  asset.source = source;
  asset.creationDate = created;
  asset.modificationDate = modified;
  auto added = m_library->addAsset(asset);
  EXPECT_TRUE(added.hasValue()) << (added ? "" : added.error().description().toStdString());
  return added ? added->localIdentifier : std::string();
}

} // namespace testsupport
