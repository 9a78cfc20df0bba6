// Plain SQLite handles and one-column queries for the tools.
#include "config/sqlite_file.h"

#include <stdexcept>

namespace config::sqlite {

Handle open(const std::filesystem::path& path, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  Handle owned(db);
  if (rc != SQLITE_OK) {
    throw std::runtime_error(path.string() + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
  }
  sqlite3_busy_timeout(db, 10000);
  return owned;
}

std::vector<std::string> column_texts(sqlite3* db, const std::string& sql) {
  std::vector<std::string> values;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(raw, 0);
    values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
  }
  if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
  return values;
}

}  // namespace config::sqlite
