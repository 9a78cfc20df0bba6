// The summary's additions after its rows: the totals row over every group, the bar chart of the
// groups with the search's criteria, and the CSV download of the same rows.
#include <string_view>
#include <vector>

#include "reports/csv.h"
#include "reports/summary_report.h"
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The cells of each row of a page that begins with `start`: its first cell, then its figures.
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

// A shown figure as a whole number of units ("1,234") or cents ("$1,150.25", "($20.00)").
long long value_of(std::string text) {
  const bool negative = text.find('(') != std::string::npos;
  std::string digits;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
  }
  const long long value = digits.empty() ? 0 : std::stoll(digits);
  return negative ? -value : value;
}

class SummaryAdditions : public ReportTest {
 protected:
  SummaryAdditions() {
    district_.sql("trip", R"sql(
      INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ZED', '<b>Zed & ''Co''</b>');
      INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, TRIPCAT, GRADE, FUND,
        NUMSTUDENTS, NUMADULTS) VALUES
        (1, 'LHS', 10, 46083, 'ATH', '5', '100', 1200, 34),
        (2, 'ADAMS', 11, 46084, '', NULL, '300', 10, 2),
        (3, 'BAND', 11, 46085, 'MUS', 'K', '200', NULL, NULL),
        (4, 'ZED', 10, 46086, 'ATH', 'K', '100', 7, 1);
      INSERT INTO TRIPSPLIT (TRIPNUM, FUND) VALUES (1, '100'), (1, '200'), (4, '100');
      INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (1, 'BIL', 1150.25),
        (1, 'PAY', -100), (2, 'ADJ', -20), (3, 'BIL', 0.10), (4, 'BIL', 999.99);
    )sql");
  }
  std::string page(const std::string& type) {
    return sim_.get("WCI=TripSummaryReport&Type=" + type).body;
  }
};

TEST_F(SummaryAdditions, the_totals_row_adds_up_every_group_of_every_grouping) {
  for (const char* type : {"Customer", "Category", "Grade", "Fund", "Destination"}) {
    use_page_size(20);
    const std::string whole = page(type);
    const auto groups = rows_of(whole, "<tr bgcolor=");
    const auto totals = rows_of(whole, "<tr class='totals'>");
    ASSERT_GE(groups.size(), 2u) << type;
    ASSERT_EQ(totals.size(), 1u) << type;
    EXPECT_EQ(totals[0][0], "Total") << type;
    for (std::size_t k = 1; k <= 6; ++k) {
      long long sum = 0;
      for (const auto& group : groups) sum += value_of(group[k]);
      EXPECT_EQ(value_of(totals[0][k]), sum) << type << " column " << k;
    }
    // A page of one group still totals them all.
    use_page_size(1);
    EXPECT_EQ(rows_of(page(type), "<tr class='totals'>"), totals) << type;
  }
  const auto totals = rows_of(page("Customer"), "<tr class='totals'>");
  EXPECT_EQ(totals[0],
            (std::vector<std::string>{"Total", "4", "3", "1,217", "37", "1,254", "$2,130.34"}));
}

TEST_F(SummaryAdditions, the_chart_has_a_bar_per_group_with_escaped_names_and_the_criteria) {
  sim_.set_session("TripReportSummaryCondition", " WHERE TRIPS.DEPDATE >= #3/3/2026#");
  const std::string text = page("Customer");
  const std::string chart = text.substr(text.find("<figure class='summary-chart'>"));
  EXPECT_EQ(occurrences(chart, "<g class='bar'>"), occurrences(text, "<tr bgcolor="));
  EXPECT_EQ(occurrences(chart, "<g class='bar'>"), 3);
  EXPECT_TRUE(contains(chart, "ZED - &lt;b&gt;Zed &amp; ")) << chart;
  EXPECT_FALSE(contains(chart, "<b>Zed"));
  EXPECT_TRUE(contains(chart, "Trips where TRIPS.DEPDATE &gt;= #3/3/2026#")) << chart;
  sim_.set_session("TripReportSummaryCondition", "");
  EXPECT_TRUE(contains(page("Grade"), ">All trips</text>"));
}

TEST_F(SummaryAdditions, the_csv_holds_the_report_rows_and_totals_after_a_byte_order_mark) {
  for (const char* type : {"Customer", "Category"}) {
    const std::string report = page(type);
    std::string expected =
        std::string(kBom) + reports::csv::row({vb::UCase(type), "Trips", "Splits", "Students",
                                               "Adults", "People", "Amount"});
    for (const auto& cells : rows_of(report, "<tr bgcolor=")) expected += reports::csv::row(cells);
    expected += reports::csv::row(rows_of(report, "<tr class='totals'>")[0]);
    PageHarness harness(sim_);
    EXPECT_EQ(harness.get<reports::SummaryReport>().summary_csv(type, ""), expected) << type;
  }
}

TEST_F(SummaryAdditions, a_lost_session_gets_the_time_out_and_no_download) {
  sim_.set_session("USER", "");
  PageHarness harness(sim_);
  harness.get<reports::SummaryReport>().TripSummaryReport_CSV();
  EXPECT_EQ(harness.output().find(kBom), std::string::npos);
  EXPECT_EQ(harness.context().web().next_item(), "Logout");
}

TEST_F(SummaryAdditions, the_download_link_answers_with_a_csv_file) {
  web::HttpRequest request;
  request.method = "GET";
  request.path = "/Jaunter.ASP";
  request.query = "WCI=TripSummaryReport&WCE=CSV&Type=Customer&WCU";
  request.accept = "text/html,*/*";
  request.cookie = std::string(web::Runtime::kSessionCookie) + "=" + sim_.cookie();
  const web::HttpResponse response = sim_.runtime().handle(request);
  const std::string* type = response.header("Content-Type");
  const std::string* disposition = response.header("Content-Disposition");
  ASSERT_TRUE(type && disposition);
  EXPECT_EQ(*type, "text/csv; charset=utf-8");
  EXPECT_EQ(*disposition, "attachment; filename=\"summary.csv\"");
  EXPECT_EQ(response.body.rfind(kBom, 0), 0u);
  EXPECT_TRUE(contains(page("Customer"), "WCE=CSV&amp;Type=Customer&amp;WCU"));
}

}  // namespace
}  // namespace report_tests
