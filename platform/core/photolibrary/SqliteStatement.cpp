#include "platform/core/photolibrary/SqliteStatement.h"

#include <sqlite3.h>

namespace platform {

void SqliteStatement::Finalizer::operator()(sqlite3_stmt *statement) const {
  sqlite3_finalize(statement);
}

SqliteStatement::~SqliteStatement() = default;

void SqliteStatement::bind(int index, std::int64_t value) {
  sqlite3_bind_int64(m_statement.get(), index, value);
}

void SqliteStatement::bind(int index, std::optional<double> value) {
  if (value) {
    sqlite3_bind_double(m_statement.get(), index, *value);
  } else {
    sqlite3_bind_null(m_statement.get(), index);
  }
}

void SqliteStatement::bindBytes(int index, std::string_view bytes) {
  sqlite3_bind_blob64(m_statement.get(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void SqliteStatement::bindText(int index, std::string_view text) {
  sqlite3_bind_text64(m_statement.get(), index, text.data(), text.size(), SQLITE_TRANSIENT,
                      SQLITE_UTF8);
}

SqliteStatement::Step SqliteStatement::step() {
  switch (sqlite3_step(m_statement.get())) {
  case SQLITE_ROW: return Step::row;
  case SQLITE_DONE: return Step::done;
  default: return Step::failed;
  }
}

void SqliteStatement::reset() {
  sqlite3_reset(m_statement.get());
  sqlite3_clear_bindings(m_statement.get());
}

std::int64_t SqliteStatement::integer(int column) const {
  return sqlite3_column_int64(m_statement.get(), column);
}

std::optional<double> SqliteStatement::optionalReal(int column) const {
  if (sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL) {
    return std::nullopt;
  }
  return sqlite3_column_double(m_statement.get(), column);
}

std::string SqliteStatement::bytes(int column) const {
  const void *data = sqlite3_column_blob(m_statement.get(), column);
  const int size = sqlite3_column_bytes(m_statement.get(), column);
  if (data == nullptr || size <= 0) {
    return {};
  }
  return std::string(static_cast<const char *>(data), static_cast<std::size_t>(size));
}

} // namespace platform
