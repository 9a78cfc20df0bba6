// Reading at scale: a page read alone holds the very rows, order and sums of the whole query at
// that place, and the engine's count is the snapshot's.
#include <string>
#include <vector>

#include "data/null_conversions.h"
#include "reports/paging.h"
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

// Trip number and the two sums of each row from the current one on, at most `limit` rows.
std::vector<std::string> rows_of(db::Recordset& rs, long limit = 1L << 30) {
  std::vector<std::string> rows;
  for (; !rs.eof() && limit-- > 0; rs.move_next())
    rows.push_back(vb::CStr(rs.field("TRIPNUM")) + " " + data::NullToStr(rs.field("TOTALBILLED")) +
                   " " + data::NullToStr(rs.field("TOTALDUE")));
  return rows;
}

class ScalePaging : public ReportTest {
 protected:
  ScalePaging() {
    // Trips 1 .. 3000, twenty-five a day (ties for the date order), billed on every third.
    district_.sql("trip",
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                  "INSERT INTO TRIPS (TRIPNUM, CUSTOMER, BILLCUST, DESTINATION, DEPDATE, DEPTIME) "
                  "SELECT i, 'LHS', 'LHS', 10, 46082 + (i * 7919) % 121, 0.375 FROM n;"
                  "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) SELECT TRIPNUM, 'BIL', "
                  "TRIPNUM + 0.25 FROM TRIPS WHERE TRIPNUM % 3 = 0 UNION ALL SELECT TRIPNUM, "
                  "'PAY', -1 FROM TRIPS WHERE TRIPNUM % 3 = 0;");
    connection_.open(district_.dir() + "/trip.db");
  }
  db::Connection connection_;
};

TEST_F(ScalePaging, every_page_read_alone_equals_that_page_of_the_whole_snapshot) {
  // Ordered by date alone: the ties must still fall the same way on every page.
  const std::string query =
      kTripQuery.substr(0, kTripQuery.find(" ORDER BY")) + " ORDER BY TRIPS.DEPDATE";
  db::Recordset whole;
  whole.open(query, connection_);
  ASSERT_EQ(connection_.count_rows(query), whole.record_count());
  const std::vector<std::string> all = rows_of(whole);
  // First, middle, the last (partial) page, one past it, far past it, and before the first.
  for (const auto& [asked, shown] : std::vector<std::pair<std::int16_t, std::int16_t>>{
           {1, 1}, {75, 75}, {150, 150}, {151, 150}, {32000, 150}, {0, 1}, {-3, 1}}) {
    std::int16_t page = asked, count = 0, seek_page_number = asked, seek_count = 0;
    db::Recordset rs, snapshot;
    reports::open_page(rs, connection_, query, page, 20, count);
    snapshot.open(query, connection_);
    reports::seek_page(snapshot, seek_page_number, 20, seek_count);
    EXPECT_EQ(page, shown) << asked;
    EXPECT_EQ(seek_page_number, shown) << asked;
    EXPECT_EQ(count, 3000);
    EXPECT_EQ(seek_count, 3000);
    const std::vector<std::string> rows = rows_of(rs);
    EXPECT_EQ(rows, rows_of(snapshot, 20)) << asked;
    EXPECT_EQ(rows, std::vector<std::string>(all.begin() + (page - 1) * 20,
                                             all.begin() + std::min<long>(page * 20, 3000)));
  }
}

}  // namespace
}  // namespace report_tests
