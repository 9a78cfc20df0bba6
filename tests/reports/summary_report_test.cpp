// The summary report: each group's figures under the search's condition, the "*None" group, the
// number formats, the summary type, and the totals row, bar chart and CSV after the rows.
#include "reports/summary_report.h"

#include "reports/csv.h"
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

// The cells of each row of a page that begins with `start`.
std::vector<std::vector<std::string>> rows_of(const std::string& page, const std::string& start) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t at = page.find(start); at != std::string::npos; at = page.find(start, at + 1)) {
    const std::string row = page.substr(at, page.find("</tr>", at) - at);
    std::vector<std::string> cells;
    for (std::size_t cell = row.find("<t", 1); cell != std::string::npos;
         cell = row.find("<t", cell + 1)) {
      const std::size_t open = row.find('>', cell) + 1;
      cells.push_back(reports::csv::text_of_html(row.substr(open, row.find("</t", open) - open)));
      cell = row.find("</t", open);
    }
    rows.push_back(cells);
  }
  return rows;
}

// Whether the page has a group row of these cells ("|" between them).
bool has_row(const std::string& page, const std::string& cells) {
  const auto rows = rows_of(page, "<tr bgcolor=");
  return std::any_of(rows.begin(), rows.end(),
                     [&](const auto& row) { return joined(row) == cells; });
}

class SummaryTest : public ReportTest {
 protected:
  SummaryTest() {
    // One trip per group, so that each group's sums are the trip's own values.
    district_.sql("trip", R"sql(
      INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, TRIPCAT, GRADE, FUND,
        NUMSTUDENTS, NUMADULTS) VALUES
        (1, 'LHS', 10, 46083, 'ATH', '5', '100', 1200, 34),
        (2, 'ADAMS', 11, 46084, '', NULL, '300', 10, 2),
        (3, 'BAND', 11, 46085, 'MUS', 'K', '200', NULL, NULL);
      INSERT INTO TRIPSPLIT (TRIPNUM, FUND) VALUES (1, '100'), (1, '200');
      INSERT INTO TRIPEMPLOYEES (TRIPNUM, HOURS, MILES) VALUES (1, 5, 40);
      INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (1, 'BIL', 1150.25),
        (1, 'PAY', -100), (3, 'PAY', -20);
    )sql");
  }
  std::string summary(const std::string& type, const std::string& condition = "") {
    sim_.set_session("TripReportSummaryCondition", condition);
    return sim_.get("WCI=TripSummaryReport&Type=" + type).body;
  }
};

TEST_F(SummaryTest, every_figure_of_a_group_counts_only_the_trips_the_search_selected) {
  // A grade 10 trip of the same category and fund, with splits, crew and billing of its own.
  district_.sql("trip", R"sql(
    INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, TRIPCAT, GRADE, FUND,
      NUMSTUDENTS, NUMADULTS) VALUES (4, 'LHS', 10, 46086, 'ATH', '10', '100', 7, 1);
    INSERT INTO TRIPSPLIT (TRIPNUM, FUND) VALUES (4, '100'), (4, '100'), (4, '100');
    INSERT INTO TRIPEMPLOYEES (TRIPNUM, HOURS, MILES) VALUES (4, 2, 10);
    INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (4, 'BIL', 500);
  )sql");
  const char* kGradeFive = " WHERE TRIPS.GRADE = '5'";
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"Category", kGradeFive, "ATH - Athletics|1|2|1,200|34|1,234|$1,150.25"},
      {"Category", "", "ATH - Athletics|2|5|1,207|35|1,242|$1,650.25"},
      {"Grade", " WHERE TRIPS.CUSTOMER = 'LHS'", "5 - Fifth|1|2|1,200|34|1,234|$1,150.25"},
      // A fund counts the splits charged to it, of the selected trips only.
      {"Fund", kGradeFive, "100 - General|1|1|1,200|34|1,234|$1,150.25"},
      {"Fund", "", "100 - General|2|4|1,207|35|1,242|$1,650.25"},
      {"Destination", kGradeFive,
       "10 - Science Museum of the Great Lakes Region|1|2|1,200|34|1,234|$1,150.25"},
      // A condition on the customer's division limits the sub-totals too.
      {"Category", " WHERE CUSTOMER.CUSTDIV = 'E'", "*None|1|0|10|2|12|$0.00"},
      // Null sums show 0 and a group without billing rows $0.00; payments are left out.
      {"Customer", "", "BAND - District Band|1|0|0|0|0|$0.00"},
      {"Customer", "", "ADAMS - Adams Elementary|1|0|10|2|12|$0.00"},
      // The type may be written in any case.
      {"grade", kGradeFive, "5 - Fifth|1|2|1,200|34|1,234|$1,150.25"},
  };
  for (const auto& [type, condition, expected] : cases) {
    EXPECT_TRUE(has_row(summary(type, condition), expected)) << type << condition;
  }
  EXPECT_FALSE(contains(summary("Category", " WHERE CUSTOMER.CUSTDIV = 'E'"), "ATH - "));
  const std::string lower = summary("grade", kGradeFive);
  EXPECT_TRUE(contains(lower, "Trip summary by grade &middot;"));
  EXPECT_TRUE(contains(lower, "Type=grade&amp;WCU\""));  // the paging form keeps it
}

TEST_F(SummaryTest, paging_keeps_the_type_from_the_address) {
  use_page_size(1);
  summary("Customer");
  const std::string page =
      sim_.post("WCI=TripSummaryReport&WCE=TripSummaryReport&Type=Customer&WCU",
                {{"btnSubmit", "Next"}})
          .body;
  EXPECT_EQ(sim_.session_text("PageNumber"), "2");
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 1);
  // One row per page: the page's only row is its last allowed one, without a spacer.
  EXPECT_EQ(occurrences(page, "<tr><td colspan='10'></td></tr>"), 0);
}

TEST_F(SummaryTest, an_unknown_or_missing_type_is_reported) {
  const Result result = sim_.get("WCI=TripSummaryReport&Type=Bus");
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(message_of(result.body), "Invalid Summary Type");
  const std::string page = sim_.get("WCI=TripSummaryReport").body;
  EXPECT_EQ(message_of(page), "Summary Type must be supplied.");
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0);
  EXPECT_TRUE(
      contains(page, "&nbsp;First&nbsp;&nbsp;Previous&nbsp;&nbsp;Next&nbsp;&nbsp;Last&nbsp;"));
}

TEST_F(SummaryTest, the_totals_row_adds_up_every_group_of_any_grouping_even_on_a_page_of_one) {
  use_page_size(1);
  for (const char* type : {"Customer", "Category", "Grade", "Fund", "Destination"}) {
    EXPECT_EQ(joined(rows_of(summary(type), "<tr class='totals'>")[0]),
              "Total|3|2|1,210|36|1,246|$1,150.25")
        << type;
  }
}

TEST_F(SummaryTest, the_chart_has_a_bar_per_group_with_escaped_names_and_the_criteria) {
  district_.sql("trip",
                "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ZED', '<b>Zed & ''Co''</b>');"
                "INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DEPDATE) VALUES (4, 'ZED', 46086);");
  const std::string text = summary("Customer", " WHERE TRIPS.DEPDATE >= #3/3/2026#");
  const std::string chart = text.substr(text.find("<figure class='summary-chart'>"));
  EXPECT_EQ(occurrences(chart, "<g class='bar'>"), occurrences(text, "<tr bgcolor="));
  EXPECT_TRUE(contains(chart, "ZED - &lt;b&gt;Zed &amp; ")) << chart;
  EXPECT_FALSE(contains(chart, "<b>Zed"));
  EXPECT_TRUE(contains(chart, "Trips where TRIPS.DEPDATE &gt;= #3/3/2026#")) << chart;
  EXPECT_TRUE(contains(summary("Grade"), ">All trips</text>"));
}

TEST_F(SummaryTest, the_csv_holds_the_report_rows_and_totals_after_a_byte_order_mark) {
  for (const char* type : {"Customer", "Category"}) {
    const std::string report = summary(type);
    std::string expected = std::string(reports::csv::kByteOrderMark) +
                           reports::csv::row({vb::UCase(type), "Trips", "Splits", "Students",
                                              "Adults", "People", "Amount"});
    for (const auto& cells : rows_of(report, "<tr bgcolor=")) expected += reports::csv::row(cells);
    expected += reports::csv::row(rows_of(report, "<tr class='totals'>")[0]);
    PageHarness harness(sim_);
    EXPECT_EQ(harness.get<reports::SummaryReport>().summary_csv(type, ""), expected) << type;
  }
}

}  // namespace
}  // namespace report_tests
