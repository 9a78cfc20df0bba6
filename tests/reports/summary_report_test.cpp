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

  std::string query_of(const std::string& type, const std::string& condition) {
    PageHarness harness(sim_);
    std::int16_t page_number = 1;
    harness.page().BuildTripSummaryReportResults(type, condition, page_number, 20);
    return harness.page().search.strSearchQuery;
  }
};

constexpr const char* kGradeFive = " WHERE TRIPS.GRADE = '5'";

TEST_F(SummaryTest, category_query_carries_the_condition_in_every_sub_select_and_both_froms) {
  EXPECT_EQ(
      query_of("Category", kGradeFive),
      "SELECT (TRIPCAT.TRIPCAT&' - '&TRIPCAT.DESCRIPTION) AS TYPEDESCRIPTION, COUNT(*) AS "
      "NUMBEROFTRIPS, SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPSPLIT.TRIPNUM WHERE TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS NUMBEROFSPLITS, "
      "SUM(TRIPS.NUMSTUDENTS) AS NUMBEROFSTUDENTS, SUM(TRIPS.NUMADULTS) AS NUMBEROFADULTS, "
      "SUM(SELECT SUM(TRIPEMPLOYEES.HOURS) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  WHERE TRIPS.GRADE = '5' AND TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS "
      "TOTALHOURS, SUM(SELECT SUM(TRIPEMPLOYEES.MILES) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON "
      "TRIPS.TRIPNUM = TRIPEMPLOYEES.TRIPNUM  WHERE TRIPS.GRADE = '5' AND TRIPS.TRIPCAT = "
      "TRIPCAT.TRIPCAT) AS TOTALMILES, SUM(SELECT SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN "
      "TRIPS ON TRIPS.TRIPNUM = ARDETAIL.TRIPNUM  WHERE TRIPS.GRADE = '5' AND "
      "ARDETAIL.TRANCODE='BIL' AND TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS TOTALAMOUNT FROM CUSTOMER "
      "INNER JOIN (TRIPCAT INNER JOIN TRIPS ON TRIPCAT.TRIPCAT = TRIPS.TRIPCAT) ON "
      "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER  WHERE TRIPS.GRADE = '5' GROUP BY TRIPCAT.TRIPCAT, "
      "TRIPCAT.DESCRIPTION UNION SELECT ('*None') AS TYPEDESCRIPTION, COUNT(*) AS NUMBEROFTRIPS, "
      "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM  "
      "WHERE TRIPS.GRADE = '5' AND TRIPS.TRIPCAT = '') AS NUMBEROFSPLITS, SUM(TRIPS.NUMSTUDENTS) "
      "AS NUMBEROFSTUDENTS, SUM(TRIPS.NUMADULTS) AS NUMBEROFADULTS, SUM(SELECT "
      "SUM(TRIPEMPLOYEES.HOURS) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  WHERE TRIPS.GRADE = '5' AND TRIPS.TRIPCAT  = '') AS TOTALHOURS, "
      "SUM(SELECT SUM(TRIPEMPLOYEES.MILES) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  WHERE TRIPS.GRADE = '5' AND TRIPS.TRIPCAT  = '') AS TOTALMILES, "
      "(SELECT SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "ARDETAIL.TRIPNUM  WHERE TRIPS.GRADE = '5' AND ARDETAIL.TRANCODE='BIL' AND TRIPS.TRIPCAT  = "
      "'') AS TOTALAMOUNT FROM CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER  "
      "WHERE TRIPS.GRADE = '5' AND TRIPS.TRIPCAT  = ''");
}

TEST_F(SummaryTest, grade_query_without_a_condition_extends_the_joins) {
  EXPECT_EQ(
      query_of("Grade", ""),
      "SELECT (GRADE.GRADE&' - '&GRADE.DESCRIPTION) AS TYPEDESCRIPTION, COUNT(*) AS "
      "NUMBEROFTRIPS, SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPSPLIT.TRIPNUM WHERE TRIPS.GRADE = GRADE.GRADE) AS NUMBEROFSPLITS, "
      "SUM(TRIPS.NUMSTUDENTS) AS NUMBEROFSTUDENTS, SUM(TRIPS.NUMADULTS) AS NUMBEROFADULTS, "
      "SUM(SELECT SUM(TRIPEMPLOYEES.HOURS) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  AND TRIPS.GRADE = GRADE.GRADE) AS TOTALHOURS, SUM(SELECT "
      "SUM(TRIPEMPLOYEES.MILES) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  AND TRIPS.GRADE = GRADE.GRADE) AS TOTALMILES, SUM(SELECT "
      "SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = ARDETAIL.TRIPNUM  "
      "AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.GRADE = GRADE.GRADE) AS TOTALAMOUNT FROM CUSTOMER "
      "INNER JOIN (GRADE INNER JOIN TRIPS ON GRADE.GRADE = TRIPS.GRADE) ON CUSTOMER.CUSTOMER = "
      "TRIPS.CUSTOMER  GROUP BY GRADE.GRADE, GRADE.DESCRIPTION UNION SELECT ('*None') AS "
      "TYPEDESCRIPTION, COUNT(*) AS NUMBEROFTRIPS, SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN "
      "TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM WHERE TRIPS.GRADE = '') AS NUMBEROFSPLITS, "
      "SUM(TRIPS.NUMSTUDENTS) AS NUMBEROFSTUDENTS, SUM(TRIPS.NUMADULTS) AS NUMBEROFADULTS, "
      "SUM(SELECT SUM(TRIPEMPLOYEES.HOURS) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  AND TRIPS.GRADE IS NULL) AS TOTALHOURS, SUM(SELECT "
      "SUM(TRIPEMPLOYEES.MILES) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
      "TRIPEMPLOYEES.TRIPNUM  AND TRIPS.GRADE IS NULL) AS TOTALMILES, SUM(SELECT "
      "SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = ARDETAIL.TRIPNUM  "
      "AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.GRADE IS NULL) AS TOTALAMOUNT FROM CUSTOMER INNER "
      "JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER  AND TRIPS.GRADE IS NULL");
}

TEST_F(SummaryTest, customer_destination_and_fund_have_no_none_group) {
  struct Case {
    const char* type;
    const char* start;
    const char* end;
  };
  const Case cases[] = {
      {"CUSTOMER", "SELECT (CUSTOMER.CUSTOMER&' - '&CUSTOMER.CUSTNAME) AS TYPEDESCRIPTION, ",
       "AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) AS TOTALAMOUNT FROM "
       "CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER  WHERE TRIPS.GRADE = '5' "
       "GROUP BY CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME"},
      {"destination",
       "SELECT (STR(DESTINATION.DESTINATION)&' - '&DESTINATION.DESTDESC) AS TYPEDESCRIPTION, ",
       "FROM CUSTOMER INNER JOIN (DESTINATION INNER JOIN TRIPS ON DESTINATION.DESTINATION = "
       "TRIPS.DESTINATION) ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER  WHERE TRIPS.GRADE = '5' GROUP "
       "BY DESTINATION.DESTINATION, DESTINATION.DESTDESC"},
      {"Fund",
       "SELECT (FUND.FUND&' - '&FUND.FUNDDESC) AS TYPEDESCRIPTION, COUNT(*) AS NUMBEROFTRIPS, "
       "SUM(SELECT 1 FROM TRIPSPLIT WHERE TRIPSPLIT.FUND = FUND.FUND) AS NUMBEROFSPLITS, ",
       "FROM CUSTOMER INNER JOIN (FUND INNER JOIN TRIPS ON FUND.FUND = TRIPS.FUND) ON "
       "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER  WHERE TRIPS.GRADE = '5' GROUP BY FUND.FUND, "
       "FUND.FUNDDESC"},
  };
  for (const Case& c : cases) {
    const std::string sql = query_of(c.type, kGradeFive);
    EXPECT_EQ(sql.rfind(c.start, 0), 0u) << c.type;
    EXPECT_EQ(sql.substr(sql.size() - std::string(c.end).size()), c.end) << c.type;
    EXPECT_FALSE(contains(sql, "UNION")) << c.type;
    EXPECT_EQ(occurrences(sql, kGradeFive), 4) << c.type;
  }
}

TEST_F(SummaryTest, every_summary_type_runs_on_the_trip_database) {
  for (const char* type : {"Customer", "Category", "Fund", "Destination", "Grade"}) {
    const Result result = sim_.get(std::string("WCI=TripSummaryReport&Type=") + type);
    EXPECT_EQ(result.status, 200) << type;
    EXPECT_GE(occurrences(result.body, "<tr bgcolor='#FFFFFF'><td>"), 1) << type;
  }
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

TEST_F(SummaryTest, trips_without_a_category_form_the_none_group) {
  const std::string page = sim_.get("WCI=TripSummaryReport&Type=Category").body;
  EXPECT_TRUE(contains(page,
                       "<td>*None</td><td align=right>1</td><td align=right>0</td>"
                       "<td align=right>10</td><td align=right>2</td><td align=right>12</td>"
                       "<td align=right>$0.00</td></tr>"));
  EXPECT_TRUE(contains(page,
                       "<td>ATH - Athletics</td><td align=right>1</td>"
                       "<td align=right>2</td><td align=right>1,200</td>"));
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 3);
}

TEST_F(SummaryTest, the_type_may_be_written_in_any_case) {
  sim_.set_session("TripReportSummaryCondition", kGradeFive);
  const std::string lower = sim_.get("WCI=TripSummaryReport&Type=grade").body;
  const std::string mixed = sim_.get("WCI=TripSummaryReport&Type=Grade").body;
  EXPECT_TRUE(contains(lower, "<td>5 - Fifth</td>"));
  EXPECT_TRUE(contains(lower, "Trip summary by grade &middot;"));
  EXPECT_TRUE(contains(lower, "<th scope=\"col\">GRADE</th>"));
  EXPECT_TRUE(contains(mixed, "Trip summary by Grade &middot;"));
  const auto rows = [](const std::string& page) {
    return page.substr(page.find("<tbody>"), page.find("</tbody>") - page.find("<tbody>"));
  };
  EXPECT_EQ(rows(lower), rows(mixed));
  // The paging form keeps the type in its address.
  EXPECT_TRUE(contains(lower,
                       "action=\"Jaunter.ASP?WCI=TripSummaryReport&amp;WCE=TripSummaryReport&amp;"
                       "Type=grade&amp;WCU\""));
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
  EXPECT_EQ(result.body, "Invalid Summary Type");
}

TEST_F(SummaryTest, a_missing_type_is_asked_for_before_an_empty_page) {
  const std::string page = sim_.get("WCI=TripSummaryReport").body;
  EXPECT_EQ(page.rfind("Summary Type must be supplied.<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0);
  EXPECT_TRUE(
      contains(page, "&nbsp;First&nbsp;&nbsp;Previous&nbsp;&nbsp;Next&nbsp;&nbsp;Last&nbsp;"));
}

}  // namespace
}  // namespace report_tests
