// Connections: opening and creating database files, and running text commands.
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/db/sqlite_support.h"

namespace db {
namespace {

constexpr int kBusyTimeoutMs = 5000;

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, CloseDatabase>;

void run(sqlite3* db, const char* sql, const std::string& path) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw_engine_error(db, rc, path);
}

DatabaseHandle open_handle(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  DatabaseHandle db(raw);
  if (rc != SQLITE_OK) {
    if (!raw) throw std::bad_alloc();
    throw_engine_error(db.get(), rc, path);
  }
  return db;
}

// What every connection needs before the first statement. Reading the schema also makes a file
// that is no database fail here rather than at the first query.
void configure(sqlite3* db, const std::string& path) {
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  run(db, "PRAGMA foreign_keys = OFF", path);
  register_jet_functions(db);
  run(db, "SELECT count(*) FROM sqlite_schema", path);
}

bool names_file(const std::string& path) {
  std::error_code error;
  return !path.empty() && path.find('\0') == std::string::npos &&
         std::filesystem::exists(path, error);
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection() {
  close();
}

void Connection::adopt(sqlite3* db, const std::string& path) {
  db_ = db;
  path_ = path;
  alive_ = std::make_shared<const int>(0);
}

void Connection::open(const std::string& path) {
  close();
  if (!names_file(path)) throw vb::err::provider_error("Could not find file '" + path + "'.");
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw vb::err::provider_error("The database engine cannot open the file '" + path +
                                  "'.  It is a directory, not a database file.");
  DatabaseHandle db = open_handle(path, SQLITE_OPEN_READWRITE);
  configure(db.get(), path);
  adopt(db.release(), path);
}

void Connection::create(const std::string& path) {
  close();
  std::error_code error;
  if (path.empty() || path.find('\0') != std::string::npos)
    throw vb::err::provider_error("Could not create the database file '" + path + "'.");
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
    throw vb::err::provider_error("Could not create the database file '" + path +
                                  "': a file of that name already exists.");
  try {
    DatabaseHandle db = open_handle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    configure(db.get(), path);
    run(db.get(), "PRAGMA journal_mode = WAL", path);
    adopt(db.release(), path);
  } catch (...) {
    // The file did not exist before: leave nothing half-made behind.
    std::filesystem::remove(path, error);
    throw;
  }
}

void Connection::close() {
  if (db_) sqlite3_close_v2(db_);  // statements still open keep it until they finish
  db_ = nullptr;
  alive_.reset();
}

bool Connection::is_open() const {
  return db_ != nullptr;
}

long Connection::execute(std::string_view jet_sql) {
  if (!db_) throw closed_error();
  const auto translation = translate_shared(jet_sql);
  Statement statement(db_, translation->sql, path_);
  for (;;) {
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw_engine_error(db_, rc, path_);
  }
  if (sqlite3_stmt_readonly(statement.get())) return 0;
  return static_cast<long>(sqlite3_changes64(db_));
}

void Connection::execute_native(std::string_view sqlite_sql) {
  if (!db_) throw closed_error();
  run(db_, std::string(sqlite_sql).c_str(), path_);
}

}  // namespace db
