// The search indexes: a database made before they existed gains them when it is opened.
#include <gtest/gtest.h>

#include <string>

#include "data/schema.h"
#include "platform/db/db.h"
#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

using data_test::native_count;

class ScaleIndexes : public ::testing::Test {
 protected:
  ScaleIndexes() { data::create_databases(dir.str()); }
  std::string path(const char* database) const { return (dir.path() / database).string(); }
  testing_support::TempDir dir;
};

TEST_F(ScaleIndexes, opening_an_older_database_adds_the_missing_indexes_once) {
  const std::string file = path(data::kTripDatabase);
  const std::string count_sql =
      "SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL";
  const long all = native_count(file, count_sql);
  {
    db::Connection connection;
    connection.open(file);
    connection.execute_native(
        "DROP INDEX TRIPS_DEPDATE_FLAGS; DROP INDEX ARDETAIL_TRIPNUM_TRANCODE; DROP INDEX "
        "TRIPS_CUSTOMER_DEPDATE");
  }
  ASSERT_EQ(native_count(file, count_sql), all - 3);
  db::Connection connection;
  connection.open(file);
  data::add_missing_indexes(connection, data::kTripDatabase);
  EXPECT_EQ(native_count(file, count_sql), all);
}

}  // namespace
