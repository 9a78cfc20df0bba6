// Database access standing for ADO with the Jet provider, on SQLite.
//
// A Connection is opened by file path; a Recordset runs a Jet-dialect SQL text (translated by
// jet.h) and offers what the application needs of ADO recordsets: static read-only snapshots
// whose record count is known before reading, navigation, Find, typed fields by name without
// regard to case, and dynamic optimistic recordsets that add and update rows.
//
// Failures raise vb::RuntimeError: engine errors as provider errors carrying the engine's message,
// navigation past the ends as 3021, an unknown field as 3265. A connection or recordset is used by
// one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vb/variant.h"

struct sqlite3;

namespace db {

class LockWait;
class ConnectionPool;
class StatementCache;
struct Translation;

enum class CursorType { ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType { ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4 };

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens an existing database file read-write. A missing file raises a provider error naming it
  // ("Could not find file '<path>'."); no empty database is ever created. A file that is no
  // database raises "Unrecognized database format '<path>'.". A file still in the rollback
  // journal is switched to WAL when it is free for a moment, else used as it is. Commits are
  // synced to disk; a statement waits up to LockWait::kLimit for a lock before it fails.
  void open(const std::string& path);
  // The same, taking an idle handle of the same file from `pool` when it has one; close() then
  // gives the handle back to the pool (unless a statement or transaction is still open on it).
  // The pool must outlive the connection.
  void open(const std::string& path, ConnectionPool& pool);
  // Harmless when already closed. Recordsets opened on the connection keep the rows they read
  // but can no longer read or write the database (3704).
  void close();
  bool is_open() const;
  // ADO's State: 1 when open, 0 when closed.
  int state() const { return is_open() ? 1 : 0; }
  const std::string& path() const { return path_; }

  // Runs a text command (Jet dialect) and discards what it returns. Returns rows affected (0 for
  // a query).
  long execute(std::string_view jet_sql);

  // The number of rows the Jet query gives, counted by the engine without reading them. The same
  // count asked again on the same handle, with nothing committed since, is not taken again.
  long count_rows(std::string_view jet_sql);

  // Reads the rows of the Jet queries, taken together as by UNION ALL, and sums each of their
  // columns after the first `keys` per group of those, as GROUP BY with SUM() would (keys
  // compared as the engine compares them) but without the sort: the groups go into the temporary
  // table `table`, made anew, one row each with the key values of the group's first row and the
  // sums, Null where a column held no number. The queries may be read side by side, each on a
  // handle of its own, so they name no temporary table.
  void group_into(const std::string& table, const std::vector<std::string>& jet_parts, int keys);

  // For our own tools (schema creation, demo data), not for the application's statements:
  // creates a new database file, refusing (provider error) when the file exists, and opens it.
  void create(const std::string& path);
  // Runs SQLite statements as they are, without translation.
  void execute_native(std::string_view sqlite_sql);

 private:
  friend class Recordset;
  void adopt(sqlite3* db, std::unique_ptr<StatementCache> statements, const std::string& path);
  long count_now(const Translation& translation);

  sqlite3* db_ = nullptr;
  std::unique_ptr<StatementCache> statements_;  // the handle's kept statements and counts
  std::string path_;
  ConnectionPool* pool_ = nullptr;       // where close() leaves the handle, if anywhere
  std::unique_ptr<LockWait> lock_wait_;  // the busy handler's state, for the handle's life
  // Recordsets hold a weak reference: it expires when this connection closes.
  std::shared_ptr<const int> alive_;
};

// Open handles that closed connections left for the next opening of the same file, by any
// thread (a handle serves one connection, and so one thread, at a time), so that a request opens
// its databases for next to nothing, with the statements and counts they keep. The handle left
// last is taken first. A handle is taken again only while its path names the very file it
// left, untouched since (same file, size and modification time): a file replaced or rewritten is
// opened afresh.
class ConnectionPool {
 public:
  ConnectionPool();
  ~ConnectionPool();
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

 private:
  friend class Connection;
  struct Idle {
    std::string path;
    std::array<std::int64_t, 4> file_state;
    sqlite3* db;
    std::unique_ptr<StatementCache> statements;  // finalized before the handle closes
  };
  // Enough for every request that runs at once to find its three handles.
  static constexpr std::size_t kMostIdle = 48;
  std::mutex mutex_;
  std::vector<Idle> idle_;  // the oldest first
};

class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // Runs the Jet SQL text on the connection. Static and read-only recordsets are snapshots read in
  // full; dynamic or optimistic recordsets allow add_new/update on the single table they select,
  // and read no row until one is asked for (add_new reads nothing). Failures leave it closed.
  void open(std::string_view jet_sql, Connection& connection,
            CursorType cursor = CursorType::Static, LockType lock = LockType::ReadOnly);
  // A read-only snapshot of at most `limit` rows of the query, from row `offset` (0 is the
  // first) in the query's own order: one page without reading the rows before or after it.
  void open_rows(std::string_view jet_sql, Connection& connection, long offset, long limit);
  void close();
  bool is_open() const;
  int state() const { return is_open() ? 1 : 0; }

  bool eof() const;
  bool bof() const;
  // Number of rows; known right after open.
  long record_count() const;
  void move_first();
  void move_last();
  void move_next();
  void move_previous();
  // Moves by n rows from the current one (n may be 0 or negative).
  void move(long n);
  // Find "COLUMN = 'value'" (or "COLUMN = number", "COLUMN = #date#", <>, <, >, <=, >=, LIKE with
  // * or %), searching forward from the current row (including it); text compares without regard
  // to case. Leaves the recordset at EOF when no row matches; 3021 without a current row, 3001
  // for criteria it cannot read.
  void find(std::string_view criteria);

  // The field of the current row, by name without regard to case. 3021 at BOF/EOF, 3265 for an
  // unknown name.
  const vb::Variant& field(std::string_view name) const;
  bool has_field(std::string_view name) const;
  int field_count() const;
  std::string field_name(int index) const;

  // Adding and updating (dynamic or optimistic recordsets on one table; others raise 3251).
  // A pending add or change is written first by add_new and by any move, as ADO does.
  void add_new();
  void set_field(std::string_view name, vb::Variant value);
  // Writes the added or changed row, each value converted to its column's declared type (a
  // value that does not convert raises -2147217887 and writes nothing). After an add the new row
  // is the current row, and its database-assigned key (TRIPNUM) can be read with field(). A
  // changed row is written only if it still holds the values read (else -2147217864).
  void update();
  void cancel_update();

 private:
  struct Impl;
  void open_statement(std::string_view jet_sql, Connection& connection, bool wants_writes,
                      std::string_view window);
  std::unique_ptr<Impl> impl_;
};

}  // namespace db
