// Reads the databases on the native path (SQLite as is, no Jet translation), so that the data
// tests see the stored forms themselves.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace data_test {

using Rows = std::vector<std::vector<std::string>>;

// Every row of a native query, each value as SQLite prints it ("NULL" for Null).
inline Rows native_rows(const std::string& path, const std::string& sql) {
  sqlite3* opened = nullptr;
  const int status = sqlite3_open_v2(path.c_str(), &opened, SQLITE_OPEN_READONLY, nullptr);
  const std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)> handle(opened, sqlite3_close_v2);
  sqlite3_stmt* raw = nullptr;
  if (status != SQLITE_OK ||
      sqlite3_prepare_v2(handle.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(handle.get()) + std::string(": ") + sql);
  }
  const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw, sqlite3_finalize);
  Rows rows;
  while (sqlite3_step(statement.get()) == SQLITE_ROW) {
    rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement.get()); ++i) {
      const unsigned char* text = sqlite3_column_text(statement.get(), i);
      rows.back().push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
    }
  }
  return rows;
}

// The first value of the first row, "" when there is none.
inline std::string native_value(const std::string& path, const std::string& sql) {
  const Rows rows = native_rows(path, sql);
  return rows.empty() || rows[0].empty() ? "" : rows[0][0];
}

inline long native_count(const std::string& path, const std::string& sql) {
  return std::stol(native_value(path, sql));
}

}  // namespace data_test
