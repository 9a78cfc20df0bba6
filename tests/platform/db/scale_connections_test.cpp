// Reused connections: a handle closed into a pool serves the next opening of the same file, while
// the closing connection and its recordsets behave closed, and a replaced file is opened afresh.
#include <filesystem>

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

}  // namespace
}  // namespace db
