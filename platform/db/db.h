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

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vb/variant.h"

struct sqlite3;

namespace db {

enum class CursorType { ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType { ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4 };

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens an existing database file. A missing file raises a provider error naming it
  // ("Could not find file '<path>'."); no empty database is ever created.
  void open(const std::string& path);
  void close();
  bool is_open() const;
  // ADO's State: 1 when open, 0 when closed.
  int state() const { return is_open() ? 1 : 0; }
  const std::string& path() const { return path_; }

  // Runs a text command (Jet dialect) and discards what it returns. Returns rows affected.
  long execute(std::string_view jet_sql);

  // For our own tools (schema creation, demo data), not for the application's statements:
  // creates a new database file, refusing (provider error) when the file exists, and opens it.
  void create(const std::string& path);
  // Runs SQLite statements as they are, without translation.
  void execute_native(std::string_view sqlite_sql);

  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
};

class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // Runs the Jet SQL text on the connection. Static and read-only recordsets are snapshots read in
  // full; dynamic or optimistic recordsets allow add_new/update on the single table they select.
  void open(std::string_view jet_sql, Connection& connection,
            CursorType cursor = CursorType::Static, LockType lock = LockType::ReadOnly);
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
  // Find "COLUMN = 'value'" (or "COLUMN = number"), searching forward from the current row
  // (including it). Leaves the recordset at EOF when no row matches.
  void find(std::string_view criteria);

  // The field of the current row, by name without regard to case. 3021 at BOF/EOF, 3265 for an
  // unknown name.
  const vb::Variant& field(std::string_view name) const;
  bool has_field(std::string_view name) const;
  int field_count() const;
  std::string field_name(int index) const;

  // Adding and updating (dynamic or optimistic recordsets on one table).
  void add_new();
  void set_field(std::string_view name, vb::Variant value);
  // Writes the added or changed row. After an add the new row is the current row, and its
  // database-assigned key (TRIPNUM) can be read with field().
  void update();
  void cancel_update();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace db
