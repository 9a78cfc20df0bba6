// Times SQL texts run straight on a database file, every row read to the end, as a page's own
// work without the page: bench/district compares the two.
//
//   sql_time DATABASE RUNS SQL...   (see native() for the forms of a text)
//   sql_time DATABASE plan SQL...   (the translated text and its query plan instead)
//
// Prints, for each text, "<rows> <median seconds> <min seconds>" on one line.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/jet.h"

namespace {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

long run_once(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "sql_time: %s\n%s\n", sqlite3_errmsg(db), sql.c_str());
    std::exit(2);
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
  long rows = 0;
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < sqlite3_column_count(raw); ++c) sqlite3_column_value(raw, c);
  }
  if (rc != SQLITE_DONE) {
    std::fprintf(stderr, "sql_time: %s\n", sqlite3_errmsg(db));
    std::exit(2);
  }
  return rows;
}

// "jet:TEXT" translated; "count:TEXT" counted as Connection::count_rows counts; "rows:OFFSET:
// LIMIT:TEXT" as Recordset::open_rows reads; anything else as it is.
std::string native(std::string_view text) {
  if (text.starts_with("jet:")) return db::translate_shared(text.substr(4))->sql;
  if (text.starts_with("count:")) return db::translate_shared(text.substr(6))->count_sql;
  if (text.starts_with("rows:")) {
    const std::size_t offset_end = text.find(':', 5);
    const std::size_t limit_end = text.find(':', offset_end + 1);
    return db::translate_shared(text.substr(limit_end + 1))->sql + " LIMIT " +
           std::string(text.substr(offset_end + 1, limit_end - offset_end - 1)) + " OFFSET " +
           std::string(text.substr(5, offset_end - 5));
  }
  return std::string(text);
}

void print_plan(sqlite3* db, const std::string& sql) {
  std::printf("%s\n", sql.c_str());
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &raw, nullptr) !=
      SQLITE_OK) {
    std::fprintf(stderr, "sql_time: %s\n", sqlite3_errmsg(db));
    std::exit(2);
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
  while (sqlite3_step(raw) == SQLITE_ROW)
    std::printf("  %s\n", reinterpret_cast<const char*>(sqlite3_column_text(raw, 3)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: sql_time DATABASE RUNS SQL...\n");
    return 2;
  }
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(argv[1], &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "sql_time: cannot open %s\n", argv[1]);
    return 2;
  }
  std::unique_ptr<sqlite3, CloseDatabase> db(raw);
  db::register_jet_functions(raw);
  sqlite3_exec(raw, "PRAGMA mmap_size = 2147418112", nullptr, nullptr, nullptr);  // as connections
  const int runs = std::max(1, std::atoi(argv[2]));
  for (int a = 3; a < argc; ++a) {
    const std::string_view text = argv[a];
    const std::string sql = native(text);
    if (std::string_view(argv[2]) == "plan") {
      print_plan(raw, sql);
      continue;
    }
    std::vector<double> seconds;
    long rows = 0;
    for (int r = 0; r < runs; ++r) {
      const auto start = std::chrono::steady_clock::now();
      rows = run_once(raw, sql);
      seconds.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%ld %.6f %.6f\n", rows, seconds[seconds.size() / 2], seconds.front());
  }
  return 0;
}
