#include "platform/core/photolibrary/PhotoCatalogue.h"

#include "platform/core/photolibrary/SqliteStatement.h"
#include "platform/core/photolibrary/SqliteTransaction.h"

#include <QFile>
#include <sqlite3.h>
#include <unordered_set>

namespace platform {
namespace {

constexpr std::int64_t kSchemaVersion = 1;

// `seq` is the order of adding: it breaks ties between equal creation dates.
constexpr const char *kSchema = R"(
CREATE TABLE assets (
  seq INTEGER PRIMARY KEY,
  local_identifier TEXT NOT NULL UNIQUE,
  file BLOB NOT NULL,
  rendition BLOB NOT NULL,
  original_filename BLOB NOT NULL,
  media_type INTEGER NOT NULL,
  media_subtypes INTEGER NOT NULL,
  creation_date REAL,
  modification_date REAL,
  favorite INTEGER NOT NULL DEFAULT 0,
  deleted_date REAL
);
PRAGMA user_version = 1;
)";

constexpr const char *kColumns =
    "local_identifier, file, rendition, original_filename, media_type, "
    "media_subtypes, creation_date, modification_date, favorite, "
    "deleted_date";

PhotoAsset readAsset(const SqliteStatement &row) {
  PhotoAsset asset;
  asset.localIdentifier = row.bytes(0);
  asset.file = row.bytes(1);
  asset.rendition = row.bytes(2);
  asset.originalFilename = row.bytes(3);
  asset.mediaType = static_cast<MediaType>(row.integer(4));
  asset.mediaSubtypes = static_cast<std::uint32_t>(row.integer(5));
  asset.creationDate = row.optionalReal(6);
  asset.modificationDate = row.optionalReal(7);
  asset.isFavorite = row.integer(8) != 0;
  asset.deletedDate = row.optionalReal(9);
  return asset;
}

} // namespace

Expected<PhotoCatalogue, LibraryError> PhotoCatalogue::open(const std::filesystem::path &file,
                                                            std::chrono::milliseconds busyTimeout) {
  auto db = SqliteDatabase::open(file);
  if (!db) {
    return Unexpected{
        LibraryError{LibraryError::Kind::io, QString::fromStdString(db.error().message)}};
  }
  PhotoCatalogue catalogue(std::move(db.value()), file);
  catalogue.m_db.setBusyTimeout(busyTimeout);
  if (auto ready = catalogue.prepareSchema(); !ready) {
    return Unexpected{ready.error()};
  }
  return catalogue;
}

Expected<void, LibraryError> PhotoCatalogue::prepareSchema() {
  // Reading the version is the first access to the file, so it is also the test that the
  // file is a database at all; nothing is written before it succeeds.
  std::int64_t found = 0;
  {
    auto version = m_db.prepare("PRAGMA user_version");
    if (!version || version->step() != SqliteStatement::Step::row) {
      return Unexpected{lastFailure()};
    }
    found = version->integer(0);
  } // finalised here: an unfinished statement would keep a read transaction open
  if (found > kSchemaVersion) {
    return Unexpected{
        LibraryError{LibraryError::Kind::io, QStringLiteral("目录文件来自更新的版本")}};
  }
  // WAL lets thumbnails be read while a change block commits.
  if (auto wal = m_db.exec("PRAGMA journal_mode=WAL"); !wal) {
    return Unexpected{failure(wal.error())};
  }
  if (found == kSchemaVersion) {
    return {};
  }
  SqliteTransaction transaction(m_db);
  if (!transaction.begin()) {
    return Unexpected{failure(transaction.begin().error())};
  }
  if (auto created = m_db.exec(kSchema); !created) {
    return Unexpected{failure(created.error())};
  }
  if (auto committed = transaction.commit(); !committed) {
    return Unexpected{failure(committed.error())};
  }
  return {};
}

Expected<std::vector<PhotoAsset>, LibraryError> PhotoCatalogue::stillImages() {
  const std::string sql = std::string("SELECT ") + kColumns +
                          " FROM assets WHERE media_type = 1 AND deleted_date IS NULL"
                          " ORDER BY coalesce(creation_date, 0), seq";
  auto statement = m_db.prepare(sql.c_str());
  if (!statement) {
    return Unexpected{failure(statement.error())};
  }
  std::vector<PhotoAsset> result;
  SqliteStatement::Step step;
  while ((step = statement->step()) == SqliteStatement::Step::row) {
    result.push_back(readAsset(*statement));
  }
  if (step == SqliteStatement::Step::failed) {
    return Unexpected{lastFailure()};
  }
  return result;
}

Expected<std::vector<PhotoAsset>, LibraryError>
PhotoCatalogue::assets(const std::vector<std::string> &localIdentifiers) {
  const std::string sql = std::string("SELECT ") + kColumns +
                          " FROM assets WHERE local_identifier = ?1 AND deleted_date IS NULL";
  auto statement = m_db.prepare(sql.c_str());
  if (!statement) {
    return Unexpected{failure(statement.error())};
  }
  std::vector<PhotoAsset> result;
  std::unordered_set<std::string> seen;
  for (const std::string &identifier : localIdentifiers) {
    if (!seen.insert(identifier).second) {
      continue;
    }
    statement->reset();
    statement->bindText(1, identifier);
    const auto step = statement->step();
    if (step == SqliteStatement::Step::failed) {
      return Unexpected{lastFailure()};
    }
    if (step == SqliteStatement::Step::row) {
      result.push_back(readAsset(*statement));
    }
  }
  return result;
}

Expected<void, LibraryError> PhotoCatalogue::insert(const PhotoAsset &asset) {
  const std::string sql = std::string("INSERT INTO assets (") + kColumns +
                          ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";
  auto statement = m_db.prepare(sql.c_str());
  if (!statement) {
    return Unexpected{failure(statement.error())};
  }
  statement->bindText(1, asset.localIdentifier);
  statement->bindBytes(2, asset.file.native());
  statement->bindBytes(3, asset.rendition.native());
  statement->bindBytes(4, asset.originalFilename);
  statement->bind(5, static_cast<std::int64_t>(asset.mediaType));
  statement->bind(6, static_cast<std::int64_t>(asset.mediaSubtypes));
  statement->bind(7, asset.creationDate);
  statement->bind(8, asset.modificationDate);
  statement->bind(9, std::int64_t{asset.isFavorite ? 1 : 0});
  statement->bind(10, asset.deletedDate);
  if (statement->step() != SqliteStatement::Step::done) {
    return Unexpected{lastFailure()};
  }
  return {};
}

Expected<void, LibraryError> PhotoCatalogue::apply(const ChangeBlock &block, double now) {
  SqliteTransaction transaction(m_db);
  if (!transaction.begin()) {
    return Unexpected{failure(transaction.begin().error())};
  }
  auto setFavorite = m_db.prepare(
      "UPDATE assets SET favorite = ?1 WHERE local_identifier = ?2 AND deleted_date IS NULL");
  auto moveToRecentlyDeleted = m_db.prepare(
      "UPDATE assets SET deleted_date = ?1 WHERE local_identifier = ?2 AND deleted_date IS NULL");
  if (!setFavorite || !moveToRecentlyDeleted) {
    return Unexpected{lastFailure()};
  }
  for (const auto &change : block.changes()) {
    const bool favorite = change.kind == ChangeBlock::Change::Kind::setFavorite;
    SqliteStatement &statement = favorite ? setFavorite.value() : moveToRecentlyDeleted.value();
    statement.reset();
    if (favorite) {
      statement.bind(1, std::int64_t{change.favorite ? 1 : 0});
    } else {
      statement.bind(1, std::optional<double>(now));
    }
    if (auto applied = applyOne(statement, change.localIdentifier); !applied) {
      return applied;
    }
  }
  if (auto committed = transaction.commit(); !committed) {
    return Unexpected{failure(committed.error())};
  }
  return {};
}

Expected<void, LibraryError> PhotoCatalogue::applyOne(SqliteStatement &statement,
                                                      const std::string &localIdentifier) {
  statement.bindText(2, localIdentifier);
  if (statement.step() != SqliteStatement::Step::done) {
    return Unexpected{lastFailure()};
  }
  if (m_db.changes() == 0) {
    return Unexpected{
        LibraryError{LibraryError::Kind::notFound, QString::fromStdString(localIdentifier)}};
  }
  return {};
}

LibraryError PhotoCatalogue::failure(const SqliteError &error) const {
  switch (error.code) {
  case SQLITE_CORRUPT:
  case SQLITE_NOTADB:
    return {LibraryError::Kind::corruptCatalogue, QFile::decodeName(m_file.c_str())};
  case SQLITE_BUSY:
  case SQLITE_LOCKED: return {LibraryError::Kind::busy, QString::fromStdString(error.message)};
  default: return {LibraryError::Kind::io, QString::fromStdString(error.message)};
  }
}

} // namespace platform
