// Reused connections: a handle closed into a pool serves the next opening of the same file, while
// the closing connection and its recordsets behave closed, and a replaced file is opened afresh.
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::error_number;
using testing::rows_text;
using testing::TempDir;

void make(const std::string& path, const std::string& name) {
  Connection connection;
  connection.create(path);
  connection.execute_native("CREATE TABLE T (NAME TEXT); INSERT INTO T VALUES ('" + name + "')");
}

TEST(ScaleConnections, a_closed_handle_serves_the_next_opening_of_the_same_file_only) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  make(path, "first");
  ConnectionPool pool;
  Connection first;
  first.open(path, pool);
  first.execute_native("CREATE TEMP TABLE MARK (X)");
  Recordset rs;
  rs.open("SELECT NAME FROM T", first, CursorType::Dynamic, LockType::Optimistic);
  rs.move_first();  // read in full: no statement is left running
  first.close();
  Connection second;
  second.open(path, pool);
  EXPECT_EQ(rows_text("SELECT count(*) AS N FROM temp.MARK", second), "0");  // the same handle
  EXPECT_EQ(error_number([&] { first.execute("SELECT 1"); }), 3704);
  rs.set_field("NAME", vb::Variant(std::string("changed")));
  EXPECT_EQ(error_number([&] { rs.update(); }), 3704);
  EXPECT_EQ(rows_text("SELECT NAME FROM T", second), "first");
  second.close();
  // A file replaced or removed at the same path is opened afresh.
  make(dir.file("new.db"), "second");
  std::filesystem::rename(dir.file("new.db"), path);
  second.open(path, pool);
  EXPECT_EQ(rows_text("SELECT NAME FROM T", second), "second");
  second.close();
  std::filesystem::remove(path);
  EXPECT_EQ(testing::error_text([&] { second.open(path, pool); }),
            "Could not find file '" + path + "'.");
}

// The pool is shared: a handle one thread left serves another thread's opening, the one left
// last first; threads opening and closing at once each get a handle of their own.
TEST(ScaleConnections, a_handle_left_by_one_thread_serves_another) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  make(path, "first");
  ConnectionPool pool;
  std::thread([&] {
    Connection older, newer;
    older.open(path, pool);
    newer.open(path, pool);
    older.execute_native("CREATE TEMP TABLE OLDER (X)");
    newer.execute_native("CREATE TEMP TABLE NEWER (X)");
    older.close();
    newer.close();
  }).join();
  std::thread([&] {
    Connection connection;
    connection.open(path, pool);
    EXPECT_EQ(rows_text("SELECT name FROM temp.sqlite_schema", connection), "NEWER");
  }).join();
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        Connection connection;
        connection.open(path, pool);
        if (rows_text("SELECT NAME FROM T", connection) != "first") ++wrong;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

// A count asked again is taken again whenever a row may have changed since: by another handle or
// another process, by this handle, or inside a transaction that is then rolled back.
TEST(ScaleConnections, a_count_asked_again_follows_every_change) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  make(path, "first");
  Connection reader, writer;
  reader.open(path);
  writer.open(path);
  const char* count = "SELECT NAME FROM T WHERE NAME <> 'x' ORDER BY NAME";
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"1", [] {}},
      {"2", [&] { writer.execute("INSERT INTO T (NAME) VALUES ('b')"); }},
      {"1", [&] { reader.execute("DELETE FROM T WHERE NAME = 'b'"); }},
      {"1",
       [&] {
         reader.execute_native("BEGIN");
         reader.execute("INSERT INTO T (NAME) VALUES ('c')");
         EXPECT_EQ(reader.count_rows(count), 2);
         reader.execute_native("ROLLBACK");
       }},
      {"2",
       [&] {
         EXPECT_EQ(testing::native_value(path, "SELECT count(*) FROM T"), "1");
         sqlite3* other = nullptr;
         ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
         sqlite3_exec(other, "INSERT INTO T VALUES ('d')", nullptr, nullptr, nullptr);
         sqlite3_close(other);
       }},
  };
  for (const auto& [expected, change] : steps) {
    change();
    EXPECT_EQ(std::to_string(reader.count_rows(count)), expected);
  }
}

// Sums per group without the sort equal the engine's own GROUP BY: keys by the column's collation
// (NOCASE folds case), numbers by value, Null keys together; sums integer, real or Null as SUM()
// gives them, text counting as the number it reads as; rows in parts read side by side are
// summed as their union.
TEST(ScaleConnections, sums_per_group_equal_the_engines_group_by) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  Connection connection;
  connection.create(path);
  connection.execute_native(R"(
    CREATE TABLE T (K TEXT COLLATE NOCASE, D, A, B);
    INSERT INTO T VALUES ('lhs', 5, 1, NULL), ('LHS', 5.0, 2, NULL), ('LHS', 6, 2.5, NULL),
      (NULL, NULL, '7', 'x'), (NULL, NULL, 3, NULL), ('mms', 5, NULL, NULL), ('Mms', 5, 1, 2);)");
  connection.group_into("SUMS",
                        {"SELECT K, D, A, B FROM T WHERE rowid IN (1, 4, 6)",
                         "SELECT K, D, A, B FROM T WHERE rowid NOT IN (1, 4, 6)"},
                        2);
  const std::string grouped =
      "SELECT upper(K) AS K, D, A, B, typeof(A) AS TA, typeof(B) AS TB FROM temp.SUMS ORDER BY 1, "
      "2";
  const std::string engine =
      "SELECT upper(K) AS K, D, SUM(A) AS A, SUM(B) AS B, typeof(SUM(A)) AS TA, typeof(SUM(B)) "
      "AS TB FROM T GROUP BY K, D ORDER BY 1, 2";
  EXPECT_EQ(rows_text(grouped, connection), rows_text(engine, connection));
  EXPECT_EQ(rows_text("SELECT count(*) AS N FROM temp.SUMS", connection), "4");
  // Made anew each time.
  connection.group_into("SUMS", {"SELECT K, D, A, B FROM T WHERE D = 6"}, 2);
  EXPECT_EQ(rows_text("SELECT K, A FROM temp.SUMS", connection), "LHS|2.5");
  // Inside a transaction its own changes count, though no other handle sees them yet.
  connection.execute_native("BEGIN; INSERT INTO T VALUES ('LHS', 6, 4, NULL)");
  connection.group_into(
      "SUMS", {"SELECT K, D, A, B FROM T WHERE D <> 6", "SELECT K, D, A, B FROM T WHERE D = 6"}, 2);
  EXPECT_EQ(rows_text("SELECT K, A FROM temp.SUMS WHERE D = 6", connection), "LHS|6.5");
  connection.execute_native("ROLLBACK");
}

// Parts read side by side while another handle commits still sum one state of the file: every
// commit adds a row to each part, so any one state sums to an even number.
TEST(ScaleConnections, parts_read_side_by_side_sum_one_state_while_others_commit) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  Connection reader, writer;
  reader.create(path);
  reader.execute_native(
      "CREATE TABLE T (K TEXT, V INTEGER, P INTEGER); WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL "
      "SELECT I + 1 FROM N WHERE I < 20000) INSERT INTO T SELECT 'a', 1, I % 2 FROM N");
  writer.open(path);
  std::atomic<bool> done{false};
  std::string failure;
  std::thread commits([&] {
    try {
      while (!done)
        writer.execute_native("BEGIN; INSERT INTO T VALUES ('a', 1, 0), ('a', 1, 1); COMMIT");
    } catch (const std::exception& error) {
      failure = error.what();
    }
  });
  int odd = 0;
  try {
    for (int i = 0; i < 40; ++i) {
      reader.group_into("SUMS",
                        {"SELECT K, V FROM T WHERE P = 0", "SELECT K, V FROM T WHERE P = 1"}, 1);
      if (std::stol(rows_text("SELECT V FROM temp.SUMS", reader)) % 2 != 0) ++odd;
    }
  } catch (const std::exception& error) {
    failure = error.what();
  }
  done = true;
  commits.join();
  EXPECT_EQ(failure, "");
  EXPECT_EQ(odd, 0);
}

}  // namespace
}  // namespace db
