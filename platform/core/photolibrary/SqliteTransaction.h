#pragma once

#include "platform/core/photolibrary/SqliteDatabase.h"

namespace platform {

/// A write transaction that rolls back unless committed. Begins IMMEDIATE, so the write
/// lock is taken (or the busy time-out spent) before any statement of the block runs.
class SqliteTransaction {
public:
  /// Begins the transaction; `begin()` of the result says whether that worked.
  explicit SqliteTransaction(SqliteDatabase &db);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction &) = delete;
  SqliteTransaction &operator=(const SqliteTransaction &) = delete;

  /// The outcome of BEGIN.
  [[nodiscard]] const Expected<void, SqliteError> &begin() const { return m_begin; }
  /// Commits; on failure the destructor rolls back.
  [[nodiscard]] Expected<void, SqliteError> commit();

private:
  SqliteDatabase &m_db;
  Expected<void, SqliteError> m_begin;
  bool m_open = false;
};

} // namespace platform
