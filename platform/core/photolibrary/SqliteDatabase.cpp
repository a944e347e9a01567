#include "platform/core/photolibrary/SqliteDatabase.h"

#include "platform/core/photolibrary/SqliteStatement.h"

#include <sqlite3.h>

namespace platform {

void SqliteDatabase::Closer::operator()(sqlite3 *db) const { sqlite3_close_v2(db); }

Expected<SqliteDatabase, SqliteError> SqliteDatabase::open(const std::filesystem::path &path) {
  sqlite3 *raw = nullptr;
  // NOMUTEX: the owner serialises every use of the connection with its own lock.
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  SqliteDatabase db(raw);
  if (rc != SQLITE_OK) {
    if (raw == nullptr) {
      return Unexpected{SqliteError{rc, sqlite3_errstr(rc)}};
    }
    return Unexpected{db.lastError()};
  }
  sqlite3_extended_result_codes(raw, 0);
  return db;
}

SqliteDatabase::~SqliteDatabase() = default;

Expected<void, SqliteError> SqliteDatabase::exec(const char *sql) {
  if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return Unexpected{lastError()};
  }
  return {};
}

Expected<SqliteStatement, SqliteError> SqliteDatabase::prepare(const char *sql) {
  sqlite3_stmt *raw = nullptr;
  if (sqlite3_prepare_v2(m_db.get(), sql, -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return Unexpected{lastError()};
  }
  return SqliteStatement(m_db.get(), raw);
}

void SqliteDatabase::setBusyTimeout(std::chrono::milliseconds timeout) {
  sqlite3_busy_timeout(m_db.get(), static_cast<int>(timeout.count()));
}

int SqliteDatabase::changes() const { return sqlite3_changes(m_db.get()); }

SqliteError SqliteDatabase::lastError() const {
  return SqliteError{sqlite3_errcode(m_db.get()) & 0xff, sqlite3_errmsg(m_db.get())};
}

} // namespace platform
