#pragma once

#include "platform/core/Expected.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

struct sqlite3;

namespace platform {

class SqliteStatement;

/// A failed SQLite call: its primary result code and message.
struct SqliteError {
  int code = 0;
  std::string message;
};

/// One open SQLite connection, closed on destruction. Move-only; not thread-safe on its own
/// (the owner serialises access).
class SqliteDatabase {
public:
  /// Opens (creating when missing) the database file at `path`.
  [[nodiscard]] static Expected<SqliteDatabase, SqliteError>
  open(const std::filesystem::path &path);

  SqliteDatabase(SqliteDatabase &&) noexcept = default;
  SqliteDatabase &operator=(SqliteDatabase &&) noexcept = default;
  ~SqliteDatabase();

  /// Runs one or more statements that return no rows.
  [[nodiscard]] Expected<void, SqliteError> exec(const char *sql);
  [[nodiscard]] Expected<SqliteStatement, SqliteError> prepare(const char *sql);
  /// How long a statement waits for another connection's lock before failing with SQLITE_BUSY.
  void setBusyTimeout(std::chrono::milliseconds timeout);
  /// Rows changed by the last finished INSERT, UPDATE or DELETE.
  [[nodiscard]] int changes() const;
  /// The connection's most recent error.
  [[nodiscard]] SqliteError lastError() const;

private:
  struct Closer {
    void operator()(sqlite3 *db) const;
  };
  explicit SqliteDatabase(sqlite3 *db) : m_db(db) {}

  std::unique_ptr<sqlite3, Closer> m_db;
};

} // namespace platform
