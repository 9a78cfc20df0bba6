// Plain SQLite handles for the tools that look at the database files as files: the check, the
// health probe, backup and restore. The application's own statements go through platform/db.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace config::sqlite {

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Handle = std::unique_ptr<sqlite3, Closer>;

// Opens the file with the flags (without SQLITE_OPEN_CREATE a missing file is an error) and a
// busy timeout of 10 s. Throws std::runtime_error "<path>: <reason>".
Handle open(const std::filesystem::path& path, int flags);

// The rows of a statement's first column, as text. Throws std::runtime_error.
std::vector<std::string> column_texts(sqlite3* db, const std::string& sql);

}  // namespace config::sqlite
