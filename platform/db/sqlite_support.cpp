// SQLite failures as provider errors, the statement handle, and stored values read by type.
#include "platform/db/sqlite_support.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <thread>

#include "platform/vb/conversions.h"

namespace db {
namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool contains_upper(const std::string& upper, std::string_view part) {
  return upper.find(part) != std::string::npos;
}

vb::Variant whole_number(sqlite3_int64 value) {
  if (value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max())
    return vb::Variant(static_cast<std::int32_t>(value));
  return vb::Variant(static_cast<double>(value));
}

std::string column_text(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  const int size = sqlite3_column_bytes(stmt, column);
  return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

}  // namespace

vb::RuntimeError query_error(std::string message) {
  return vb::RuntimeError(provider::kSyntaxError, std::move(message), true);
}

vb::RuntimeError closed_error() {
  return vb::RuntimeError(provider::kObjectClosed,
                          "Operation is not allowed when the object is closed.");
}

void throw_engine_error(sqlite3* db, int rc, const std::string& path) {
  const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  const int primary = rc & 0xff;
  if (message == provider::kMismatchText)
    throw vb::RuntimeError(provider::kCriteriaMismatch, message, true);
  if (starts_with(message, "no such column"))
    throw vb::RuntimeError(provider::kMissingParameter,
                           "No value given for one or more required parameters.", true);
  if (starts_with(message, "no such table: ")) {
    std::string name = message.substr(15);
    if (starts_with(name, "main.")) name.erase(0, 5);
    throw vb::RuntimeError(provider::kTableNotFound,
                           "The database engine cannot find the input table or query '" + name +
                               "'.  Make sure it exists and that its name is spelled correctly.",
                           true);
  }
  if (starts_with(message, "no such function: "))
    throw query_error("Undefined function '" + message.substr(18) + "' in expression.");
  switch (primary) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      throw vb::err::provider_error("Unrecognized database format '" + path + "'.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      throw vb::err::provider_error("Could not update; currently locked. (" + message + ")");
    case SQLITE_READONLY:
      throw vb::err::provider_error("Cannot update.  Database or object is read-only. (" + message +
                                    ")");
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      throw vb::err::provider_error("The database engine cannot open the file '" + path +
                                    "'.  It is already opened exclusively by another user, or "
                                    "you need permission to view its data.");
    case SQLITE_ERROR:
      // What is left of SQLITE_ERROR concerns the statement's text: syntax, ambiguous names,
      // misused aggregates.
      throw query_error(message);
    default:
      throw vb::err::provider_error(message);
  }
}

void LockWait::install(sqlite3* db) {
  sqlite3_busy_handler(db, &LockWait::on_busy, this);
}

std::optional<std::chrono::microseconds> LockWait::next_pause(
    int tries, std::chrono::steady_clock::duration waited) {
  if (waited >= kLimit) return std::nullopt;
  // Most waits are for one commit: the first tries come soon, later ones every few ms at most.
  const int ceiling_us = tries < 8 ? 250 * (tries + 1) : 2000;
  std::uniform_int_distribution<int> pause(ceiling_us / 4, ceiling_us);
  return std::chrono::microseconds(pause(random_));
}

int LockWait::on_busy(void* self, int tries) {
  auto& wait = *static_cast<LockWait*>(self);
  const auto now = std::chrono::steady_clock::now();
  if (tries == 0) wait.since_ = now;
  const auto pause = wait.next_pause(tries, now - wait.since_);
  if (!pause) return 0;
  std::this_thread::sleep_for(*pause);
  return 1;
}

Statement::Statement(sqlite3* db, std::string_view sql, const std::string& path, unsigned flags) {
  const char* tail = nullptr;
  const int rc =
      sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), flags, &stmt_, &tail);
  if (rc != SQLITE_OK) {
    reset();
    throw_engine_error(db, rc, path);
  }
  if (!stmt_) throw query_error("The query text is empty.");
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    reset();
    stmt_ = other.stmt_;
    other.stmt_ = nullptr;
  }
  return *this;
}

void Statement::reset() {
  if (stmt_) sqlite3_finalize(stmt_);
  stmt_ = nullptr;
}

Statement StatementCache::take(std::string_view sql, const std::string& path) {
  for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
    if (it->sql == sql) {
      Statement found = std::move(it->statement);
      kept_.erase(std::next(it).base());
      return found;
    }
  }
  return Statement(db_, sql, path, SQLITE_PREPARE_PERSISTENT);
}

void StatementCache::give_back(std::string sql, Statement statement) {
  if (!statement) return;
  sqlite3_reset(statement.get());
  if (!sqlite3_stmt_readonly(statement.get())) return;
  sqlite3_clear_bindings(statement.get());
  for (const Kept& kept : kept_) {
    if (kept.sql == sql) return;
  }
  if (kept_.size() >= kMostKept) kept_.erase(kept_.begin());
  kept_.push_back({std::move(sql), std::move(statement)});
}

bool StatementCache::holds_all() const {
  for (sqlite3_stmt* stmt = sqlite3_next_stmt(db_, nullptr); stmt;
       stmt = sqlite3_next_stmt(db_, stmt)) {
    const bool kept = std::any_of(kept_.begin(), kept_.end(),
                                  [stmt](const Kept& k) { return k.statement.get() == stmt; });
    if (!kept || sqlite3_stmt_busy(stmt)) return false;
  }
  return true;
}

std::optional<StatementCache::DataState> StatementCache::data_state(const std::string& path) {
  if (!sqlite3_get_autocommit(db_)) return std::nullopt;
  // The pragma starts a read of its own, so it sees the last commit of any handle.
  Statement probe = take("PRAGMA data_version", path);
  const int rc = sqlite3_step(probe.get());
  std::optional<DataState> state;
  if (rc == SQLITE_ROW)
    state = DataState{sqlite3_column_int64(probe.get(), 0), sqlite3_total_changes64(db_)};
  give_back("PRAGMA data_version", std::move(probe));
  return state;
}

std::optional<long> StatementCache::kept_count(std::string_view count_sql,
                                               const DataState& state) const {
  for (const KeptCount& kept : counts_) {
    if (kept.sql == count_sql && kept.state == state) return kept.count;
  }
  return std::nullopt;
}

void StatementCache::keep_count(std::string count_sql, const DataState& state, long count) {
  std::erase_if(counts_, [&](const KeptCount& kept) { return kept.sql == count_sql; });
  if (counts_.size() >= kMostCounts) counts_.erase(counts_.begin());
  counts_.push_back({std::move(count_sql), state, count});
}

ColumnKind kind_of_declared_type(const char* declared) {
  if (!declared || !*declared) return ColumnKind::Auto;
  std::string upper = vb::UCase(declared);
  if (contains_upper(upper, "YESNO") || contains_upper(upper, "BOOL") || upper == "BIT")
    return ColumnKind::YesNo;
  if (contains_upper(upper, "DATE") || contains_upper(upper, "TIME")) return ColumnKind::Date;
  if (contains_upper(upper, "CURRENCY") || contains_upper(upper, "MONEY"))
    return ColumnKind::Currency;
  if (contains_upper(upper, "SINGLE")) return ColumnKind::Single;
  if (contains_upper(upper, "CHAR") || contains_upper(upper, "TEXT") ||
      contains_upper(upper, "CLOB") || contains_upper(upper, "MEMO"))
    return ColumnKind::Text;
  if (contains_upper(upper, "INT") || upper == "LONG" || upper == "COUNTER" ||
      upper == "AUTOINCREMENT")
    return ColumnKind::Integer;
  if (contains_upper(upper, "REAL") || contains_upper(upper, "DOUB") ||
      contains_upper(upper, "FLOA") || contains_upper(upper, "NUMERIC") ||
      contains_upper(upper, "DECIMAL"))
    return ColumnKind::Double;
  return ColumnKind::Auto;
}

vb::Variant read_column(sqlite3_stmt* stmt, int column, ColumnKind kind) {
  const int type = sqlite3_column_type(stmt, column);
  if (type == SQLITE_NULL) return vb::Variant::null();
  if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
    if (type == SQLITE_BLOB && kind != ColumnKind::Text) {
      const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt, column));
      const int size = sqlite3_column_bytes(stmt, column);
      return vb::Variant(vb::Bytes(bytes, bytes + size));
    }
    std::string text = column_text(stmt, column);
    if (kind == ColumnKind::Date) {
      // Another tool may have stored a date as text; read it as the date it names.
      if (auto date = vb::parse_date_text(text)) return vb::Variant(*date);
    }
    return vb::Variant(std::move(text));
  }
  const bool integral = type == SQLITE_INTEGER;
  switch (kind) {
    case ColumnKind::Text:
      return integral ? vb::Variant(std::to_string(sqlite3_column_int64(stmt, column)))
                      : vb::Variant(number_text(sqlite3_column_double(stmt, column)));
    case ColumnKind::YesNo:
      return vb::Variant(integral ? sqlite3_column_int64(stmt, column) != 0
                                  : sqlite3_column_double(stmt, column) != 0.0);
    case ColumnKind::Date:
      return vb::Variant(vb::DateTime{sqlite3_column_double(stmt, column)});
    case ColumnKind::Currency:
      return vb::Variant(vb::Currency::from_double(sqlite3_column_double(stmt, column)));
    case ColumnKind::Single:
      return vb::Variant(static_cast<float>(sqlite3_column_double(stmt, column)));
    case ColumnKind::Double:
      return vb::Variant(sqlite3_column_double(stmt, column));
    case ColumnKind::Integer:
    case ColumnKind::Auto:
      break;
  }
  return integral ? whole_number(sqlite3_column_int64(stmt, column))
                  : vb::Variant(sqlite3_column_double(stmt, column));
}

vb::Variant variant_of_value(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
      return vb::Variant::null();
    case SQLITE_INTEGER:
      return whole_number(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
      return vb::Variant(sqlite3_value_double(value));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      const int size = sqlite3_value_bytes(value);
      return vb::Variant(text ? std::string(text, static_cast<std::size_t>(size)) : std::string());
    }
  }
}

std::string number_text(double value) {
  return vb::CStr(vb::Variant(value));
}

std::string quote_identifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace db
