// The field trip search's result table (its cells, billing amounts and totals, the 300-trip
// limit) and the tags of its page (check boxes, sort choices, numbers, Fund, billing customer).
#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

constexpr const char* kTrips = "WCI=TripSearch&WCE=FieldTrips&WCU";
constexpr const char* kHeadings =
    "Trip#|Customer|Destination|Depart|Return|Cancelled|Billed|&nbsp;|Billing Customer|Division|"
    "Category|Contact|# Stus / Adults|Grade|Arrive Time|Leave Time|Assigned|Amt|Due|Fund|Purpose|"
    "Request #||";

std::string count_shown(int count) {
  return "Trips found: <strong>" + std::to_string(count) + "</strong>";
}

std::string totals_shown(const std::string& billed, const std::string& due) {
  return "Total billed: <strong>" + billed + "</strong>\n      &middot; Amount due: <strong>" +
         due + "</strong>";
}

class TripResultsTest : public ::testing::Test {
 protected:
  TripResultsTest() {
    add_sample_data(district_);
    district_.sql("trip", R"sql(
      INSERT INTO TRIPS (TRIPNUM, TRIPREQNUM, CUSTOMER, BILLCUST, CONTACT, FUND, GRADE, TRIPCAT,
        PURPOSE, DESTINATION, DEPDATE, DEPTIME, RETDATE, RETTIME, ARRIVETIME, LEAVETIME,
        NUMSTUDENTS, NUMADULTS, ASSIGNED, BILLED, CANCELED) VALUES
        (5001, 1001, 'LHS', 'BAND', 'O''Brien-Smithson', '100', '12', 'FLD', 'Science fair', 10,
         46387, 0.375, 46387, 0.6875, 0.4166666666666667, 0.625, 40, 4, -1, -1, 0),
        (5002, 0, 'ADAMS', 'ADAMS', NULL, '300', 'K', 'FLD', NULL, 11, 46400, NULL, NULL, NULL,
         NULL, NULL, 22, 5, 0, 0, 0);
      INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (5001, 'BIL', 120.5),
        (5001, 'PAY', -20);
    )sql");
  }

  Simulator& signed_in(const std::string& user = "ad", const std::string& password = "pw") {
    sim_ = std::make_unique<Simulator>(district_);
    sign_in(*sim_, user, password);
    return *sim_;
  }

  // Adds `count` trips of customer BAND, each billed 1,000.25 with 0.25 still due.
  void add_trips(int count) const {
    district_.sql("trip",
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i "
                  "< " +
                      std::to_string(count) +
                      ") INSERT INTO TRIPS (CUSTOMER, BILLCUST, DEPDATE) SELECT 'BAND', "
                      "'BAND', 46500 FROM n;"
                      "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) SELECT TRIPNUM, "
                      "'BIL', 1000.25 FROM TRIPS WHERE CUSTOMER = 'BAND' AND TRIPNUM NOT "
                      "IN (SELECT TRIPNUM FROM ARDETAIL);"
                      "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) SELECT TRIPNUM, "
                      "'PAY', -1000 FROM TRIPS WHERE CUSTOMER = 'BAND' AND TRIPNUM NOT IN "
                      "(SELECT TRIPNUM FROM ARDETAIL WHERE TRANCODE = 'PAY');");
  }

  District district_;
  std::unique_ptr<Simulator> sim_;
};

TEST_F(TripResultsTest, the_table_has_its_headings_two_lines_per_trip_and_the_totals) {
  const std::string page = signed_in().get("WCI=TripSearch&WCU").body;
  const auto table = page.find("<table width='100%' border='0' cellpadding='0' cellspacing='0'>");
  ASSERT_NE(table, std::string::npos);
  const std::string ticked = "<input type=checkbox checked>", blank = "<input type=checkbox>";
  EXPECT_EQ(joined(cell_texts(page.substr(table, page.find("</table>", table) - table))),
            kHeadings + ("5001|Lakeview High School|Science Museum of the Great Lakes Region|"
                         "12/31/26, 9:00&nbsp;AM|12/31/26, 4:30&nbsp;PM|" +
                         blank + "|" + ticked +
                         "|&nbsp;|District Band|H|FLD|O&#39;Brien-Sm|40/4|12|"
                         "10:00&nbsp;AM|3:00&nbsp;PM|" +
                         ticked +
                         "|$120.50|$100.50|100|Science fair|1001|"
                         "5002|Adams Elementary|City Park|1/13/27, &nbsp;| , &nbsp;|" +
                         blank + "|" + blank +
                         "|&nbsp;|Adams Elementary|E|FLD|&nbsp;|22/5|K|&nbsp;|&nbsp;|" + blank +
                         "|||300|&nbsp;|&nbsp;"));
  EXPECT_TRUE(before(page, "<tr bgcolor=#FFFFFF><td><font size='-2'>5001</font>",
                     "<tr bgcolor=#C0C0C0><td><font size='-2'>5002</font>"));
  EXPECT_TRUE(contains(page,
                       "<a href='Jaunter.ASP?WCI=PrintReport&Type=Trip' target='_blank'>Print "
                       "Report</a>&nbsp;<table"));
  EXPECT_TRUE(contains(page, totals_shown("$120.50", "$100.50")));
  EXPECT_TRUE(contains(page, count_shown(2)));
}

TEST_F(TripResultsTest, a_trip_without_billing_rows_leaves_the_totals_unchanged) {
  const std::string page = signed_in().post(kTrips, {{"cust", "ADAMS"}}).body;
  EXPECT_TRUE(contains(page, "<td><font size='-2'></font></td><td><font size='-2'></font></td>"));
  EXPECT_TRUE(contains(page, totals_shown("$0.00", "$0.00")));
}

TEST_F(TripResultsTest, three_hundred_trips_are_listed_and_one_more_is_refused) {
  const std::string refusal =
      "<table width='100%' border='1'><tr>&nbsp;</tr><tr><p align='center'><b><font "
      "color='#0000ff'>&nbsp;&nbsp;Sorry, your search has returned more than 300 trip requests. "
      "Please refine your search and try again.</font></b></p></tr></table>";
  add_trips(300);
  {
    const std::string page = signed_in().post(kTrips, {{"cust", "BAND"}}).body;
    EXPECT_TRUE(contains(page, count_shown(300)));
    EXPECT_FALSE(contains(page, "more than 300"));
    EXPECT_TRUE(contains(page, totals_shown("$300,075.00", "$75.00")));
  }
  add_trips(1);
  Simulator& sim = signed_in();
  const std::string page = sim.post(kTrips, {{"cust", "BAND"}}).body;
  EXPECT_TRUE(contains(page, count_shown(301)));
  EXPECT_TRUE(contains(page, refusal));
  EXPECT_FALSE(contains(page, "Print Report"));
  EXPECT_TRUE(contains(page, totals_shown("$0.00", "$0.00")));
  // The reports still get the query of the search.
  EXPECT_NE(sim.session_text("TripReportQuery").find("TRIPS.CUSTOMER = 'BAND'"), std::string::npos);
}

TEST_F(TripResultsTest, database_text_is_escaped_in_the_table) {
  district_.sql("trip", R"sql(
    INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV, ACTIVE) VALUES ('X<1>', 'Smith & <Sons>',
      'D''1', -1);
    INSERT INTO TRIPS (TRIPNUM, CUSTOMER, BILLCUST, CONTACT, FUND, PURPOSE, TRIPCAT, DEPDATE)
      VALUES (5005, 'X<1>', 'X<1>', '<script>alert(1)</script>', '"9"', 'a<b', 'T&T', 46401);
  )sql");
  const std::string page = signed_in().post(kTrips, {{"TRIPNUM", "5005"}}).body;
  EXPECT_FALSE(contains(page, "<script>"));
  EXPECT_TRUE(contains(page, "<td rowspan='2'><font size='-2'>Smith &amp; &lt;Sons&gt;</font>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>D&#39;1</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>&lt;script&gt;al</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>&quot;9&quot;</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>a&lt;b</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>T&amp;T</font></td>"));
}

}  // namespace
