// Connections: opening existing files only, creating new ones, running text commands.
#include <sqlite3.h>

#include <fstream>

#include "platform/db/db.h"
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::create_sample_schema;
using testing::error_number;
using testing::error_text;
using testing::rows_text;
using testing::TempDir;

constexpr long kProviderError = -2147467259;

std::string pragma(Connection& connection, const std::string& name) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(connection.handle(), ("PRAGMA " + name).c_str(), -1, &stmt, nullptr);
  std::string value = "(none)";
  if (sqlite3_step(stmt) == SQLITE_ROW)
    value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  return value;
}

std::string file_content(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Connection, opening_a_missing_file_names_it_and_creates_nothing) {
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
  EXPECT_FALSE(connection.is_open());
  EXPECT_EQ(connection.state(), 0);
  EXPECT_EQ(error_text([&] { connection.open(""); }), "Could not find file ''.");
}

TEST(Connection, opening_a_file_that_is_no_database_is_refused_at_open) {
  TempDir dir;
  const std::string path = dir.file("trip.db");
  std::ofstream(path) << std::string(2048, 'x');
  Connection connection;
  EXPECT_EQ(error_number([&] { connection.open(path); }), kProviderError);
  EXPECT_EQ(error_text([&] { connection.open(path); }),
            "Unrecognized database format '" + path + "'.");
  EXPECT_FALSE(connection.is_open());
  EXPECT_EQ(file_content(path), std::string(2048, 'x'));
  EXPECT_EQ(error_number([&] { connection.open(dir.file("")); }), kProviderError);
}

TEST(Connection, create_makes_a_wal_database_and_refuses_an_existing_file) {
  TempDir dir;
  const std::string path = dir.file("new.db");
  Connection connection;
  connection.create(path);
  EXPECT_TRUE(connection.is_open());
  EXPECT_EQ(connection.path(), path);
  EXPECT_EQ(pragma(connection, "journal_mode"), "wal");
  EXPECT_EQ(pragma(connection, "foreign_keys"), "0");
  connection.close();

  Connection again;
  again.open(path);
  EXPECT_EQ(again.state(), 1);
  again.close();

  const std::string other = dir.file("other.db");
  std::ofstream(other) << "keep me";
  EXPECT_EQ(error_number([&] { again.create(path); }), kProviderError);
  EXPECT_EQ(error_number([&] { again.create(other); }), kProviderError);
  EXPECT_EQ(file_content(other), "keep me");
  EXPECT_FALSE(again.is_open());
}

TEST(Connection, execute_runs_jet_commands_and_counts_rows) {
  TempDir dir;
  Connection connection;
  connection.create(dir.file("trip.db"));
  create_sample_schema(connection);
  struct Command {
    const char* jet;
    long affected;
  };
  const std::vector<Command> commands = {
      {"UPDATE TRIPSREQ SET STATUS = 'x', CALCNUMDRIVERS = TRUE WHERE CUSTOMER = 'lhs'", 2},
      {"DELETE FROM TRIPSREQ where TRIPNUM = 2", 1},
      {"DELETE * FROM TRIPSREQ WHERE TRIPNUM = 99", 0},
      {"INSERT INTO TRIPSREQ (CUSTOMER, DEPDATE) VALUES ('NEW', #3/20/2009#)", 1},
      {"SELECT * FROM TRIPSREQ", 0},
  };
  for (const Command& command : commands)
    EXPECT_EQ(connection.execute(command.jet), command.affected) << command.jet;
  EXPECT_EQ(rows_text("SELECT TRIPNUM, CUSTOMER, STATUS, CALCNUMDRIVERS, DEPDATE FROM TRIPSREQ "
                      "ORDER BY TRIPNUM",
                      connection),
            "1|LHS|x|True|3/15/2009;3|lhs|x|True|5/17/2009;4|NEW|Null|Null|3/20/2009");
  EXPECT_EQ(error_number([&] { connection.execute("DELETE FROM NOSUCH"); }), -2147217865);
  EXPECT_EQ(error_number([&] { connection.execute_native("SELEC 1"); }), -2147217900);
}

TEST(Connection, close_is_harmless_when_repeated_and_stops_further_work) {
  TempDir dir;
  Connection connection;
  connection.create(dir.file("trip.db"));
  connection.close();
  connection.close();
  EXPECT_EQ(connection.state(), 0);
  EXPECT_EQ(error_number([&] { connection.execute("DELETE FROM T"); }), 3704);
  EXPECT_EQ(error_number([&] { connection.execute_native("SELECT 1"); }), 3704);
}

TEST(Connection, an_opened_file_knows_the_jet_functions) {
  TempDir dir;
  {
    Connection maker;
    maker.create(dir.file("trip.db"));
    create_sample_schema(maker);
  }
  Connection connection;
  connection.open(dir.file("trip.db"));
  EXPECT_EQ(rows_text("SELECT clng('4') AS A, trim$(' b ') AS B, STR(2) AS C FROM GRADE WHERE "
                      "GRADE = '5'",
                      connection),
            "4|b| 2");
}

}  // namespace
}  // namespace db
