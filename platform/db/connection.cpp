// Connections: opening and creating database files, and running text commands.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>

#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/db/sqlite_support.h"
#include "platform/vb/conversions.h"

namespace db {
namespace {

// How long opening waits for the file to itself to switch it to WAL before going on without.
constexpr int kWalSwitchWaitMs = 250;

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, CloseDatabase>;

void run(sqlite3* db, const char* sql, const std::string& path) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw_engine_error(db, rc, path);
}

// The engine's allocation statistics take one process-wide lock on every allocation, which a
// hundred request threads queue on; nothing here reads them. Only possible before the engine
// starts, so done once, ahead of the first opening.
void skip_allocation_statistics() {
  static const bool done = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)done;
}

DatabaseHandle open_handle(const std::string& path, int flags) {
  skip_allocation_statistics();
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  DatabaseHandle db(raw);
  if (rc != SQLITE_OK) {
    if (!raw) throw std::bad_alloc();
    throw_engine_error(db.get(), rc, path);
  }
  return db;
}

std::string journal_mode(sqlite3* db, const std::string& path) {
  Statement statement(db, "PRAGMA journal_mode", path);
  if (sqlite3_step(statement.get()) != SQLITE_ROW) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
  return text ? text : "";
}

// Files made by other tools may keep the rollback journal, under which a reader holds up every
// commit and a waiting commit every reader; in WAL they go side by side. The switch needs the
// file to itself for a moment: when another process keeps it busy, this connection goes on in
// the file's own mode (the next one tries again) rather than fail the request.
void use_wal(sqlite3* db, const std::string& path, LockWait& lock_wait) {
  if (text::same_text(journal_mode(db, path), "wal")) return;
  sqlite3_busy_timeout(db, kWalSwitchWaitMs);
  sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
  lock_wait.install(db);
}

// What every connection needs before the first statement. Reading the schema also makes a file
// that is no database fail here rather than at the first query.
void configure(sqlite3* db, const std::string& path, LockWait& lock_wait) {
  sqlite3_extended_result_codes(db, 1);
  lock_wait.install(db);
  run(db, "PRAGMA foreign_keys = OFF", path);
  register_jet_functions(db);
  run(db, "SELECT count(*) FROM sqlite_schema", path);
  use_wal(db, path, lock_wait);
  // A save once answered survives a killed process and a power loss alike: each commit is
  // synced to disk before it counts, at the price of one sync while the write lock is held.
  run(db, "PRAGMA synchronous = FULL", path);
  // Reads straight from the system's file cache rather than copied through read calls into a
  // page cache of this connection's own that each request would start empty.
  run(db, "PRAGMA mmap_size = 2147418112", path);
}

// Whether the handle still reads its file's schema: false for a file overwritten in place.
bool reads_schema(StatementCache& statements, const std::string& path) {
  try {
    CachedStatement probe(statements, "SELECT count(*) FROM sqlite_schema", path);
    return sqlite3_step(probe.get()) == SQLITE_ROW;
  } catch (const vb::RuntimeError&) {
    return false;
  }
}

bool names_file(const std::string& path) {
  std::error_code error;
  return !path.empty() && path.find('\0') == std::string::npos &&
         std::filesystem::exists(path, error);
}

// The file a path names and its size and time, to tell a file replaced or rewritten; all zero
// when there is none. Writes in WAL go to the journal beside it and leave these alone.
std::array<std::int64_t, 4> file_state(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return {};
  return {static_cast<std::int64_t>(status.st_dev), static_cast<std::int64_t>(status.st_ino),
          static_cast<std::int64_t>(status.st_size),
          static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

}  // namespace

// Closes a handle and the statements kept on it, those first: an open statement would keep the
// handle's memory alive after the closing.
void close_handle(sqlite3* db, std::unique_ptr<StatementCache> statements) {
  statements.reset();
  sqlite3_close_v2(db);
}

ConnectionPool::ConnectionPool() = default;

ConnectionPool::~ConnectionPool() {
  for (Idle& idle : idle_) close_handle(idle.db, std::move(idle.statements));
}

Connection::Connection() : lock_wait_(std::make_unique<LockWait>()) {}

Connection::~Connection() {
  close();
}

void Connection::adopt(sqlite3* db, std::unique_ptr<StatementCache> statements,
                       const std::string& path) {
  db_ = db;
  statements_ = statements ? std::move(statements) : std::make_unique<StatementCache>(db);
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
  configure(db.get(), path, *lock_wait_);
  adopt(db.release(), nullptr, path);
}

void Connection::open(const std::string& path, ConnectionPool& pool) {
  close();
  const auto state = file_state(path);
  for (;;) {
    std::optional<ConnectionPool::Idle> taken;
    {
      std::lock_guard lock(pool.mutex_);
      auto& idle = pool.idle_;
      const auto it = std::find_if(idle.rbegin(), idle.rend(),
                                   [&](const ConnectionPool::Idle& i) { return i.path == path; });
      if (it == idle.rend()) break;
      taken = std::move(*it);
      idle.erase(std::next(it).base());
    }
    sqlite3* db = taken->db;
    std::unique_ptr<StatementCache> statements = std::move(taken->statements);
    if (taken->file_state != state || state == decltype(state){}) {
      // Every handle of the old file goes.
      close_handle(db, std::move(statements));
      continue;
    }
    lock_wait_->install(db);
    // A file overwritten in place since shows here, as a fresh opening would show it.
    if (!reads_schema(*statements, path)) {
      sqlite3_busy_handler(db, nullptr, nullptr);
      close_handle(db, std::move(statements));
      continue;
    }
    adopt(db, std::move(statements), path);
    pool_ = &pool;
    return;
  }
  open(path);
  pool_ = &pool;
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
    configure(db.get(), path, *lock_wait_);
    run(db.get(), "PRAGMA journal_mode = WAL", path);
    adopt(db.release(), nullptr, path);
  } catch (...) {
    // The file did not exist before: leave nothing half-made behind.
    std::filesystem::remove(path, error);
    throw;
  }
}

void Connection::close() {
  if (db_) {
    // Statements still open keep the handle until they finish, and may outlive the handler.
    sqlite3_busy_handler(db_, nullptr, nullptr);
    // Kept only when nothing is left running on it: the next user starts from a clean handle.
    if (pool_ && sqlite3_get_autocommit(db_) && statements_->holds_all()) {
      std::optional<ConnectionPool::Idle> oldest;
      ConnectionPool::Idle left{path_, file_state(path_), db_, std::move(statements_)};
      {
        std::lock_guard lock(pool_->mutex_);
        auto& idle = pool_->idle_;
        if (idle.size() >= ConnectionPool::kMostIdle) {
          oldest = std::move(idle.front());
          idle.erase(idle.begin());
        }
        idle.push_back(std::move(left));
      }
      if (oldest) close_handle(oldest->db, std::move(oldest->statements));
    } else {
      close_handle(db_, std::move(statements_));
    }
  }
  db_ = nullptr;
  statements_.reset();
  pool_ = nullptr;
  alive_.reset();
}

bool Connection::is_open() const {
  return db_ != nullptr;
}

long Connection::execute(std::string_view jet_sql) {
  if (!db_) throw closed_error();
  const auto translation = translate_shared(jet_sql);
  CachedStatement statement(*statements_, translation->sql, path_);
  for (;;) {
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw_engine_error(db_, rc, path_);
  }
  if (sqlite3_stmt_readonly(statement.get())) return 0;
  return static_cast<long>(sqlite3_changes64(db_));
}

long Connection::count_rows(std::string_view jet_sql) {
  if (!db_) throw closed_error();
  const auto translation = translate_shared(jet_sql);
  // A search's report, paged back and forth, counts the same rows again and again: the count
  // taken last stands while nothing has been committed since, unless the text reads the clock.
  std::optional<StatementCache::DataState> state;
  if (translation->count_is_steady) state = statements_->data_state(path_);
  if (state) {
    if (const auto kept = statements_->kept_count(translation->count_sql, *state)) return *kept;
  }
  const long count = count_now(*translation);
  if (state) statements_->keep_count(translation->count_sql, *state, count);
  return count;
}

long Connection::count_now(const Translation& translation) {
  std::optional<CachedStatement> statement;
  try {
    statement.emplace(*statements_, translation.count_sql, path_);
  } catch (const vb::RuntimeError&) {
    // The engine lets a condition name a column of the select list, which "SELECT 1" lacks.
    statement.emplace(*statements_, "SELECT count(*) FROM (" + translation.sql + ")", path_);
  }
  const int rc = sqlite3_step(statement->get());
  if (rc != SQLITE_ROW) throw_engine_error(db_, rc, path_);
  return static_cast<long>(sqlite3_column_int64(statement->get(), 0));
}

void Connection::execute_native(std::string_view sqlite_sql) {
  if (!db_) throw closed_error();
  run(db_, std::string(sqlite_sql).c_str(), path_);
}

}  // namespace db
