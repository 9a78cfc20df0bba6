// Reused connections: a handle closed into a pool serves the next opening of the same file, while
// the closing connection and its recordsets behave closed, and a replaced file is opened afresh.
#include <filesystem>
#include <fstream>

#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::error_number;
using testing::rows_text;
using testing::TempDir;

class ScaleConnections : public ::testing::Test {
 protected:
  ScaleConnections() { make(path_, "first"); }
  void make(const std::string& path, const std::string& name) {
    Connection connection;
    connection.create(path);
    connection.execute_native("CREATE TABLE T (NAME TEXT); INSERT INTO T VALUES ('" + name + "')");
  }
  TempDir dir_;
  const std::string path_ = dir_.file("trip.db");
  ConnectionPool pool_;
};

TEST_F(ScaleConnections, a_closed_handle_serves_the_next_opening_yet_its_recordsets_stay_closed) {
  Connection first;
  first.open(path_, pool_);
  first.execute_native("CREATE TEMP TABLE MARK (X)");
  Recordset rs;
  rs.open("SELECT NAME FROM T", first, CursorType::Dynamic, LockType::Optimistic);
  rs.move_first();  // read in full: no statement is left running
  first.close();
  Connection second;
  second.open(path_, pool_);
  EXPECT_EQ(rows_text("SELECT count(*) AS N FROM temp.MARK", second), "0");  // the same handle
  EXPECT_FALSE(first.is_open());
  EXPECT_EQ(error_number([&] { first.execute("SELECT 1"); }), 3704);
  rs.set_field("NAME", vb::Variant(std::string("changed")));
  EXPECT_EQ(error_number([&] { rs.update(); }), 3704);
  EXPECT_EQ(rows_text("SELECT NAME FROM T", second), "first");
}

TEST_F(ScaleConnections, a_file_replaced_or_overwritten_at_the_same_path_is_opened_afresh) {
  Connection connection;
  connection.open(path_, pool_);
  connection.close();
  make(dir_.file("new.db"), "second");
  std::filesystem::rename(dir_.file("new.db"), path_);
  connection.open(path_, pool_);
  EXPECT_EQ(rows_text("SELECT NAME FROM T", connection), "second");
  connection.close();
  std::ofstream(path_, std::ios::binary | std::ios::in) << std::string(4096, 'x');
  EXPECT_EQ(testing::error_text([&] { connection.open(path_, pool_); }),
            "Unrecognized database format '" + path_ + "'.");
  std::filesystem::remove(path_);
  EXPECT_EQ(testing::error_text([&] { connection.open(path_, pool_); }),
            "Could not find file '" + path_ + "'.");
}

}  // namespace
}  // namespace db
