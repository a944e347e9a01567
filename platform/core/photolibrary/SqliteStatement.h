#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

/// One prepared SQLite statement, finalised on destruction. Move-only. Parameter and
/// column indexes follow SQLite: parameters count from 1, columns from 0.
class SqliteStatement {
public:
  enum class Step { row, done, failed };

  SqliteStatement(sqlite3 *db, sqlite3_stmt *statement) : m_db(db), m_statement(statement) {}
  SqliteStatement(SqliteStatement &&) noexcept = default;
  SqliteStatement &operator=(SqliteStatement &&) noexcept = default;
  ~SqliteStatement();

  void bind(int index, std::int64_t value);
  void bind(int index, std::optional<double> value);
  /// Binds the bytes as they are (a BLOB), so file names that are not UTF-8 survive.
  void bindBytes(int index, std::string_view bytes);
  void bindText(int index, std::string_view text);

  /// Runs the statement to its next row; `failed` leaves the error on the connection.
  [[nodiscard]] Step step();
  /// Makes the statement ready to run again with new parameters.
  void reset();

  [[nodiscard]] std::int64_t integer(int column) const;
  [[nodiscard]] std::optional<double> optionalReal(int column) const;
  /// The column's bytes, TEXT or BLOB alike.
  [[nodiscard]] std::string bytes(int column) const;

private:
  struct Finalizer {
    void operator()(sqlite3_stmt *statement) const;
  };

  sqlite3 *m_db = nullptr;
  std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};

} // namespace platform
