// init-db: numbering, comparisons and defaults of the stored forms, and the refusal to overwrite
// anything.
#include "data/schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>

#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using data_test::native_count;
using data_test::native_value;

class Schema : public ::testing::Test {
 protected:
  Schema() { data::create_databases(dir.str()); }
  std::string path(const char* database) const { return (dir.path() / database).string(); }
  testing_support::TempDir dir;
};

TEST_F(Schema, request_and_trip_numbers_are_assigned_and_never_reused) {
  for (const auto& [database, table] :
       {std::pair{data::kRequestDatabase, "TRIPSREQ"}, std::pair{data::kTripDatabase, "TRIPS"}}) {
    {
      db::Connection connection;
      connection.open(path(database));
      const std::string insert = std::string("INSERT INTO ") + table + " (CUSTOMER) VALUES ";
      connection.execute_native(insert + "('ADAMS')");
      connection.execute_native(insert + "('BROOK')");
      connection.execute_native(std::string("DELETE FROM ") + table + " WHERE CUSTOMER = 'BROOK'");
      connection.execute_native(insert + "('CEDAR')");
    }
    EXPECT_EQ(native_value(path(database), std::string("SELECT group_concat(TRIPNUM) FROM (SELECT "
                                                       "TRIPNUM FROM ") +
                                               table + " ORDER BY TRIPNUM)"),
              "1,3")
        << table;
  }
}

TEST_F(Schema, text_compares_without_regard_to_case_and_yes_no_columns_default_false) {
  {
    db::Connection connection;
    connection.open(path(data::kTripDatabase));
    connection.execute_native("INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ADAMS', 'A')");
    connection.execute_native("INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('Adams', 'pta')");
    connection.execute_native("INSERT INTO TRIPS (CUSTOMER) VALUES ('ADAMS')");
    connection.execute_native("INSERT INTO FUND (FUND) VALUES ('100')");
  }
  const std::string trip = path(data::kTripDatabase);
  EXPECT_EQ(native_count(trip, "SELECT count(*) FROM CUSTOMER WHERE CUSTOMER = 'adams'"), 1);
  EXPECT_EQ(native_count(trip,
                         "SELECT count(*) FROM CUSTOMER INNER JOIN CUSTOMER_FUND ON "
                         "CUSTOMER.CUSTOMER = CUSTOMER_FUND.CUSTOMER WHERE FUND = 'PTA'"),
            1);
  EXPECT_EQ(native_value(trip, "SELECT ASSIGNED || ',' || BILLED || ',' || CANCELED FROM TRIPS"),
            "0,0,0");
  // A reference row typed in by an importer is offered.
  EXPECT_EQ(native_value(trip, "SELECT ACTIVE FROM FUND"), "-1");
}

TEST(SchemaRefusal, refuses_an_existing_file_or_a_missing_directory_and_touches_nothing) {
  for (const char* blocker : {"trip.db", "qsclsc1.db", "Tripschl.db", "Tripschl.db-wal", ""}) {
    testing_support::TempDir fresh;
    if (*blocker) fresh.write(blocker, "precious");
    const fs::path dir = *blocker ? fresh.path() : fresh.path() / "no-such-dir";
    const fs::path named = *blocker ? dir / blocker : dir;
    try {
      data::create_databases(dir.string());
      ADD_FAILURE() << "created the databases despite " << named;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(named.string()), std::string::npos) << error.what();
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fresh.path())) {
      names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, *blocker ? std::set<std::string>{blocker} : std::set<std::string>{});
    if (*blocker) {
      std::ifstream kept(named);
      std::string text;
      std::getline(kept, text);
      EXPECT_EQ(text, "precious") << blocker;
    }
  }
}

}  // namespace
