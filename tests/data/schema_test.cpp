// init-db: numbering, comparisons and defaults of the stored forms, the indexes an older database
// gains, and the refusal to overwrite anything.
#include "data/schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/db/db.h"
#include "tests/data/native.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using data_test::native_count;
using data_test::native_value;

class Schema : public ::testing::Test {
 protected:
  Schema() { data::create_databases(dir.str()); }
  std::string path(const char* database) const { return (dir.path() / database).string(); }
  void run(const char* database, const std::string& sql) const {
    db::Connection connection;
    connection.open(path(database));
    connection.execute_native(sql);
  }
  testing_support::TempDir dir;
};

TEST_F(Schema, request_and_trip_numbers_are_assigned_and_never_reused) {
  for (const auto& [database, table] :
       {std::pair{data::kRequestDatabase, "TRIPSREQ"}, std::pair{data::kTripDatabase, "TRIPS"}}) {
    const std::string insert = std::string("INSERT INTO ") + table + " (CUSTOMER) VALUES ";
    run(database, insert + "('ADAMS');" + insert + "('BROOK'); DELETE FROM " + table +
                      " WHERE CUSTOMER = 'BROOK';" + insert + "('CEDAR')");
    EXPECT_EQ(
        native_value(path(database), "SELECT group_concat(TRIPNUM) FROM " + std::string(table)),
        "1,3");
  }
}

TEST_F(Schema, text_compares_without_regard_to_case_and_yes_no_columns_default) {
  run(data::kTripDatabase,
      "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ADAMS', 'A');"
      "INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('Adams', 'pta');"
      "INSERT INTO TRIPS (CUSTOMER) VALUES ('ADAMS'); INSERT INTO FUND (FUND) VALUES ('100')");
  const std::string trip = path(data::kTripDatabase);
  EXPECT_EQ(native_count(trip,
                         "SELECT count(*) FROM CUSTOMER INNER JOIN CUSTOMER_FUND ON "
                         "CUSTOMER.CUSTOMER = CUSTOMER_FUND.CUSTOMER WHERE FUND = 'PTA'"),
            1);
  EXPECT_EQ(native_value(trip, "SELECT ASSIGNED || ',' || BILLED || ',' || CANCELED FROM TRIPS"),
            "0,0,0");
  // A reference row typed in by an importer is offered.
  EXPECT_EQ(native_value(trip, "SELECT ACTIVE FROM FUND"), "-1");
}

TEST_F(Schema, opening_an_older_database_adds_the_missing_indexes_once) {
  const std::string file = path(data::kTripDatabase);
  const std::string count_sql =
      "SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL";
  const long all = native_count(file, count_sql);
  run(data::kTripDatabase,
      "DROP INDEX TRIPS_DEPDATE_FLAGS; DROP INDEX ARDETAIL_TRIPNUM_TRANCODE; DROP INDEX "
      "TRIPS_CUSTOMER_DEPDATE");
  ASSERT_EQ(native_count(file, count_sql), all - 3);
  db::Connection connection;
  connection.open(file);
  data::add_missing_indexes(connection, data::kTripDatabase);
  EXPECT_EQ(native_count(file, count_sql), all);
}

TEST(SchemaRefusal, refuses_an_existing_file_or_a_missing_directory_and_touches_nothing) {
  for (const char* blocker : {"qsclsc1.db", "Tripschl.db-wal", ""}) {
    testing_support::TempDir fresh;
    if (*blocker) fresh.write(blocker, "precious");
    const fs::path named = *blocker ? fresh.path() / blocker : fresh.path() / "no-such-dir";
    try {
      data::create_databases((*blocker ? fresh.path() : named).string());
      ADD_FAILURE() << "created the databases despite " << named;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(named.string()), std::string::npos) << error.what();
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(fresh.path()), fs::directory_iterator()),
              *blocker ? 1 : 0);
    std::ifstream kept(named);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, *blocker ? "precious" : "") << blocker;
  }
}

}  // namespace
