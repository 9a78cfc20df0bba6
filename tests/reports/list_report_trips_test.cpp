// The rows of the printable field trip lists, one line and two lines: their cells in order.
#include "reports/list_reports.h"
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

class TripRowsTest : public ReportTest {
 protected:
  TripRowsTest() {
    add_trips(district_, 2);
    district_.sql("trip", R"sql(
      INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV, ACTIVE) VALUES ('SMITH', '<Smith & Sons>', 'E', -1);
      INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, RETDATE, DEPTIME, RETTIME,
        CANCELED, ASSIGNED, SHUTTLE, CONTACT, PURPOSE, ESTTIME, ESTMILE, NUMSTUDENTS, NUMADULTS,
        GRADE) VALUES (3, 'SMITH', 99, 46090, 46091, 0.0000115740740740741, NULL, -1, 0, -1, '  ',
        NULL, NULL, NULL, NULL, NULL, NULL);
      UPDATE TRIPS SET CANCELED = NULL, ASSIGNED = NULL WHERE TRIPNUM = 2;
    )sql");
    sim_.set_session("TripReportQuery", kTripQuery);
  }
};

// The cells of the report's rows, "|" between them.
std::string row_cells(const std::string& page) {
  const auto first = page.find("<tr bgcolor=");
  return joined(cell_texts(page.substr(first, page.find("</table>", first) - first)));
}

constexpr const char* kClear = "<input type=checkbox disabled>";
constexpr const char* kTicked = "<input type=checkbox checked disabled>";

TEST_F(TripRowsTest, one_line_rows_alternate_colours_and_show_times_and_the_cancelled_box) {
  const std::string page = sim_.get("WCI=TripReport1").body;
  // Unknown destination, midnight held as one second past, no return time, cancelled.
  EXPECT_EQ(
      row_cells(page),
      "1|3/2/2026|Lakeview High School|Science Museum of the Great Lakes Region|3/2/2026|"
      "9:00&nbsp;AM|4:30&nbsp;PM|" +
          std::string(kClear) +
          "|2|3/3/2026|Lakeview High School|Science Museum of the Great Lakes Region|3/3/2026|"
          "9:00&nbsp;AM|4:30&nbsp;PM|" +
          kClear + "|3|3/9/2026|&lt;Smith &amp; Sons&gt;|&nbsp;|3/10/2026|12:00&nbsp;AM|&nbsp;|" +
          kTicked);
  EXPECT_TRUE(before(page, "<tr bgcolor=#FFFFFF><td><font size='-2'>1<",
                     "<tr bgcolor=#C0C0C0><td><font size='-2'>2<"));
  EXPECT_TRUE(contains(page, "<tr bgcolor=#FFFFFF><td><font size='-2'>3<"));
}

TEST_F(TripRowsTest, two_line_rows_add_contact_purpose_hours_and_counts) {
  const std::string page = sim_.get("WCI=TripReport2").body;
  // Blank contact, purpose and grade show &nbsp;, unknown hours 0.00, Null counts one blank;
  // Null yes/no columns are clear boxes.
  const std::string museum = "|Lakeview High School|Science Museum of the Great Lakes Region|";
  EXPECT_EQ(row_cells(page),
            "1|3/2/2026" + museum + "3/2/2026|9:00&nbsp;AM|4:30&nbsp;PM|" + kClear +
                "|Ms Trip|Museum|6.50|" + kClear + "|25|40|4|12|" + kTicked + "|2|3/3/2026" +
                museum + "3/3/2026|9:00&nbsp;AM|4:30&nbsp;PM|" + kClear + "|Ms Trip|Museum|6.50|" +
                kClear + "|25|40|4|12|" + kClear +
                "|3|3/9/2026|&lt;Smith &amp; Sons&gt;|&nbsp;|3/10/2026|12:00&nbsp;AM|&nbsp;|" +
                kTicked + "|&nbsp;|&nbsp;|0.00|" + kTicked + "| | | |&nbsp;|" + kClear);
  EXPECT_TRUE(contains(page, "</tr><tr bgcolor=#FFFFFF><td colspan='2'><font size='-2'>Ms Trip"));
}

TEST_F(TripRowsTest, the_builder_leaves_the_page_and_count_for_its_caller) {
  PageHarness harness(sim_);
  std::int16_t page_number = 4;
  reports::ListReports& reports = harness.get<reports::ListReports>();
  reports.BuildTripReport1Results(kTripQuery, page_number, 2);
  EXPECT_EQ(page_number, 2);
  EXPECT_EQ(reports.state().intSearchCount, 3);
  EXPECT_EQ(occurrences(reports.state().strSearchResults, "<tr bgcolor="), 1);
  EXPECT_TRUE(contains(reports.state().strSearchResults,
                       "<tr bgcolor=#FFFFFF><td><font size='-2'>3</font></td>"));
}

}  // namespace
}  // namespace report_tests
