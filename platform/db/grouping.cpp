// Sums per group without the engine's sort: a GROUP BY sorts every row it groups, which over a
// district's years of trips costs more than reading them. Here the rows are read in the order
// the engine finds them and summed in a hash table, keyed and summed as the engine would; rows
// that come in parts are read side by side on the machine's cores.
#include <sqlite3.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/db/sqlite_support.h"
#include "platform/text/text.h"

namespace db {
namespace {

struct FreeValue {
  void operator()(sqlite3_value* value) const { sqlite3_value_free(value); }
};
using ValuePtr = std::unique_ptr<sqlite3_value, FreeValue>;

// A SUM() as the engine keeps it: integers while they fit, a double once a value is not one.
struct EngineSum {
  std::int64_t integer = 0;
  double real = 0;
  std::int64_t count = 0;
  bool approximate = false;
  bool overflow = false;

  void add_integer(std::int64_t value) {
    ++count;
    real += static_cast<double>(value);
    if (!approximate && !overflow && __builtin_add_overflow(integer, value, &integer)) {
      approximate = overflow = true;
    }
  }
  void add_real(double value) {
    ++count;
    real += value;
    approximate = true;
  }
  // Another part's sum of the same group, as if its values had come after these.
  void merge(const EngineSum& other) {
    count += other.count;
    real += other.real;
    overflow = overflow || other.overflow;
    approximate = approximate || other.approximate;
    if (!approximate && __builtin_add_overflow(integer, other.integer, &integer)) {
      approximate = overflow = true;
    }
  }
  void add(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
      case SQLITE_NULL:
        return;
      case SQLITE_INTEGER:
        return add_integer(sqlite3_column_int64(stmt, column));
      case SQLITE_FLOAT:
        return add_real(sqlite3_column_double(stmt, column));
      default: {
        // Text or a blob counts as the number it reads as, as the engine's SUM() takes it.
        const ValuePtr value(sqlite3_value_dup(sqlite3_column_value(stmt, column)));
        if (!value) throw std::bad_alloc();
        if (sqlite3_value_numeric_type(value.get()) == SQLITE_INTEGER) {
          add_integer(sqlite3_value_int64(value.get()));
        } else {
          add_real(sqlite3_value_double(value.get()));
        }
      }
    }
  }
};

// One part of a key: its length, a colon, its type letter and its text, so that no two keys of
// different parts run together.
void append_part(std::string& key, char type, std::string_view text, bool fold) {
  char digits[24];
  key.append(digits, std::to_chars(digits, digits + sizeof digits, text.size() + 1).ptr);
  key += ':';
  key += type;
  const std::size_t from = key.size();
  key.append(text);
  if (fold) {
    for (std::size_t i = from; i < key.size(); ++i) key[i] = text::ascii_upper(key[i]);
  }
}

// A key value as the engine's GROUP BY compares it: numbers by value, text by its collation
// (NOCASE folds ASCII letters only). Written straight into the key: it is built for every row.
void append_key(std::string& key, sqlite3_stmt* stmt, int column, bool nocase) {
  char number[40];
  const auto whole = [&](std::int64_t value) {
    append_part(
        key, 'n',
        std::string_view(number, std::to_chars(number, number + sizeof number, value).ptr - number),
        false);
  };
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return append_part(key, 'z', {}, false);
    case SQLITE_INTEGER:
      return whole(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT: {
      const double value = sqlite3_column_double(stmt, column);
      if (value >= -9.2e18 && value <= 9.2e18 &&
          value == static_cast<double>(static_cast<std::int64_t>(value))) {
        return whole(static_cast<std::int64_t>(value));
      }
      const int length = std::snprintf(number, sizeof number, "%.17g", value);
      return append_part(key, 'r', std::string_view(number, static_cast<std::size_t>(length)),
                         false);
    }
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      return append_part(
          key, 't',
          std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))),
          nocase);
    }
    default: {
      const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, column));
      return append_part(
          key, 'b',
          std::string_view(blob, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))),
          false);
    }
  }
}

// Whether a result column comes from a table column declared COLLATE NOCASE.
bool nocase_column(sqlite3* db, sqlite3_stmt* stmt, int column) {
  const char* table = sqlite3_column_table_name(stmt, column);
  const char* origin = sqlite3_column_origin_name(stmt, column);
  const char* database = sqlite3_column_database_name(stmt, column);
  const char* collation = nullptr;
  if (!table || !origin) return false;
  if (sqlite3_table_column_metadata(db, database, table, origin, nullptr, &collation, nullptr,
                                    nullptr, nullptr) != SQLITE_OK)
    return false;
  return collation && sqlite3_stricmp(collation, "NOCASE") == 0;
}

struct Group {
  std::vector<ValuePtr> keys;  // the first row's
  std::vector<EngineSum> sums;
};

// The groups of some rows, in the order of their first rows.
struct Sums {
  std::vector<Group> groups;
  std::unordered_map<std::string, std::size_t> found;

  void read(sqlite3* db, sqlite3_stmt* rows, const std::string& path, int keys,
            const std::vector<bool>& nocase) {
    const int width = sqlite3_column_count(rows);
    std::string key;
    for (;;) {
      const int rc = sqlite3_step(rows);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) throw_engine_error(db, rc, path);
      key.clear();
      for (int c = 0; c < keys; ++c) append_key(key, rows, c, nocase[static_cast<std::size_t>(c)]);
      auto [at, added] = found.try_emplace(key, groups.size());
      if (added) {
        Group group;
        for (int c = 0; c < keys; ++c) {
          group.keys.emplace_back(sqlite3_value_dup(sqlite3_column_value(rows, c)));
          if (!group.keys.back()) throw std::bad_alloc();
        }
        group.sums.resize(static_cast<std::size_t>(width - keys));
        groups.push_back(std::move(group));
      }
      Group& group = groups[at->second];
      for (int c = keys; c < width; ++c)
        group.sums[static_cast<std::size_t>(c - keys)].add(rows, c);
    }
  }

  // Adds the groups of rows that came after these, new ones in the order they came.
  void merge(Sums&& later) {
    std::vector<const std::string*> keys_in_order(later.groups.size());
    for (const auto& [key, index] : later.found) keys_in_order[index] = &key;
    for (std::size_t index = 0; index < later.groups.size(); ++index) {
      Group& group = later.groups[index];
      auto [at, added] = found.try_emplace(*keys_in_order[index], groups.size());
      if (added) {
        groups.push_back(std::move(group));
        continue;
      }
      auto& sums = groups[at->second].sums;
      for (std::size_t c = 0; c < sums.size(); ++c) sums[c].merge(group.sums[c]);
    }
  }
};

// The result's columns as the first part names them, each key with its collation.
struct Layout {
  int width = 0;
  std::vector<bool> nocase;
  std::string columns;
};

Layout layout_of(sqlite3* db, sqlite3_stmt* rows, int keys) {
  Layout layout;
  layout.width = sqlite3_column_count(rows);
  if (keys < 1 || keys > layout.width) throw std::invalid_argument("group_into: bad key count");
  for (int c = 0; c < layout.width; ++c) {
    layout.nocase.push_back(c < keys && nocase_column(db, rows, c));
    if (c) layout.columns += ", ";
    layout.columns += quote_identifier(sqlite3_column_name(rows, c));
    if (layout.nocase.back()) layout.columns += " COLLATE NOCASE";
  }
  return layout;
}

void check_width(sqlite3_stmt* rows, const Layout& layout) {
  if (sqlite3_column_count(rows) != layout.width)
    throw vb::err::provider_error(
        "SELECTs to the left and right of UNION ALL do not have the same number of result "
        "columns");
}

}  // namespace

void Connection::group_into(const std::string& table, const std::vector<std::string>& jet_parts,
                            int keys) {
  if (!db_) throw closed_error();
  if (jet_parts.empty()) throw std::invalid_argument("group_into: no rows to group");
  // The parts are read side by side, each on a handle of its own, where that can gain and every
  // handle's read sees the same commits: that is so when the file's version is the same before
  // the first read and after the last. Otherwise, or inside a transaction, one statement reads
  // them all, as UNION ALL.
  std::optional<StatementCache::DataState> before;
  if (jet_parts.size() > 1 && std::thread::hardware_concurrency() > 1)
    before = statements_->data_state(path_);
  Layout layout;
  Sums sums;
  if (before) {
    Statement first(db_, translate_shared(jet_parts.front())->sql, path_);
    layout = layout_of(db_, first.get(), keys);
    std::vector<std::future<Sums>> later;
    for (std::size_t part = 1; part < jet_parts.size() && before; ++part) {
      try {
        later.push_back(std::async(std::launch::async, [&, part] {
          Connection sibling;
          if (pool_) {
            sibling.open(path_, *pool_);
          } else {
            sibling.open(path_);
          }
          Statement rows(sibling.db_, translate_shared(jet_parts[part])->sql, path_);
          check_width(rows.get(), layout);
          Sums part_sums;
          part_sums.read(sibling.db_, rows.get(), path_, keys, layout.nocase);
          return part_sums;
        }));
      } catch (const std::system_error&) {
        before.reset();  // no thread to be had: one statement reads them all
      }
    }
    // Every part is waited for before a failure goes on.
    std::exception_ptr failure;
    try {
      sums.read(db_, first.get(), path_, keys, layout.nocase);
    } catch (...) {
      failure = std::current_exception();
    }
    first.reset();
    for (auto& part : later) {
      try {
        Sums part_sums = part.get();
        if (!failure) sums.merge(std::move(part_sums));
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
    if (failure) std::rethrow_exception(failure);
    if (before && statements_->data_state(path_) != before) before.reset();
  }
  if (!before) {
    sums = Sums();
    std::string all;
    for (const std::string& part : jet_parts) all += (all.empty() ? "" : " UNION ALL ") + part;
    Statement rows(db_, translate_shared(all)->sql, path_);
    layout = layout_of(db_, rows.get(), keys);
    sums.read(db_, rows.get(), path_, keys, layout.nocase);
  }

  const int width = layout.width;
  const std::string target = "temp." + quote_identifier(table);
  execute_native("DROP TABLE IF EXISTS " + target);
  execute_native("CREATE TEMP TABLE " + quote_identifier(table) + " (" + layout.columns + ")");
  std::string insert = "INSERT INTO " + target + " VALUES (?";
  for (int c = 1; c < width; ++c) insert += ", ?";
  Statement add(db_, insert + ")", path_);
  for (const Group& group : sums.groups) {
    for (int c = 0; c < keys; ++c)
      sqlite3_bind_value(add.get(), c + 1, group.keys[static_cast<std::size_t>(c)].get());
    for (int c = keys; c < width; ++c) {
      const EngineSum& sum = group.sums[static_cast<std::size_t>(c - keys)];
      if (sum.count == 0) {
        sqlite3_bind_null(add.get(), c + 1);
      } else if (sum.overflow) {
        throw vb::err::provider_error("integer overflow");
      } else if (sum.approximate) {
        sqlite3_bind_double(add.get(), c + 1, sum.real);
      } else {
        sqlite3_bind_int64(add.get(), c + 1, sum.integer);
      }
    }
    const int rc = sqlite3_step(add.get());
    if (rc != SQLITE_DONE) throw_engine_error(db_, rc, path_);
    sqlite3_reset(add.get());
  }
}

}  // namespace db
