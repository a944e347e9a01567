#include "platform/core/photolibrary/PhotoLibrary.h"
#include "tests/platform/photolibrary/LibraryFixture.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sqlite3.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::ChangeBlock;
using platform::LibraryError;
using platform::PhotoLibrary;
using testsupport::LibraryFixture;

std::string contents(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

/// A second connection that holds the catalogue's write lock, like another program would.
class CatalogueLock {
public:
  explicit CatalogueLock(const std::filesystem::path &catalogue) {
    EXPECT_EQ(sqlite3_open(catalogue.c_str(), &m_db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  ~CatalogueLock() { release(); }
  CatalogueLock(const CatalogueLock &) = delete;
  CatalogueLock &operator=(const CatalogueLock &) = delete;
  void release() {
    if (m_db != nullptr) {
      sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(m_db);
      m_db = nullptr;
    }
  }

private:
  sqlite3 *m_db = nullptr;
};

std::shared_ptr<PhotoLibrary> openWithTimeout(const LibraryFixture &fixture,
                                              std::chrono::milliseconds timeout) {
  auto opened = PhotoLibrary::open(fixture.location(), PhotoLibrary::Options{timeout});
  EXPECT_TRUE(opened.hasValue());
  return opened ? opened.value() : nullptr;
}

TEST(CatalogueFailure, lockedCatalogueFailsTheBlockAsBusyAndChangesNothing) {
  LibraryFixture fixture;
  const auto id = fixture.add(1.0);
  const auto library = openWithTimeout(fixture, 200ms);
  CatalogueLock lock(fixture.location() / "catalogue.sqlite");
  ChangeBlock block;
  block.setFavorite(id, true);
  const auto started = std::chrono::steady_clock::now();
  const auto result = library->performChanges(block);
  ASSERT_FALSE(result.hasValue());
  EXPECT_EQ(result.error().kind, LibraryError::Kind::busy);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 150ms);
  // Readers are not held up by the writer's lock.
  ASSERT_TRUE(library->fetchStillImages().hasValue());
  EXPECT_FALSE(library->fetchStillImages().value().at(0).isFavorite);

  platform::NewAsset input;
  input.source = testsupport::writePhoto(fixture.dir().file("more.jpg"), 20, 20);
  EXPECT_FALSE(library->addAsset(input).hasValue());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fixture.location() / "originals"),
                          std::filesystem::directory_iterator()),
            1);

  lock.release();
  ASSERT_TRUE(library->performChanges(block).hasValue());
  EXPECT_TRUE(library->fetchStillImages().value().at(0).isFavorite);
}

TEST(CatalogueFailure, blockWaitsForALockReleasedWithinTheTimeout) {
  LibraryFixture fixture;
  const auto id = fixture.add(1.0);
  const auto library = openWithTimeout(fixture, 5000ms);
  CatalogueLock lock(fixture.location() / "catalogue.sqlite");
  std::jthread releaser([&lock] {
    std::this_thread::sleep_for(100ms);
    lock.release();
  });
  ChangeBlock block;
  block.deleteAsset(id);
  EXPECT_TRUE(library->performChanges(block).hasValue());
}

TEST(CatalogueFailure, catalogueThatIsNoDatabaseIsReportedAndLeftUntouched) {
  testsupport::TempDir dir;
  const auto location = dir.path() / "Library";
  std::filesystem::path file;
  {
    auto library = PhotoLibrary::open(location).value();
    platform::NewAsset input;
    input.source = testsupport::writePhoto(dir.file("one.jpg"), 16, 16);
    file = library->addAsset(input).value().file;
  }
  const std::string garbage(4096, '\x5a');
  dir.write("Library/catalogue.sqlite", garbage);

  const auto opened = PhotoLibrary::open(location);
  ASSERT_FALSE(opened.hasValue());
  EXPECT_EQ(opened.error().kind, LibraryError::Kind::corruptCatalogue);
  EXPECT_TRUE(opened.error().description().contains(QStringLiteral("catalogue.sqlite")));
  EXPECT_EQ(contents(location / "catalogue.sqlite"), garbage);
  EXPECT_TRUE(std::filesystem::exists(file));
}

TEST(CatalogueFailure, damagedPagesGiveAnErrorNotACrash) {
  testsupport::TempDir dir;
  const auto location = dir.path() / "Library";
  const auto source = testsupport::writePhoto(dir.file("one.jpg"), 16, 16);
  {
    auto library = PhotoLibrary::open(location).value();
    platform::NewAsset input;
    input.source = source;
    input.originalFilename = std::string(300, 'n'); // long rows fill many pages quickly
    for (int i = 0; i < 200; ++i) {
      input.creationDate = i;
      ASSERT_TRUE(library->addAsset(input).hasValue());
    }
  } // the last connection closing folds the WAL back into the catalogue
  const auto catalogue = location / "catalogue.sqlite";
  std::string bytes = contents(catalogue);
  ASSERT_GT(bytes.size(), 16384u);
  for (std::size_t i = 4096; i < bytes.size(); i += 7) {
    bytes[i] = static_cast<char>(i * 31);
  }
  dir.write("Library/catalogue.sqlite", bytes);

  const auto opened = PhotoLibrary::open(location);
  if (opened) {
    const auto fetched = opened.value()->fetchStillImages();
    ASSERT_FALSE(fetched.hasValue());
    EXPECT_EQ(fetched.error().kind, LibraryError::Kind::corruptCatalogue);
  } else {
    EXPECT_EQ(opened.error().kind, LibraryError::Kind::corruptCatalogue);
  }
  EXPECT_EQ(contents(catalogue), bytes);
}

} // namespace
