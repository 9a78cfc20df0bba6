// Connections: opening existing files only, creating new ones, running text commands.
#include <sqlite3.h>

#include <fstream>
#include <thread>

#include "platform/db/db.h"
#include "platform/db/sqlite_support.h"
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::create_sample_schema;
using testing::error_number;
using testing::error_text;
using testing::rows_text;
using testing::TempDir;

constexpr long kProviderError = -2147467259;

std::string pragma(const Connection& connection, const std::string& name) {
  return testing::native_value(connection.path(), "PRAGMA " + name);
}

// Another program's connection to the same file, through SQLite itself.
class OtherProgram {
 public:
  explicit OtherProgram(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  }
  ~OtherProgram() { sqlite3_close_v2(db_); }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  void run(const char* sql) {
    ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
  }
  long long rows() {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db_, "SELECT count(*) FROM T", -1, &stmt, nullptr);
    const long long n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return n;
  }

 private:
  sqlite3* db_ = nullptr;
};

// A file as the desktop system's own tools make it: in the rollback journal, one row in T.
std::string file_of_other_tool(const TempDir& dir) {
  const std::string path = dir.file("Tripschl.db");
  OtherProgram(path).run("CREATE TABLE T (X INTEGER, NAME TEXT); INSERT INTO T VALUES (1, 'a')");
  return path;
}

std::string file_content(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Connection, opening_a_missing_file_or_no_database_names_it_and_changes_nothing) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  Connection connection;
  try {
    connection.open(path);
    ADD_FAILURE() << "opened a missing file";
  } catch (const vb::RuntimeError& error) {
    EXPECT_EQ(error.number(), kProviderError);
    EXPECT_EQ(error.description(), "Could not find file '" + path + "'.");
    EXPECT_TRUE(error.outside_text());
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  dir.write("trip.db", std::string(2048, 'x'));
  EXPECT_EQ(error_text([&] { connection.open(path); }),
            "Unrecognized database format '" + path + "'.");
  EXPECT_EQ(file_content(path), std::string(2048, 'x'));
  EXPECT_EQ(error_number([&] { connection.create(path); }), kProviderError);  // nor overwrites it
  EXPECT_EQ(file_content(path), std::string(2048, 'x'));
  EXPECT_FALSE(connection.is_open());
  connection.create(dir.file("new.db"));
  EXPECT_EQ(pragma(connection, "journal_mode"), "wal");
  connection.close();
  EXPECT_EQ(error_number([&] { connection.execute("DELETE FROM T"); }), 3704);
}

TEST(Connection, execute_runs_jet_commands_and_counts_rows) {
  TempDir dir;
  Connection connection;
  connection.create(dir.file("trip.db"));
  create_sample_schema(connection);
  const std::pair<const char*, long> commands[] = {
      {"UPDATE TRIPSREQ SET STATUS = 'x', CALCNUMDRIVERS = TRUE WHERE CUSTOMER = 'lhs'", 2},
      {"DELETE FROM TRIPSREQ where TRIPNUM = 2", 1},
      {"INSERT INTO TRIPSREQ (CUSTOMER, DEPDATE) VALUES ('NEW', #3/20/2009#)", 1},
  };
  for (const auto& [jet, affected] : commands) EXPECT_EQ(connection.execute(jet), affected) << jet;
  EXPECT_EQ(rows_text("SELECT TRIPNUM, CUSTOMER, STATUS, CALCNUMDRIVERS, DEPDATE FROM TRIPSREQ "
                      "ORDER BY TRIPNUM",
                      connection),
            "1|LHS|x|True|3/15/2009;3|lhs|x|True|5/17/2009;4|NEW|Null|Null|3/20/2009");
  EXPECT_EQ(error_number([&] { connection.execute("DELETE FROM NOSUCH"); }), -2147217865);
  EXPECT_EQ(error_number([&] { connection.execute_native("SELEC 1"); }), -2147217900);
}

TEST(Connection, a_file_another_tool_keeps_busy_opens_as_it_is_and_turns_wal_for_later_saves) {
  TempDir dir;
  const std::string path = file_of_other_tool(dir);
  OtherProgram desktop(path);
  desktop.run("BEGIN");
  EXPECT_EQ(desktop.rows(), 1);
  Connection during;
  during.open(path);
  EXPECT_EQ(pragma(during, "journal_mode"), "delete");
  EXPECT_EQ(rows_text("SELECT X FROM T", during), "1");
  desktop.run("COMMIT");
  EXPECT_EQ(during.execute("INSERT INTO T (X) VALUES (2)"), 1);  // no transaction left behind
  Connection after;
  after.open(path);
  EXPECT_EQ(pragma(after, "journal_mode"), "wal");
  EXPECT_EQ(rows_text("SELECT clng(X) AS A, trim$(' b ') AS B FROM T ORDER BY X", after),
            "1|b;2|b");  // an opened file knows the Jet functions too
  // Now a reader in the other program holds up no save, and its report reads on from its start.
  desktop.run("BEGIN");
  EXPECT_EQ(desktop.rows(), 2);
  Recordset rs;
  rs.open("SELECT * FROM T", after, CursorType::Dynamic, LockType::Optimistic);
  rs.add_new();
  rs.set_field("X", 3);
  rs.update();
  EXPECT_EQ(desktop.rows(), 2);
  desktop.run("COMMIT");
  EXPECT_EQ(desktop.rows(), 3);
}

TEST(Connection, a_write_waits_for_the_lock_another_program_holds_a_while) {
  TempDir dir;
  const std::string path = file_of_other_tool(dir);
  Connection connection;
  connection.open(path);
  OtherProgram other(path);
  other.run("BEGIN IMMEDIATE");
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other.run("COMMIT");
  });
  EXPECT_EQ(error_text([&] { connection.execute("INSERT INTO T (X) VALUES (2)"); }), "(no error)");
  release.join();
}

// The default busy timeout sleeps 100 ms between tries: under a stream of short commits a
// waiter keeps missing the free moments and fails as locked.
TEST(LockWait, tries_again_within_two_milliseconds_until_ten_seconds_have_passed) {
  LockWait wait;
  for (int tries : {0, 8, 1000000}) {
    const auto pause = wait.next_pause(tries, std::chrono::milliseconds(9999));
    ASSERT_TRUE(pause.has_value()) << tries;
    EXPECT_TRUE(pause->count() > 0 && *pause <= std::chrono::milliseconds(2)) << tries;
  }
  EXPECT_FALSE(wait.next_pause(3, std::chrono::milliseconds(10000)).has_value());
}

}  // namespace
}  // namespace db
