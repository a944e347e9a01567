#include "platform/core/photolibrary/PhotoLibrary.h"

#include "platform/core/AppDirectories.h"
#include "platform/core/files/AtomicWrite.h"
#include "platform/core/photolibrary/ImageDecoding.h"
#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <QUuid>
#include <array>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr const char *kCatalogueName = "catalogue.sqlite";
// Longest side of the stored rendition: large enough to answer a scan's analysis thumbnail
// (512 by default) without decoding the original.
constexpr int kRenditionSide = 512;

double secondsNow() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration<double>(since).count();
}

LibraryError fileError(const QString &what, const std::error_code &error) {
  return {LibraryError::Kind::io, what + QStringLiteral("（") +
                                      QString::fromStdString(error.message()) +
                                      QStringLiteral("）")};
}

// A short alphanumeric extension is kept so that the stored file is recognisable;
// anything else (no extension, odd bytes) is dropped, since decoding sniffs the content.
std::string safeExtension(const fs::path &source) {
  std::string extension = source.extension().native();
  if (extension.size() < 2 || extension.size() > 9) {
    return {};
  }
  for (std::size_t i = 1; i < extension.size(); ++i) {
    const auto c = static_cast<unsigned char>(extension[i]);
    if (!std::isalnum(c) || c > 0x7f) {
      return {};
    }
    extension[i] = static_cast<char>(std::tolower(c));
  }
  return extension;
}

// Copies through a scratch file renamed into place, so a file under its final name is
// always complete.
Expected<void, LibraryError> copyIn(const fs::path &source, const fs::path &target) {
  const auto failed = [](const QString &why) {
    return Unexpected{LibraryError{LibraryError::Kind::io,
                                   QStringLiteral("复制照片失败（") + why + QStringLiteral("）")}};
  };
  const UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (!in.isValid() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return failed(QStringLiteral("not a readable regular file"));
  }
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (error) {
    return failed(QString::fromStdString(error.message()));
  }
  auto copied = atomicwrite::replaceWith(target, [&in](int fd) {
    std::array<char, 1 << 16> buffer{};
    for (;;) {
      const long count = fdio::readSome(in.get(), buffer.data(), buffer.size());
      if (count <= 0) {
        return count == 0;
      }
      if (!fdio::writeAll(fd, {buffer.data(), static_cast<std::size_t>(count)})) {
        return false;
      }
    }
  });
  if (!copied) {
    return failed(copied.error());
  }
  return {};
}

PhotoAsset recordFor(const NewAsset &input) {
  const std::string stem =
      QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
  PhotoAsset asset;
  asset.localIdentifier = stem + "/L0/001";
  asset.file = fs::path("originals") / (stem + safeExtension(input.source));
  asset.rendition = fs::path("renditions") / (stem + ".jpg");
  asset.originalFilename = input.originalFilename.value_or(input.source.filename().native());
  asset.mediaType = input.mediaType;
  asset.mediaSubtypes = input.isScreenshot ? mediasubtype::screenshot : 0;
  asset.creationDate = input.creationDate;
  asset.modificationDate = input.modificationDate;
  return asset;
}

} // namespace

fs::path PhotoLibrary::defaultLocation() {
  if (const char *custom = std::getenv("LUMORA_PHOTO_LIBRARY"); custom && *custom) {
    return fs::path(custom);
  }
  return fs::path(QFile::encodeName(appSupportDirectory()).toStdString()) / "PhotoLibrary";
}

Expected<std::shared_ptr<PhotoLibrary>, LibraryError> PhotoLibrary::open(const fs::path &location,
                                                                         Options options) {
  std::error_code error;
  fs::create_directories(location, error);
  if (error) {
    return Unexpected{fileError(QStringLiteral("创建图库文件夹失败"), error)};
  }
  auto catalogue = PhotoCatalogue::open(location / kCatalogueName, options.busyTimeout);
  if (!catalogue) {
    return Unexpected{catalogue.error()};
  }
  return std::make_shared<PhotoLibrary>(location, std::move(catalogue.value()));
}

Expected<std::shared_ptr<PhotoLibrary>, LibraryError> PhotoLibrary::shared() {
  static std::mutex lock;
  static std::shared_ptr<PhotoLibrary> current;
  const std::scoped_lock guard(lock);
  const fs::path location = defaultLocation();
  if (!current || current->location() != location) {
    auto opened = open(location);
    if (!opened) {
      current.reset();
      return Unexpected{opened.error()};
    }
    current = opened.value();
  }
  return current;
}

Expected<std::vector<PhotoAsset>, LibraryError> PhotoLibrary::fetchStillImages() const {
  const std::scoped_lock guard(m_mutex);
  return resolved(m_catalogue.stillImages());
}

Expected<std::vector<PhotoAsset>, LibraryError>
PhotoLibrary::fetchAssets(const std::vector<std::string> &localIdentifiers) const {
  if (localIdentifiers.empty()) {
    return std::vector<PhotoAsset>{};
  }
  const std::scoped_lock guard(m_mutex);
  return resolved(m_catalogue.assets(localIdentifiers));
}

std::vector<AssetResource> PhotoLibrary::resources(const PhotoAsset &asset) {
  return {AssetResource{asset.originalFilename, asset.file}};
}

Expected<PhotoAsset, LibraryError> PhotoLibrary::addAsset(const NewAsset &input) {
  std::error_code error;
  if (!fs::is_regular_file(input.source, error)) {
    return Unexpected{
        LibraryError{LibraryError::Kind::io, QStringLiteral("找不到要加入的文件 ") +
                                                 QFile::decodeName(input.source.c_str())}};
  }
  const PhotoAsset record = recordFor(input);
  const PhotoAsset stored = resolved(record);
  if (auto copied = copyIn(input.source, stored.file); !copied) {
    return Unexpected{copied.error()};
  }
  if (input.mediaType == MediaType::image) {
    // Best effort: without a rendition every request decodes the original.
    (void)imagedecoding::writeRendition(stored.file, stored.rendition, kRenditionSide);
  }
  Expected<void, LibraryError> inserted = [&] {
    const std::scoped_lock guard(m_mutex);
    return m_catalogue.insert(record);
  }();
  if (!inserted) {
    fs::remove(stored.file, error);
    fs::remove(stored.rendition, error);
    return Unexpected{inserted.error()};
  }
  return stored;
}

Expected<void, LibraryError> PhotoLibrary::performChanges(const ChangeBlock &block) {
  if (block.isEmpty()) {
    return {};
  }
  const std::scoped_lock guard(m_mutex);
  return m_catalogue.apply(block, secondsNow());
}

PhotoAsset PhotoLibrary::resolved(PhotoAsset asset) const {
  asset.file = m_location / asset.file;
  asset.rendition = m_location / asset.rendition;
  return asset;
}

Expected<std::vector<PhotoAsset>, LibraryError>
PhotoLibrary::resolved(Expected<std::vector<PhotoAsset>, LibraryError> assets) const {
  if (assets) {
    for (PhotoAsset &asset : assets.value()) {
      asset = resolved(std::move(asset));
    }
  }
  return assets;
}

} // namespace platform
