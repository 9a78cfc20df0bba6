// Sums per group without the engine's sort: a GROUP BY sorts every row it groups, which over a
// district's years of trips costs more than reading them. Here the rows are read in the order
// the engine finds them and summed in a hash table, keyed and summed as the engine would.
#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/db/sqlite_support.h"

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

struct Group {
  std::vector<ValuePtr> keys;  // the first row's
  std::vector<EngineSum> sums;
};

// A key value as the engine's GROUP BY compares it: numbers by value, text by its collation
// (NOCASE folds ASCII letters only), each part prefixed by its length.
void append_key(std::string& key, sqlite3_stmt* stmt, int column, bool nocase) {
  std::string part;
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      part = "z";
      break;
    case SQLITE_INTEGER:
      part = "n" + std::to_string(sqlite3_column_int64(stmt, column));
      break;
    case SQLITE_FLOAT: {
      const double value = sqlite3_column_double(stmt, column);
      if (value >= -9.2e18 && value <= 9.2e18 &&
          value == static_cast<double>(static_cast<std::int64_t>(value))) {
        part = "n" + std::to_string(static_cast<std::int64_t>(value));
      } else {
        char text[40];
        std::snprintf(text, sizeof text, "r%.17g", value);
        part = text;
      }
      break;
    }
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      part.assign("t").append(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
      if (nocase) {
        for (char& c : part)
          if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
      break;
    }
    default: {
      const void* blob = sqlite3_column_blob(stmt, column);
      part.assign("b").append(static_cast<const char*>(blob),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
    }
  }
  key += std::to_string(part.size());
  key += ':';
  key += part;
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

}  // namespace

void Connection::group_into(const std::string& table, std::string_view jet_sql, int keys) {
  if (!db_) throw closed_error();
  const auto translation = translate_shared(jet_sql);
  Statement rows(db_, translation->sql, path_);
  const int width = sqlite3_column_count(rows.get());
  if (keys < 1 || keys > width) throw std::invalid_argument("group_into: bad key count");
  std::vector<bool> nocase;
  std::string columns;
  for (int c = 0; c < width; ++c) {
    nocase.push_back(c < keys && nocase_column(db_, rows.get(), c));
    if (c) columns += ", ";
    columns += quote_identifier(sqlite3_column_name(rows.get(), c));
    if (nocase.back()) columns += " COLLATE NOCASE";
  }

  std::vector<Group> groups;
  std::unordered_map<std::string, std::size_t> found;
  std::string key;
  for (;;) {
    const int rc = sqlite3_step(rows.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw_engine_error(db_, rc, path_);
    key.clear();
    for (int c = 0; c < keys; ++c) append_key(key, rows.get(), c, nocase[c]);
    auto [at, added] = found.try_emplace(key, groups.size());
    if (added) {
      Group group;
      for (int c = 0; c < keys; ++c) {
        group.keys.emplace_back(sqlite3_value_dup(sqlite3_column_value(rows.get(), c)));
        if (!group.keys.back()) throw std::bad_alloc();
      }
      group.sums.resize(static_cast<std::size_t>(width - keys));
      groups.push_back(std::move(group));
    }
    Group& group = groups[at->second];
    for (int c = keys; c < width; ++c)
      group.sums[static_cast<std::size_t>(c - keys)].add(rows.get(), c);
  }
  rows.reset();

  const std::string target = "temp." + quote_identifier(table);
  execute_native("DROP TABLE IF EXISTS " + target);
  execute_native("CREATE TEMP TABLE " + quote_identifier(table) + " (" + columns + ")");
  std::string insert = "INSERT INTO " + target + " VALUES (?";
  for (int c = 1; c < width; ++c) insert += ", ?";
  Statement add(db_, insert + ")", path_);
  for (const Group& group : groups) {
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
