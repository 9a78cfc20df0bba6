// The summary index of trip.db: made with the databases, and added to a file made before it when
// the file is opened, with every column the summary reads.
#include <gtest/gtest.h>

#include <string>

#include "data/schema.h"
#include "platform/db/db.h"
#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

using data_test::native_rows;

std::string index_columns(const std::string& file) {
  std::string columns;
  for (const auto& row :
       native_rows(file, std::string("PRAGMA index_info('") + data::kTripSummaryIndex + "')"))
    columns += (columns.empty() ? "" : ", ") + row[2];
  return columns;
}

TEST(SummaryIndex, an_older_trip_database_gains_the_summary_index_when_opened) {
  testing_support::TempDir dir;
  data::create_databases(dir.str());
  const std::string file = (dir.path() / data::kTripDatabase).string();
  EXPECT_EQ(index_columns(file), data::kTripSummaryColumns);
  {
    db::Connection connection;
    connection.open(file);
    connection.execute_native(std::string("DROP INDEX ") + data::kTripSummaryIndex);
  }
  ASSERT_EQ(index_columns(file), "");
  db::Connection connection;
  connection.open(file);
  data::add_missing_indexes(connection, data::kTripDatabase);
  EXPECT_EQ(index_columns(file),
            "DEPDATE, CUSTOMER, TRIPCAT, GRADE, FUND, DESTINATION, NUMSTUDENTS, NUMADULTS, "
            "ASSIGNED, BILLED, CANCELED");
}

}  // namespace
