// The summary report: the query assembled per summary type with the search's condition, the
// "*None" group, the number formats and the summary type tags.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

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

  // The page's summary row of a group: trips, splits, students, adults, people, amount.
  static std::string row(const std::string& group, const std::string& figures) {
    return "<td>" + group + "</td>" + figures + "</tr>";
  }
  static std::string figures(int trips, int splits, const char* students, const char* adults,
                             const char* people, const char* amount) {
    return "<td align=right>" + std::to_string(trips) + "</td><td align=right>" +
           std::to_string(splits) + "</td><td align=right>" + students + "</td><td align=right>" +
           adults + "</td><td align=right>" + people + "</td><td align=right>" + amount + "</td>";
  }
  std::string summary(const char* type, const std::string& condition) {
    sim_.set_session("TripReportSummaryCondition", condition);
    return sim_.get(std::string("WCI=TripSummaryReport&Type=") + type).body;
  }
};

constexpr const char* kGradeFive = " WHERE TRIPS.GRADE = '5'";

TEST_F(SummaryTest, every_figure_of_a_group_counts_only_the_trips_the_search_selected) {
  // A grade 10 trip of the same category and fund, with splits, crew and billing of its own.
  district_.sql("trip", R"sql(
    INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, TRIPCAT, GRADE, FUND,
      NUMSTUDENTS, NUMADULTS) VALUES (4, 'LHS', 10, 46086, 'ATH', '10', '100', 7, 1);
    INSERT INTO TRIPSPLIT (TRIPNUM, FUND) VALUES (4, '100'), (4, '100'), (4, '100');
    INSERT INTO TRIPEMPLOYEES (TRIPNUM, HOURS, MILES) VALUES (4, 2, 10);
    INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (4, 'BIL', 500);
  )sql");
  struct Case {
    const char* type;
    std::string condition;
    std::string expected;
  };
  const Case cases[] = {
      {"Category", kGradeFive,
       row("ATH - Athletics", figures(1, 2, "1,200", "34", "1,234", "$1,150.25"))},
      {"Category", "", row("ATH - Athletics", figures(2, 5, "1,207", "35", "1,242", "$1,650.25"))},
      {"Grade", " WHERE TRIPS.CUSTOMER = 'LHS'",
       row("5 - Fifth", figures(1, 2, "1,200", "34", "1,234", "$1,150.25"))},
      // A fund counts the splits charged to it, of the selected trips only.
      {"Fund", kGradeFive,
       row("100 - General", figures(1, 1, "1,200", "34", "1,234", "$1,150.25"))},
      {"Fund", "", row("100 - General", figures(2, 4, "1,207", "35", "1,242", "$1,650.25"))},
      // A condition on the customer's division limits the sub-totals too.
      {"Category", " WHERE CUSTOMER.CUSTDIV = 'E'",
       row("*None", figures(1, 0, "10", "2", "12", "$0.00"))},
  };
  for (const Case& c : cases) {
    const std::string page = summary(c.type, c.condition);
    EXPECT_TRUE(contains(page, c.expected)) << c.type << c.condition << "\n" << page;
  }
  EXPECT_FALSE(contains(summary("Category", " WHERE CUSTOMER.CUSTDIV = 'E'"), "ATH - "));
}

TEST_F(SummaryTest, a_summary_row_shows_the_counts_people_and_amount) {
  const std::string page = sim_.get("WCI=TripSummaryReport&Type=Customer").body;
  EXPECT_TRUE(contains(page,
                       "<td>LHS - Lakeview High School</td><td align=right>1</td>"
                       "<td align=right>2</td><td align=right>1,200</td><td align=right>34</td>"
                       "<td align=right>1,234</td><td align=right>$1,150.25</td></tr>"
                       "<tr><td colspan='10'></td></tr>"));
  // Null sums show 0 and a group without billing rows $0.00; payments are left out.
  EXPECT_TRUE(contains(page,
                       "<td>BAND - District Band</td><td align=right>1</td><td align=right>0</td>"
                       "<td align=right>0</td><td align=right>0</td><td align=right>0</td>"
                       "<td align=right>$0.00</td></tr>"));
  EXPECT_TRUE(contains(page,
                       "<td>ADAMS - Adams Elementary</td><td align=right>1</td>"
                       "<td align=right>0</td><td align=right>10</td><td align=right>2</td>"
                       "<td align=right>12</td><td align=right>$0.00</td></tr>"));
}

TEST_F(SummaryTest, the_type_may_be_written_in_any_case_and_destinations_group_too) {
  const std::string lower = summary("grade", kGradeFive);
  EXPECT_TRUE(contains(lower, "<td>5 - Fifth</td>"));
  EXPECT_TRUE(contains(lower, "Trip summary by grade &middot;"));
  EXPECT_TRUE(contains(lower, "Type=grade&amp;WCU\""));  // the paging form keeps it
  EXPECT_GE(occurrences(summary("Destination", ""), "<tr bgcolor='#FFFFFF'><td>"), 1);
}

TEST_F(SummaryTest, paging_keeps_the_type_from_the_address) {
  use_page_size(1);
  sim_.get("WCI=TripSummaryReport&Type=Customer");
  const std::string page =
      sim_.post("WCI=TripSummaryReport&WCE=TripSummaryReport&Type=Customer&WCU",
                {{"btnSubmit", "Next"}})
          .body;
  EXPECT_EQ(sim_.session_text("PageNumber"), "2");
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 1);
  // One row per page: the page's only row is its last allowed one, without a spacer.
  EXPECT_EQ(occurrences(page, "<tr><td colspan='10'></td></tr>"), 0);
}

TEST_F(SummaryTest, an_unknown_type_ends_the_response_with_its_message) {
  const Result result = sim_.get("WCI=TripSummaryReport&Type=Bus");
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(message_of(result.body), "Invalid Summary Type");
}

TEST_F(SummaryTest, a_missing_type_is_asked_for_before_an_empty_page) {
  const std::string page = sim_.get("WCI=TripSummaryReport").body;
  EXPECT_EQ(message_of(page), "Summary Type must be supplied.");
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0);
  EXPECT_TRUE(
      contains(page, "&nbsp;First&nbsp;&nbsp;Previous&nbsp;&nbsp;Next&nbsp;&nbsp;Last&nbsp;"));
}

}  // namespace
}  // namespace report_tests
