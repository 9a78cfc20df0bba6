// Internal to platform/db: the provider's error numbers and texts, the mapping of SQLite failures
// onto them, an owning statement handle, and the reading of stored values by declared type.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/jet.h"
#include "platform/vb/errors.h"
#include "platform/vb/variant.h"

namespace db {

// The provider's numbers for the failures the application can meet.
namespace provider {
constexpr long kSyntaxError = -2147217900;       // 0x80040E14
constexpr long kMissingParameter = -2147217904;  // 0x80040E10: unknown column
constexpr long kTableNotFound = -2147217865;     // 0x80040E37
constexpr long kCriteriaMismatch = -2147217913;  // 0x80040E07
constexpr long kRowChanged = -2147217864;        // 0x80040E38
constexpr long kMultipleStep = -2147217887;      // 0x80040E21
constexpr long kNotSupported = 3251;             // the recordset cannot do this
constexpr long kObjectClosed = 3704;             // operation on a closed object

// The text our SQL functions fail with; mapped back to kCriteriaMismatch.
inline constexpr std::string_view kMismatchText = "Data type mismatch in criteria expression.";
inline constexpr std::string_view kMultipleStepText =
    "Multiple-step operation generated errors. Check each status value.";
inline constexpr std::string_view kRowChangedText =
    "Row cannot be located for updating. Some values may have been changed since it was last "
    "read.";
}  // namespace provider

// A failure of a query text (syntax, unknown function): number -2147217900.
vb::RuntimeError query_error(std::string message);
vb::RuntimeError closed_error();

// Raises the provider error for a failed SQLite call on `db`; `path` names the database file in
// the messages that need it.
[[noreturn]] void throw_engine_error(sqlite3* db, int rc, const std::string& path);

// Waiting for a lock that another connection holds. SQLite's own busy timeout backs off to 100 ms
// between tries, so under a steady stream of short commits a writer that has waited a while
// keeps missing the moments the lock is free and loses it to writers that came later, until it
// gives up. Short pauses with jitter give every waiter the same chance at each release.
class LockWait {
 public:
  // How long one statement keeps trying before it fails as locked.
  static constexpr std::chrono::milliseconds kLimit{10000};

  // Installs itself as the handle's busy handler, to be removed before this object goes.
  void install(sqlite3* db);
  // The pause before the next try of a wait that has made `tries` tries (0 at the first
  // refusal) and lasted `waited`; nullopt when it is time to give up.
  std::optional<std::chrono::microseconds> next_pause(int tries,
                                                      std::chrono::steady_clock::duration waited);

 private:
  static int on_busy(void* self, int tries);
  std::chrono::steady_clock::time_point since_;
  std::minstd_rand random_{
      static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
};

// Owns a prepared statement.
class Statement {
 public:
  Statement() = default;
  // Prepares one statement; raises the mapped provider error on failure.
  Statement(sqlite3* db, std::string_view sql, const std::string& path, unsigned flags = 0);
  ~Statement() { reset(); }
  Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  explicit operator bool() const { return stmt_ != nullptr; }
  void reset();

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// The prepared read statements of one handle, kept for the next use of the same text: a page's
// long queries cost more to prepare than to run on the few rows they read, and a handle serves
// the same pages again and again.
class StatementCache {
 public:
  explicit StatementCache(sqlite3* db) : db_(db) {}
  ~StatementCache() = default;  // finalizes what it keeps; before the handle closes
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // A statement of `sql`: a kept one, or one prepared now (raising as Statement does).
  Statement take(std::string_view sql, const std::string& path);
  // Keeps a statement taken for `sql` for its next use, reset and without bindings; a statement
  // that writes, or one more of a text already kept, is finalized instead.
  void give_back(std::string sql, Statement statement);
  // Whether the handle has no statement but those kept here: nothing is running on it.
  bool holds_all() const;

  // What the database holds as this handle sees it: equal states, equal rows. Unknown inside a
  // transaction, whose changes may yet be rolled back.
  struct DataState {
    std::int64_t version;  // moves with every commit of another handle or process
    std::int64_t changes;  // rows this handle has changed
    bool operator==(const DataState&) const = default;
  };
  std::optional<DataState> data_state(const std::string& path);
  // A count of `count_sql` taken in `state`, if one is kept; keeps `count` for it otherwise.
  std::optional<long> kept_count(std::string_view count_sql, const DataState& state) const;
  void keep_count(std::string count_sql, const DataState& state, long count);

 private:
  struct Kept {
    std::string sql;
    Statement statement;
  };
  struct KeptCount {
    std::string sql;
    DataState state;
    long count;
  };
  static constexpr std::size_t kMostKept = 10;
  static constexpr std::size_t kMostCounts = 8;
  sqlite3* db_;
  std::vector<Kept> kept_;         // the most recently used last
  std::vector<KeptCount> counts_;  // the most recently kept last
};

// A statement taken from a cache for the span of one call, given back when it ends.
class CachedStatement {
 public:
  CachedStatement(StatementCache& cache, std::string_view sql, const std::string& path)
      : cache_(cache), sql_(sql), statement_(cache.take(sql, path)) {}
  ~CachedStatement() { cache_.give_back(std::move(sql_), std::move(statement_)); }
  CachedStatement(const CachedStatement&) = delete;
  CachedStatement& operator=(const CachedStatement&) = delete;
  sqlite3_stmt* get() const { return statement_.get(); }

 private:
  StatementCache& cache_;
  std::string sql_;
  Statement statement_;
};

// The kind a declared column type stands for (DATETIME, YESNO, CURRENCY, INTEGER, SINGLE, TEXT
// and the usual SQL spellings); Auto when there is none.
ColumnKind kind_of_declared_type(const char* declared);

// A stored value read as the field of a column of the given kind. Values that do not fit the kind
// (text in a number column) are returned as they are stored.
vb::Variant read_column(sqlite3_stmt* stmt, int column, ColumnKind kind);

// A function argument as a variant: Null, Long (Double when outside 32 bits), Double or text.
vb::Variant variant_of_value(sqlite3_value* value);

// Text form of a stored number as the runtime prints it.
std::string number_text(double value);

// A SQLite identifier in double quotes.
std::string quote_identifier(std::string_view name);

}  // namespace db
