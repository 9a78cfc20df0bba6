// The rows of the printable request lists: links to the form, customer names and divisions,
// destination texts broken at 30 characters, and the two-line layout's spacer rows.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

class RequestRowsTest : public ReportTest {
 protected:
  RequestRowsTest() {
    district_.sql("request", R"sql(
      INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DESTDESC, DEPDATE, RETDATE, STATUS,
        CONTACT, NUMSTUDENTS, NUMADULTS) VALUES
        (1004, 'GHOST', 77, NULL, 46500, 46500, 'Pending', NULL, NULL, 3),
        (1005, '  ', 0, 'Camp <Lakota> & the Lake, cabins', 46501, 46501, 'Pending', 'A', 2, NULL);
    )sql");
    sim_.set_session(
        "Destinations",
        vb::StringArray{"", "11, City Park", "10, Science Museum of the Great Lakes Region"});
    sim_.set_session("numDestinations", std::int16_t{2});
    sim_.set_session("TripRequestReportQuery", kRequestQuery);
  }
};

TEST_F(RequestRowsTest, one_line_rows_link_to_the_form_and_mark_missing_customers) {
  const std::string page = sim_.get("WCI=TripRequestReport1").body;
  EXPECT_TRUE(contains(
      page,
      "<tr bgcolor='#FFFFFF'><td><font size='-3'><a "
      "href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1001&WCU\">1001</a></font></td>"
      "<td><font size='-3'>12/31/2026</font></td>"
      "<td><font size='-3'>Lakeview High School</font></td>"
      "<td nowrap><font size='-3'> Science Museum of the Great L-<br>akes Region</font></td>"
      "<td><font size='-3'>12/31/2026</font></td>"
      "<td><font size='-3'>9:00&nbsp;AM</font></td>"
      "<td><font size='-3'>4:30&nbsp;PM</font></td>"
      "<td><font size='-3'>UNAPPROVED</font></td></tr>"
      "<tr bgcolor='#C0C0C0'><td><font size='-3'><a "
      "href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1002&WCU\">1002</a></font></td>"));
  // A typed-in destination shows its own name; midnight and a missing return time.
  EXPECT_TRUE(contains(page,
                       "<td nowrap><font size='-3'>Regional Stadium</font></td>"
                       "<td><font size='-3'>1/3/2027</font></td>"
                       "<td><font size='-3'>12:00&nbsp;AM</font></td>"
                       "<td><font size='-3'>&nbsp;</font></td>"
                       "<td><font size='-3'>PRINCIPAL APPROVED</font></td></tr>"));
  // Customers missing from the customer table, or blank, are not found; the next one is again.
  EXPECT_TRUE(contains(page,
                       "WCE=1004&WCU\">1004</a></font></td>"
                       "<td><font size='-3'>4/23/2027</font></td>"
                       "<td><font size='-3'>NOT FOUND</font></td>"
                       "<td nowrap><font size='-3'>NOT FOUND</font></td>"));
  // The typed destination is escaped around its break.
  EXPECT_TRUE(contains(page,
                       "<td><font size='-3'>NOT FOUND</font></td>"
                       "<td nowrap><font size='-3'>Camp &lt;Lakota&gt; &amp; the Lake, "
                       "cabi-<br>ns</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-3'>Adams Elementary</font></td>"));
}

TEST_F(RequestRowsTest, two_line_rows_carry_counts_division_chain_and_a_spacer) {
  const std::string page = sim_.get("WCI=TripRequestReport2").body;
  EXPECT_TRUE(contains(
      page,
      "<tr bgcolor='#FFFFFF'><td><a href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1001&WCU\">1001</a>"
      "</td><td>Lakeview High School</td>"
      "<td colspan='2'> Science Museum of the Great L-<br>akes Region</td>"
      "<td>12/31/2026, 9:00&nbsp;AM</td><td>12/31/2026, 4:30&nbsp;PM</td>"
      "<td>UNAPPROVED</td><td>12/4/2026 12:00:00 PM</td><td>FLD</td><td>LHS-12</td>"
      "</tr><tr bgcolor='#FFFFFF'><td colspan='2'>O&#39;Brien</td><td>40/4</td><td>12</td>"
      "<td>10:00&nbsp;AM</td><td>3:00&nbsp;PM</td><td>H</td><td> </td><td>HS</td>"
      "<td>Science fair</td></tr><tr><td colspan='10'></td></tr>"
      "<tr bgcolor='#C0C0C0'>"));
  // Counts read as whole numbers, 0 when empty; the division of a missing customer is blank.
  EXPECT_TRUE(contains(page, "<td colspan='2'> </td><td>0/3</td>"));
  EXPECT_TRUE(contains(page, "<td colspan='2'>A</td><td>2/0</td>"));
  EXPECT_TRUE(contains(page, "<td>&nbsp;</td><td>&nbsp;</td><td> </td><td> </td><td> </td>"));
}

TEST_F(RequestRowsTest, the_last_allowed_row_of_a_page_has_no_spacer) {
  use_page_size(2);
  const std::string page = sim_.get("WCI=TripRequestReport2").body;
  EXPECT_EQ(occurrences(page, "<tr><td colspan='10'></td></tr>"), 1);
  EXPECT_EQ(occurrences(page, "<a href="), 2);
  EXPECT_TRUE(contains(page, "<td>Game</td></tr>\n"));
}

TEST_F(RequestRowsTest, request_reports_keep_the_page_they_show) {
  use_page_size(2);
  sim_.set_session("PageNumber", std::int16_t{7});
  const std::string page = sim_.get("WCI=TripRequestReport1").body;
  EXPECT_EQ(sim_.session_text("PageNumber"), "3");
  EXPECT_TRUE(contains(page, "WCE=1005&WCU\">1005</a>"));
  EXPECT_EQ(occurrences(page, "<a href="), 1);
}

TEST_F(RequestRowsTest, a_customer_code_with_an_apostrophe_is_looked_up_safely) {
  district_.sql("trip",
                "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV, ACTIVE) VALUES "
                "('O''NEIL', 'O''Neil Academy', 'E', -1);");
  district_.sql("request", "UPDATE TRIPSREQ SET CUSTOMER = 'O''NEIL' WHERE TRIPNUM = 1003;");
  const Result result = sim_.get("WCI=TripRequestReport1");
  EXPECT_EQ(result.status, 200);
  EXPECT_TRUE(contains(result.body, "<td><font size='-3'>O&#39;Neil Academy</font></td>"));
  EXPECT_TRUE(contains(sim_.get("WCI=TripRequestReport2").body, "<td>O&#39;Neil Academy</td>"));
}

}  // namespace
}  // namespace report_tests
