#include "platform/core/photolibrary/SqliteTransaction.h"

namespace platform {

SqliteTransaction::SqliteTransaction(SqliteDatabase &db)
    : m_db(db), m_begin(db.exec("BEGIN IMMEDIATE")) {
  m_open = m_begin.hasValue();
}

SqliteTransaction::~SqliteTransaction() {
  if (m_open) {
    (void)m_db.exec("ROLLBACK");
  }
}

Expected<void, SqliteError> SqliteTransaction::commit() {
  auto result = m_db.exec("COMMIT");
  if (result) {
    m_open = false;
  }
  return result;
}

} // namespace platform
