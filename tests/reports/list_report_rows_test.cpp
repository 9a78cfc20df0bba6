// The rows of the printable lists, one line and two lines: their cells in order, links to the
// request form, customer names, destinations broken at 30 characters and the spacer rows.
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

TEST_F(TripRowsTest, rows_alternate_colours_and_show_times_cancelled_box_contact_and_counts) {
  const std::string page = sim_.get("WCI=TripReport2").body;
  // Unknown destination, midnight held as one second past, no return time, cancelled. Blank
  // contact, purpose and grade show &nbsp;, unknown hours 0.00, Null counts one blank; Null
  // yes/no columns are clear boxes.
  const std::string museum = "|Lakeview High School|Science Museum of the Great Lakes Region|";
  EXPECT_EQ(row_cells(page),
            "1|3/2/2026" + museum + "3/2/2026|9:00&nbsp;AM|4:30&nbsp;PM|" + kClear +
                "|Ms Trip|Museum|6.50|" + kClear + "|25|40|4|12|" + kTicked + "|2|3/3/2026" +
                museum + "3/3/2026|9:00&nbsp;AM|4:30&nbsp;PM|" + kClear + "|Ms Trip|Museum|6.50|" +
                kClear + "|25|40|4|12|" + kClear +
                "|3|3/9/2026|&lt;Smith &amp; Sons&gt;|&nbsp;|3/10/2026|12:00&nbsp;AM|&nbsp;|" +
                kTicked + "|&nbsp;|&nbsp;|0.00|" + kTicked + "| | | |&nbsp;|" + kClear);
  EXPECT_TRUE(contains(page, "</tr><tr bgcolor=#FFFFFF><td colspan='2'><font size='-2'>Ms Trip"));
  EXPECT_TRUE(before(page, "<tr bgcolor=#FFFFFF><td><font size='-2'>1<",
                     "<tr bgcolor=#C0C0C0><td><font size='-2'>2<"));
}

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

TEST_F(RequestRowsTest, a_page_keeps_its_number_and_its_last_allowed_row_has_no_spacer) {
  use_page_size(2);
  const std::string page = sim_.get("WCI=TripRequestReport2").body;
  EXPECT_EQ(occurrences(page, "<tr><td colspan='10'></td></tr>"), 1);
  EXPECT_EQ(occurrences(page, "<a href="), 2);
  EXPECT_TRUE(contains(page, "<td>Game</td></tr>\n"));
  sim_.set_session("PageNumber", std::int16_t{7});
  const std::string last = sim_.get("WCI=TripRequestReport1").body;
  EXPECT_EQ(sim_.session_text("PageNumber"), "3");
  EXPECT_TRUE(contains(last, "WCE=1005&WCU\">1005</a>"));
  EXPECT_EQ(occurrences(last, "<a href="), 1);
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
