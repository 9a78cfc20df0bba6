// Recordsets: snapshots read in full, navigation and Find, and adding and updating rows of one
// table under optimistic locking.
//
// A read-only recordset runs its query to the end at open, so its record count is known at once.
// A writable one (a SELECT on one table opened dynamic or with a lock) prepares its query but
// reads nothing until a row is asked for: the application opens whole tables only to add a row.
// Its query carries the table's rowid as a hidden last column, which locates rows for UPDATE and
// re-reads them; a row is written only if re-reading it gives the values first read.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/db/jet_lexer.h"
#include "platform/db/sqlite_support.h"
#include "platform/vb/conversions.h"

namespace db {
namespace {

vb::RuntimeError not_updatable() {
  return vb::RuntimeError(provider::kNotSupported,
                          "Current Recordset does not support updating. This may be a limitation "
                          "of the provider, or of the selected locktype.");
}

vb::RuntimeError bad_criteria() {
  return vb::RuntimeError(3001,
                          "Arguments are of the wrong type, are out of acceptable range, or are "
                          "in conflict with one another.");
}

// A value converted for a column, ready to bind.
struct Bound {
  enum Kind { Null, Integer, Real, Text } kind = Null;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;
};

Bound integer(std::int64_t value) {
  return {Bound::Integer, value, 0, {}};
}
Bound real(double value) {
  return {Bound::Real, 0, value, {}};
}
Bound text(std::string value) {
  return {Bound::Text, 0, 0, std::move(value)};
}

// Converts a value to a column's declared type as the provider does on assignment; raises the
// runtime's error when it does not convert.
Bound convert(const vb::Variant& value, ColumnKind kind) {
  if (value.is_null() || value.is_empty()) return {};
  switch (kind) {
    case ColumnKind::Text:
      return value.is_string() ? text(value.get<std::string>()) : text(vb::CStr(value));
    case ColumnKind::Integer:
      if (value.is_bool()) return integer(value.get<bool>() ? -1 : 0);
      return integer(vb::CLng(value));
    case ColumnKind::Single:
      return real(static_cast<double>(vb::CSng(value)));
    case ColumnKind::Double:
      return real(vb::CDbl(value));
    case ColumnKind::Currency:
      return real(vb::CCur(value).to_double());
    case ColumnKind::Date:
      return real(vb::CDate(value).serial);
    case ColumnKind::YesNo:
      return integer(vb::CBool(value) ? -1 : 0);
    case ColumnKind::Auto:
      break;
  }
  if (value.is_string()) return text(value.get<std::string>());
  if (value.is_bool()) return integer(value.get<bool>() ? -1 : 0);
  if (value.holds<std::int16_t>()) return integer(value.get<std::int16_t>());
  if (value.holds<std::int32_t>()) return integer(value.get<std::int32_t>());
  if (value.is_date()) return real(value.get<vb::DateTime>().serial);
  if (value.is_number()) return real(vb::CDbl(value));
  return text(vb::CStr(value));  // arrays raise 13 here
}

void bind(sqlite3_stmt* stmt, int index, const Bound& value) {
  switch (value.kind) {
    case Bound::Null:
      sqlite3_bind_null(stmt, index);
      break;
    case Bound::Integer:
      sqlite3_bind_int64(stmt, index, value.integer);
      break;
    case Bound::Real:
      sqlite3_bind_double(stmt, index, value.real);
      break;
    case Bound::Text:
      sqlite3_bind_text64(stmt, index, value.text.data(), value.text.size(), SQLITE_STATIC,
                          SQLITE_UTF8);
      break;
  }
}

// BEGIN IMMEDIATE ... COMMIT, rolled back unless committed; joins a transaction already open.
class Transaction {
 public:
  Transaction(sqlite3* db, const std::string& path) : db_(db), path_(path) {
    if (!sqlite3_get_autocommit(db_)) return;
    const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw_engine_error(db_, rc, path_);
    active_ = true;
  }
  ~Transaction() {
    if (active_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit() {
    if (!active_) return;
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw_engine_error(db_, rc, path_);
    active_ = false;
  }

 private:
  sqlite3* db_;
  const std::string& path_;
  bool active_ = false;
};

// One criterion of Find: COLUMN op value.
struct Criterion {
  std::string column;
  std::string op;  // = <> < > <= >= LIKE
  enum Kind { Text, Number, Date, Null } kind = Text;
  std::string text;
  double number = 0;
};

Criterion parse_criterion(std::string_view criteria) {
  std::vector<jet::Token> tokens;
  try {
    tokens = jet::tokenize(criteria);
  } catch (const vb::RuntimeError&) {
    throw bad_criteria();
  }
  Criterion criterion;
  std::size_t i = 0;
  if (tokens.size() < 3 ||
      (tokens[0].kind != jet::TokenKind::Word && tokens[0].kind != jet::TokenKind::Name))
    throw bad_criteria();
  criterion.column = tokens[i++].text;
  const jet::Token& op = tokens[i++];
  if (op.kind == jet::TokenKind::Operator && op.text != "+" && op.text != "-" && op.text != "*" &&
      op.text != "/" && op.text != "&")
    criterion.op = op.text;
  else if (op.kind == jet::TokenKind::Word && text::same_text(op.text, "LIKE"))
    criterion.op = "LIKE";
  else
    throw bad_criteria();
  bool negative = false;
  if (tokens[i].kind == jet::TokenKind::Operator && tokens[i].text == "-" &&
      i + 1 < tokens.size()) {
    negative = true;
    ++i;
  }
  const jet::Token& value = tokens[i++];
  if (i != tokens.size()) throw bad_criteria();
  switch (value.kind) {
    case jet::TokenKind::String:
      if (negative) throw bad_criteria();
      criterion.kind = Criterion::Text;
      criterion.text = value.text;
      break;
    case jet::TokenKind::Number: {
      auto number = vb::parse_number(value.text);
      if (!number) throw bad_criteria();
      criterion.kind = Criterion::Number;
      criterion.number = negative ? -*number : *number;
      break;
    }
    case jet::TokenKind::Date: {
      auto date = vb::parse_date_text(vb::Trim(value.text));
      if (!date || negative) throw bad_criteria();
      criterion.kind = Criterion::Date;
      criterion.number = date->serial;
      break;
    }
    case jet::TokenKind::Word:
      if (!text::same_text(value.text, "NULL") || negative) throw bad_criteria();
      criterion.kind = Criterion::Null;
      break;
    default:
      throw bad_criteria();
  }
  if (criterion.op == "LIKE" && criterion.kind != Criterion::Text) throw bad_criteria();
  if (criterion.kind == Criterion::Null && criterion.op != "=" && criterion.op != "<>")
    throw bad_criteria();
  return criterion;
}

// Find's LIKE: '*' or '%' for any run of characters, without regard to case. Greedy with one
// backtrack point, so no pattern takes more than text times pattern steps.
bool like(std::string_view text, std::string_view pattern) {
  std::size_t t = 0, p = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && text::ascii_lower(pattern[p]) == text::ascii_lower(text[t])) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) ++p;
  return p == pattern.size();
}

bool satisfies(int order, const std::string& op) {
  if (op == "=") return order == 0;
  if (op == "<>") return order != 0;
  if (op == "<") return order < 0;
  if (op == ">") return order > 0;
  if (op == "<=") return order <= 0;
  return order >= 0;  // ">="
}

std::optional<double> number_of(const vb::Variant& value) {
  if (value.is_number() || value.is_bool()) return vb::CDbl(value);
  if (value.is_date()) return value.get<vb::DateTime>().serial;
  if (value.is_string()) return vb::parse_number(value.get<std::string>());
  return std::nullopt;
}

bool matches(const vb::Variant& value, const Criterion& criterion) {
  if (criterion.kind == Criterion::Null) return value.is_null() == (criterion.op == "=");
  if (value.is_null() || value.is_empty()) return false;
  std::optional<double> number;
  switch (criterion.kind) {
    case Criterion::Text: {
      const std::string field = value.is_string() ? value.get<std::string>() : vb::CStr(value);
      if (criterion.op == "LIKE") return like(field, criterion.text);
      return satisfies(text::compare_nocase(field, criterion.text), criterion.op);
    }
    case Criterion::Date:
      if (value.is_string()) {
        if (auto date = vb::parse_date_text(value.get<std::string>())) number = date->serial;
      } else {
        number = number_of(value);
      }
      break;
    default:
      number = number_of(value);
      break;
  }
  if (!number) return false;
  const int order = *number < criterion.number ? -1 : (*number > criterion.number ? 1 : 0);
  return satisfies(order, criterion.op);
}

// Rows in blocks of a fixed number of rows: appending never moves the cells already read, and the
// blocks are small enough to be reused from the heap rather than mapped afresh for every open.
class RowStore {
 public:
  void reset(std::size_t width) {
    width_ = width;
    blocks_.clear();
    rows_ = 0;
  }
  long rows() const { return rows_; }

  // The block to append the cells of one new row to.
  std::vector<vb::Variant>& new_row() {
    if (rows_ % kBlockRows == 0) {
      blocks_.emplace_back();
      blocks_.back().reserve(kBlockRows * width_);
    }
    ++rows_;
    return blocks_.back();
  }

  vb::Variant& at(long row, std::size_t column) {
    const auto r = static_cast<std::size_t>(row);
    return blocks_[r / kBlockRows][(r % kBlockRows) * width_ + column];
  }
  const vb::Variant& at(long row, std::size_t column) const {
    const auto r = static_cast<std::size_t>(row);
    return blocks_[r / kBlockRows][(r % kBlockRows) * width_ + column];
  }

 private:
  static constexpr std::size_t kBlockRows = 32;
  std::size_t width_ = 0;
  std::vector<std::vector<vb::Variant>> blocks_;
  long rows_ = 0;
};

}  // namespace

struct Recordset::Impl {
  struct Column {
    std::string name;
    ColumnKind kind = ColumnKind::Auto;  // how values are read
    std::string origin;                  // the written table's column it reads, if any
  };

  sqlite3* db = nullptr;
  std::string path;
  std::weak_ptr<const int> alive;
  std::shared_ptr<const Translation> translation;

  std::vector<Column> columns;
  std::unordered_map<std::string, int, text::NoCaseHash, text::NoCaseEqual> lookup;
  std::size_t width = 0;  // fields per row

  RowStore cells;
  std::vector<sqlite3_int64> rowids;  // writable recordsets: each row's rowid
  long position = 0;                  // -1 is BOF, rows() is EOF

  // Writable recordsets: the query not yet read (complete == false until it is).
  bool writable = false;
  bool complete = true;
  Statement pending;

  enum class Edit { None, Adding, Changing } edit = Edit::None;
  std::vector<vb::Variant> buffer;
  std::vector<char> assigned;

  long rows() const { return cells.rows(); }
  bool at_row() const { return position >= 0 && position < rows(); }

  void require_database() const {
    if (alive.expired()) throw closed_error();
  }

  int index_of(std::string_view name) const {
    auto found = lookup.find(name);
    if (found == lookup.end()) throw vb::err::item_not_found();
    return found->second;
  }

  std::string row_query() const {
    const SingleTable& t = *translation->single_table;
    return "SELECT " + t.columns + ", " + t.qualifier + ".rowid FROM " + t.from;
  }

  void append_row(sqlite3_stmt* stmt) {
    std::vector<vb::Variant>& block = cells.new_row();
    for (std::size_t c = 0; c < width; ++c)
      block.push_back(read_column(stmt, static_cast<int>(c), columns[c].kind));
    if (writable) rowids.push_back(sqlite3_column_int64(stmt, static_cast<int>(width)));
  }

  void append_row(std::vector<vb::Variant>&& row, sqlite3_int64 rowid) {
    std::vector<vb::Variant>& block = cells.new_row();
    for (auto& value : row) block.push_back(std::move(value));
    rowids.push_back(rowid);
  }

  void read_all(sqlite3_stmt* stmt) {
    for (;;) {
      const int rc = sqlite3_step(stmt);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) throw_engine_error(db, rc, path);
      append_row(stmt);
    }
  }

  // The row with this rowid as the recordset reads it; nullopt when it is gone.
  std::optional<std::vector<vb::Variant>> fetch(sqlite3_int64 rowid) {
    const SingleTable& t = *translation->single_table;
    Statement statement(db, row_query() + " WHERE " + t.qualifier + ".rowid = ?", path);
    sqlite3_bind_int64(statement.get(), 1, rowid);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) return std::nullopt;
    if (rc != SQLITE_ROW) throw_engine_error(db, rc, path);
    std::vector<vb::Variant> row;
    row.reserve(width);
    for (std::size_t c = 0; c < width; ++c)
      row.push_back(read_column(statement.get(), static_cast<int>(c), columns[c].kind));
    return row;
  }

  // Reads the whole query of a writable recordset, staying on the row that was current.
  void complete_rows() {
    if (complete) return;
    require_database();
    std::optional<sqlite3_int64> current;
    if (at_row()) current = rowids[static_cast<std::size_t>(position)];
    cells.reset(width);
    rowids.clear();
    sqlite3_reset(pending.get());
    read_all(pending.get());
    pending.reset();
    complete = true;
    position = 0;
    if (!current) return;
    for (long r = 0; r < rows(); ++r)
      if (rowids[static_cast<std::size_t>(r)] == *current) {
        position = r;
        return;
      }
    // The current row (just added) is outside the query's condition: keep it as the last row.
    if (auto row = fetch(*current)) {
      append_row(std::move(*row), *current);
      position = rows() - 1;
    }
  }

  // Reads the rows when nothing is read yet; a row just added is enough to stand on.
  void ensure_current() {
    if (!complete && rows() == 0) complete_rows();
  }

  const vb::Variant& cell(long row, std::size_t column) const { return cells.at(row, column); }

  void set_row(long row, std::vector<vb::Variant>&& values) {
    for (std::size_t c = 0; c < width; ++c) cells.at(row, c) = std::move(values[c]);
  }

  struct Assignment {
    std::string column;
    Bound value;
  };

  std::vector<Assignment> assignments() const {
    std::vector<Assignment> list;
    for (std::size_t c = 0; c < width; ++c) {
      if (!assigned[c]) continue;
      try {
        list.push_back({columns[c].origin, convert(buffer[c], columns[c].kind)});
      } catch (const vb::RuntimeError&) {
        throw vb::RuntimeError(provider::kMultipleStep, std::string(provider::kMultipleStepText),
                               true);
      }
    }
    return list;
  }

  void insert_row() {
    const SingleTable& t = *translation->single_table;
    const std::vector<Assignment> list = assignments();
    std::string sql = "INSERT INTO " + t.table;
    if (list.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      std::string names, marks;
      for (const Assignment& a : list) {
        names += (names.empty() ? "" : ", ") + quote_identifier(a.column);
        marks += marks.empty() ? "?" : ", ?";
      }
      sql += " (" + names + ") VALUES (" + marks + ")";
    }
    Statement statement(db, sql, path);
    for (std::size_t i = 0; i < list.size(); ++i)
      bind(statement.get(), static_cast<int>(i + 1), list[i].value);
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_DONE) throw_engine_error(db, rc, path);
    const sqlite3_int64 rowid = sqlite3_last_insert_rowid(db);
    edit = Edit::None;
    auto row = fetch(rowid);
    if (!row) return;
    if (!complete) {
      // Nothing else is read: the new row stands alone until the recordset is read in full.
      cells.reset(width);
      rowids.clear();
    }
    append_row(std::move(*row), rowid);
    position = rows() - 1;
  }

  void update_row() {
    const SingleTable& t = *translation->single_table;
    const std::vector<Assignment> list = assignments();
    const sqlite3_int64 rowid = rowids[static_cast<std::size_t>(position)];
    Transaction transaction(db, path);
    auto now = fetch(rowid);
    bool unchanged = now.has_value();
    for (std::size_t c = 0; unchanged && c < width; ++c) unchanged = (*now)[c] == cell(position, c);
    if (!unchanged)
      throw vb::RuntimeError(provider::kRowChanged, std::string(provider::kRowChangedText), true);
    if (!list.empty()) {
      std::string sql = "UPDATE " + t.table + " SET ";
      for (std::size_t i = 0; i < list.size(); ++i)
        sql += (i ? ", " : "") + quote_identifier(list[i].column) + " = ?";
      sql += " WHERE rowid = ?";
      Statement statement(db, sql, path);
      for (std::size_t i = 0; i < list.size(); ++i)
        bind(statement.get(), static_cast<int>(i + 1), list[i].value);
      sqlite3_bind_int64(statement.get(), static_cast<int>(list.size() + 1), rowid);
      const int rc = sqlite3_step(statement.get());
      if (rc != SQLITE_DONE) throw_engine_error(db, rc, path);
    }
    auto written = fetch(rowid);
    transaction.commit();
    edit = Edit::None;
    if (written) set_row(position, std::move(*written));
  }
};

Recordset::Recordset() = default;

Recordset::~Recordset() = default;

bool Recordset::is_open() const {
  return impl_ != nullptr;
}

void Recordset::close() {
  impl_.reset();
}

void Recordset::open(std::string_view jet_sql, Connection& connection, CursorType cursor,
                     LockType lock) {
  const bool wants_writes =
      lock != LockType::ReadOnly || cursor == CursorType::Dynamic || cursor == CursorType::Keyset;
  open_statement(jet_sql, connection, wants_writes, {});
}

void Recordset::open_rows(std::string_view jet_sql, Connection& connection, long offset,
                          long limit) {
  open_statement(jet_sql, connection, false,
                 " LIMIT " + std::to_string(std::max(limit, 0L)) + " OFFSET " +
                     std::to_string(std::max(offset, 0L)));
}

// Opening proper; `window` (a LIMIT clause, or empty) follows the translated text.
void Recordset::open_statement(std::string_view jet_sql, Connection& connection, bool wants_writes,
                               std::string_view window) {
  close();
  if (!connection.is_open()) throw closed_error();
  auto impl = std::make_unique<Impl>();
  impl->db = connection.db_;
  impl->path = connection.path_;
  impl->alive = connection.alive_;
  impl->translation = translate_shared(jet_sql);
  const Translation& translation = *impl->translation;
  impl->writable = wants_writes && translation.single_table.has_value();
  Statement statement;
  if (impl->writable) {
    std::string sql = impl->row_query();
    if (!translation.single_table->tail.empty()) sql += " " + translation.single_table->tail;
    try {
      statement = Statement(impl->db, sql, impl->path);
      // A view reads the rowid of a table beneath it, if any: it is read, not written.
      const char* table =
          sqlite3_column_table_name(statement.get(), sqlite3_column_count(statement.get()) - 1);
      impl->writable = table && text::same_text(table, translation.single_table->name);
    } catch (const vb::RuntimeError&) {
      impl->writable = false;  // no rowid at all: read it as a snapshot, or fail as one
    }
  }
  // A snapshot is read in full here, so its statement can go back to the connection's cache.
  std::optional<CachedStatement> snapshot;
  if (!impl->writable) {
    snapshot.emplace(*connection.statements_, translation.sql + std::string(window), impl->path);
  }
  sqlite3_stmt* stmt = snapshot ? snapshot->get() : statement.get();
  if (!sqlite3_stmt_readonly(stmt)) {
    // A command opened as a recordset runs and leaves the recordset closed, as ADO does.
    for (;;) {
      const int rc = sqlite3_step(stmt);
      if (rc == SQLITE_DONE) return;
      if (rc != SQLITE_ROW) throw_engine_error(impl->db, rc, impl->path);
    }
  }
  const int count = sqlite3_column_count(stmt);
  impl->width = static_cast<std::size_t>(impl->writable ? count - 1 : count);
  impl->cells.reset(impl->width);
  impl->columns.reserve(impl->width);
  for (std::size_t c = 0; c < impl->width; ++c) {
    const int column = static_cast<int>(c);
    Impl::Column info;
    const char* name = sqlite3_column_name(stmt, column);
    info.name = name ? name : "";
    info.kind = kind_of_declared_type(sqlite3_column_decltype(stmt, column));
    if (info.kind == ColumnKind::Auto) {
      auto hint = translation.column_kinds.find(vb::LCase(info.name));
      if (hint != translation.column_kinds.end()) info.kind = hint->second;
    }
    if (impl->writable) {
      const char* table = sqlite3_column_table_name(stmt, column);
      const char* origin = sqlite3_column_origin_name(stmt, column);
      if (table && origin && text::same_text(table, translation.single_table->name))
        info.origin = origin;
    }
    impl->lookup.emplace(info.name, static_cast<int>(c));
    impl->columns.push_back(std::move(info));
  }
  if (impl->writable) {
    impl->complete = false;
    impl->pending = std::move(statement);
  } else {
    impl->read_all(stmt);
  }
  impl_ = std::move(impl);
}

namespace {
template <class Pointer>
auto& open_impl(const Pointer& impl) {
  if (!impl) throw closed_error();
  return *impl;
}
}  // namespace

bool Recordset::eof() const {
  auto& impl = open_impl(impl_);
  if (impl.edit == Impl::Edit::Adding) return false;  // the new row is current
  impl.ensure_current();
  return impl.rows() == 0 || impl.position >= impl.rows();
}

bool Recordset::bof() const {
  auto& impl = open_impl(impl_);
  if (impl.edit == Impl::Edit::Adding) return false;
  impl.ensure_current();
  return impl.rows() == 0 || impl.position < 0;
}

long Recordset::record_count() const {
  auto& impl = open_impl(impl_);
  impl.complete_rows();
  return impl.rows();
}

void Recordset::move_first() {
  auto& impl = open_impl(impl_);
  if (impl.edit != Impl::Edit::None) update();
  impl.complete_rows();
  if (impl.rows() == 0) throw vb::err::no_current_record();
  impl.position = 0;
}

void Recordset::move_last() {
  auto& impl = open_impl(impl_);
  if (impl.edit != Impl::Edit::None) update();
  impl.complete_rows();
  if (impl.rows() == 0) throw vb::err::no_current_record();
  impl.position = impl.rows() - 1;
}

void Recordset::move_next() {
  move(1);
}

void Recordset::move_previous() {
  move(-1);
}

void Recordset::move(long n) {
  auto& impl = open_impl(impl_);
  if (impl.edit != Impl::Edit::None) update();
  impl.complete_rows();
  const bool at_bof = impl.rows() == 0 || impl.position < 0;
  const bool at_eof = impl.rows() == 0 || impl.position >= impl.rows();
  if (impl.rows() == 0 || (n > 0 && at_eof) || (n < 0 && at_bof) || (n == 0 && (at_bof || at_eof)))
    throw vb::err::no_current_record();
  // Compared before adding, so that no n overflows; past either end stops at BOF or EOF.
  if (n > 0)
    impl.position = n >= impl.rows() - impl.position ? impl.rows() : impl.position + n;
  else
    impl.position = n < -impl.position ? -1 : impl.position + n;
}

void Recordset::find(std::string_view criteria) {
  auto& impl = open_impl(impl_);
  if (impl.edit != Impl::Edit::None) update();
  impl.complete_rows();
  const Criterion criterion = parse_criterion(criteria);
  const int column = impl.index_of(criterion.column);
  if (!impl.at_row()) throw vb::err::no_current_record();
  for (long r = impl.position; r < impl.rows(); ++r) {
    if (matches(impl.cell(r, static_cast<std::size_t>(column)), criterion)) {
      impl.position = r;
      return;
    }
  }
  impl.position = impl.rows();
}

const vb::Variant& Recordset::field(std::string_view name) const {
  auto& impl = open_impl(impl_);
  const std::size_t column = static_cast<std::size_t>(impl.index_of(name));
  if (impl.edit == Impl::Edit::Adding ||
      (impl.edit == Impl::Edit::Changing && impl.assigned[column]))
    return impl.buffer[column];
  impl.ensure_current();
  if (!impl.at_row()) throw vb::err::no_current_record();
  return impl.cell(impl.position, column);
}

bool Recordset::has_field(std::string_view name) const {
  const auto& impl = open_impl(impl_);
  return impl.lookup.find(name) != impl.lookup.end();
}

int Recordset::field_count() const {
  return static_cast<int>(open_impl(impl_).width);
}

std::string Recordset::field_name(int index) const {
  const auto& impl = open_impl(impl_);
  if (index < 0 || static_cast<std::size_t>(index) >= impl.width) throw vb::err::item_not_found();
  return impl.columns[static_cast<std::size_t>(index)].name;
}

void Recordset::add_new() {
  auto& impl = open_impl(impl_);
  if (!impl.writable) throw not_updatable();
  if (impl.edit != Impl::Edit::None) update();
  impl.edit = Impl::Edit::Adding;
  impl.buffer.assign(impl.width, vb::Variant::null());
  impl.assigned.assign(impl.width, 0);
}

void Recordset::set_field(std::string_view name, vb::Variant value) {
  auto& impl = open_impl(impl_);
  const std::size_t column = static_cast<std::size_t>(impl.index_of(name));
  if (!impl.writable) throw not_updatable();
  if (impl.columns[column].origin.empty())
    throw vb::err::provider_error("Field '" + impl.columns[column].name + "' cannot be updated.");
  if (impl.edit == Impl::Edit::None) {
    impl.ensure_current();
    if (!impl.at_row()) throw vb::err::no_current_record();
    impl.edit = Impl::Edit::Changing;
    impl.buffer.clear();
    for (std::size_t c = 0; c < impl.width; ++c) impl.buffer.push_back(impl.cell(impl.position, c));
    impl.assigned.assign(impl.width, 0);
  }
  impl.buffer[column] = std::move(value);
  impl.assigned[column] = 1;
}

void Recordset::update() {
  auto& impl = open_impl(impl_);
  if (impl.edit == Impl::Edit::None) return;
  impl.require_database();
  if (impl.edit == Impl::Edit::Adding)
    impl.insert_row();
  else
    impl.update_row();
}

void Recordset::cancel_update() {
  auto& impl = open_impl(impl_);
  impl.edit = Impl::Edit::None;
}

}  // namespace db
