// The indexes of a district at scale: a date-bounded search reads TRIPS, ARDETAIL and TRIPSREQ
// through indexes, and a database made before they existed gains them when it is opened.
#include <gtest/gtest.h>

#include <string>

#include "data/schema.h"
#include "platform/db/jet.h"
#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

using data_test::native_count;
using data_test::native_rows;

class ScaleIndexes : public ::testing::Test {
 protected:
  ScaleIndexes() { data::create_databases(dir.str()); }
  std::string path(const char* database) const { return (dir.path() / database).string(); }
  // The plan of a Jet query, its lines joined.
  std::string plan(const char* database, const std::string& jet_sql) const {
    std::string text;
    for (const auto& row :
         native_rows(path(database), "EXPLAIN QUERY PLAN " + db::translate_shared(jet_sql)->sql))
      text += row.back() + "\n";
    return text;
  }
  testing_support::TempDir dir;
};

TEST_F(ScaleIndexes, date_bounded_searches_read_no_table_in_full) {
  const std::string trips =
      plan(data::kTripDatabase,
           "SELECT TRIPS.TRIPNUM, (SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRANCODE='BIL' AND "
           "TRIPNUM=TRIPS.TRIPNUM) AS TOTALBILLED FROM TRIPS LEFT JOIN CUSTOMER ON TRIPS.CUSTOMER "
           "= CUSTOMER.CUSTOMER WHERE TRIPS.DEPDATE >= #3/1/2026# and TRIPS.DEPDATE <= "
           "#3/31/2026# AND TRIPS.ASSIGNED = TRUE ORDER BY TRIPS.DEPDATE");
  const std::string requests =
      plan(data::kRequestDatabase,
           "SELECT TRIPSREQ.TRIPNUM FROM TRIPSREQ WHERE TRIPSREQ.DEPDATE >= #3/1/2026# and "
           "TRIPSREQ.DEPDATE <= #3/31/2026# AND TRIPSREQ.CUSTOMER = 'LHS'");
  for (const std::string& text : {trips, requests}) {
    EXPECT_EQ(text.find("SCAN TRIPS"), std::string::npos) << text;
    EXPECT_EQ(text.find("SCAN ARDETAIL"), std::string::npos) << text;
    EXPECT_EQ(text.find("SCAN TRIPSREQ"), std::string::npos) << text;
    EXPECT_NE(text.find("INDEX"), std::string::npos) << text;
  }
}

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
