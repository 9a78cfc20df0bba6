// Engine counts: every kind of query counts the rows its snapshot holds.
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::create_sample_schema;
using testing::TempDir;

class ScaleCounts : public ::testing::Test {
 protected:
  ScaleCounts() {
    connection_.create(dir_.file("t.db"));
    create_sample_schema(connection_);
    // CUSTOMER and DESTINATION keyed as the schema keys them, and one customer twice in CLSCU.
    connection_.execute_native(
        "CREATE UNIQUE INDEX C_KEY ON CUSTOMER (CUSTOMER);"
        "CREATE UNIQUE INDEX D_KEY ON DESTINATION (DESTINATION);"
        "INSERT INTO CLSCU VALUES ('x', 'y', 'REQ', 'LHS');");
  }
  TempDir dir_;
  Connection connection_;
};

constexpr const char* kJoined =
    " FROM ((TRIPS LEFT JOIN CUSTOMER ON TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) LEFT JOIN "
    "DESTINATION ON TRIPS.DESTINATION = DESTINATION.DESTINATION)";

TEST_F(ScaleCounts, each_kind_of_query_counts_the_rows_of_its_snapshot) {
  const std::string joined = kJoined;
  for (const std::string& query : std::initializer_list<std::string>{
           "SELECT TRIPS.TRIPNUM, CUSTOMER.CUSTNAME" + joined + " ORDER BY CUSTOMER.CUSTNAME",
           "SELECT TRIPS.TRIPNUM FROM TRIPS LEFT JOIN CLSCU ON TRIPS.CUSTOMER = CLSCU.CUSTOMER",
           "SELECT COUNT(*) AS N FROM TRIPS",
           "SELECT DISTINCT CUSTOMER FROM TRIPS",
           "SELECT CUSTOMER, COUNT(*) AS N FROM TRIPS GROUP BY CUSTOMER",
           "SELECT CUSTOMER FROM TRIPS UNION SELECT CUSTOMER FROM CUSTOMER",
           "SELECT TRIPNUM + 1 AS NEXTNUM FROM TRIPS WHERE NEXTNUM > 2",
       }) {
    Recordset snapshot;
    snapshot.open(query, connection_);
    EXPECT_EQ(connection_.count_rows(query), snapshot.record_count()) << query;
  }
}

}  // namespace
}  // namespace db
