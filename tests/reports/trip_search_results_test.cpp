// The field trip search's result table (exact HTML, billing amounts and totals, the 300-trip
// limit) and the tags of its page (check boxes, sort choices, numbers, Fund, billing customer).
#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

constexpr const char* kTrips = "WCI=TripSearch&WCE=FieldTrips&WCU";
constexpr const char* kB = "style=\"border: solid 0 #000000; border-right-width:1px;\"";

std::string th(const std::string& opening, const std::string& text) {
  return opening + kB + " ><font size='-2'>" + text + "</font></td>";
}

const std::string kHead =
    "<a href='Jaunter.ASP?WCI=PrintReport&Type=Trip' target='_blank'>Print Report</a>&nbsp;"
    "<table width='100%' border='0' cellpadding='0' cellspacing='0'><thead><tr>" +
    th("<td width='58' ", "Trip#") + th("<td rowspan='2' width='110' ", "Customer") +
    th("<td colspan='2' width='170' ", "Destination") + th("<td ", "Depart") +
    th("<td ", "Return") + th("<td ", "Cancelled") + th("<td ", "Billed") + "<td " + kB +
    " >&nbsp;</td>" + th("<td ", "Billing Customer") + th("<td ", "Division") +
    "<td><font size='-2'>Category</font></td></tr><tr>" + th("<td ", "Contact") +
    th("<td width='90' ", "# Stus / Adults") + th("<td width='70' ", "Grade") +
    th("<td ", "Arrive Time") + th("<td ", "Leave Time") + th("<td ", "Assigned") +
    th("<td ", "Amt") + th("<td ", "Due") + th("<td ", "Fund") + th("<td ", "Purpose") +
    "<td width='60'><font size='-2'>Request #</font></td></tr><tr><td colspan='12'><hr></td></tr>"
    "</thead><tbody>";

const std::string kRow5001 =
    "<tr bgcolor=#FFFFFF><td><font size='-2'>5001</font></td>"
    "<td rowspan='2'><font size='-2'>Lakeview High School</font></td>"
    "<td colspan='2'><font size='-2'>Science Museum of the Great Lakes Region</font></td>"
    "<td><font size='-2'>12/31/26, 9:00&nbsp;AM</font></td>"
    "<td><font size='-2'>12/31/26, 4:30&nbsp;PM</font></td>"
    "<td align='center'><font size='-2'><input type=checkbox></font></td>"
    "<td align='center'><font size='-2'><input type=checkbox checked></font></td>"
    "<td>&nbsp;</td>"
    "<td><font size='-2'>District Band</font></td>"
    "<td><font size='-2'>H</font></td>"
    "<td><font size='-2'>FLD</font></td>"
    "</tr><tr bgcolor=#FFFFFF>"
    "<td><font size='-2'>O&#39;Brien-Sm</font></td>"
    "<td><font size='-2'>40/4</font></td>"
    "<td><font size='-2'>12</font></td>"
    "<td><font size='-2'>10:00&nbsp;AM</font></td>"
    "<td><font size='-2'>3:00&nbsp;PM</font></td>"
    "<td><font size='-2'><input type=checkbox checked></font></td>"
    "<td><font size='-2'>$120.50</font></td>"
    "<td><font size='-2'>$100.50</font></td>"
    "<td><font size='-2'>100</font></td>"
    "<td><font size='-2'>Science fair</font></td>"
    "<td><font size='-2'>1001</font></td>"
    "</tr>";

const std::string kRow5002 =
    "<tr bgcolor=#C0C0C0><td><font size='-2'>5002</font></td>"
    "<td rowspan='2'><font size='-2'>Adams Elementary</font></td>"
    "<td colspan='2'><font size='-2'>City Park</font></td>"
    "<td><font size='-2'>1/13/27, &nbsp;</font></td>"
    "<td><font size='-2'> , &nbsp;</font></td>"
    "<td align='center'><font size='-2'><input type=checkbox></font></td>"
    "<td align='center'><font size='-2'><input type=checkbox></font></td>"
    "<td>&nbsp;</td>"
    "<td><font size='-2'>Adams Elementary</font></td>"
    "<td><font size='-2'>E</font></td>"
    "<td><font size='-2'>FLD</font></td>"
    "</tr><tr bgcolor=#C0C0C0>"
    "<td><font size='-2'>&nbsp;</font></td>"
    "<td><font size='-2'>22/5</font></td>"
    "<td><font size='-2'>K</font></td>"
    "<td><font size='-2'>&nbsp;</font></td>"
    "<td><font size='-2'>&nbsp;</font></td>"
    "<td><font size='-2'><input type=checkbox></font></td>"
    "<td><font size='-2'></font></td>"
    "<td><font size='-2'></font></td>"
    "<td><font size='-2'>300</font></td>"
    "<td><font size='-2'>&nbsp;</font></td>"
    "<td><font size='-2'>&nbsp;</font></td>"
    "</tr>";

bool contains(const std::string& page, const std::string& part) {
  return page.find(part) != std::string::npos;
}

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
  EXPECT_TRUE(contains(page, kHead + kRow5001 + kRow5002 + "</tbody></table>")) << page;
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

// ---- The page's tags ----------------------------------------------------------------------------

class TripTagsTest : public TripResultsTest {
 protected:
  TripTagsTest() : harness_((signed_in(), *sim_)) {}
  std::string tag(const char* name, const std::string& contents = "") {
    std::string text = contents;
    bool send = false;
    harness_.page().TripSearch_ProcessTag(name, text, send);
    return text;
  }
  reports::TripSearchState& state() { return harness_.page().trip_search; }
  PageHarness harness_;
};

TEST_F(TripTagsTest, the_pair_boxes_show_their_state_with_the_templates_attributes) {
  state().strChkAssigned = "ON";
  state().strChkUnbilled = "on";
  state().strChkOpen = "ON";
  EXPECT_EQ(tag("WC@CHKBOX", "A"),
            "<input type='checkbox' name='chkASSIGNED' value='ON' checked A>Assigned&nbsp;"
            "<input type='checkbox' name='chkUnassigned' value='ON' "
            "A>Unassigned&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
            "<input type='checkbox' name='chkBILLED' value='ON' A>Billed&nbsp;"
            "<input type='checkbox' name='chkUnbilled' value='ON' checked "
            "A>Unbilled&nbsp;&nbsp&nbsp;&nbsp;&nbsp;&nbsp;"
            "<input type='checkbox' name='chkCANCELLED' value='ON' A>Cancelled&nbsp;"
            "<input type='checkbox' name='chkOPEN' value='ON' checked A>Open");
  EXPECT_EQ(tag("wc@chkbox2", "A"),
            "<input type='checkbox' name='chkOPENBALANCE' value='ON' A>Show only Trips with an "
            "Open Balance");
  state().strChkOpenBalance = "ON";
  EXPECT_EQ(
      tag("WC@CHKBOX2", "A"),
      "<input type='checkbox' name='chkOPENBALANCE' value='ON' checked A>Show only Trips with "
      "an Open Balance");
}

TEST_F(TripTagsTest, the_sort_choices_mark_the_columns_sorted_by) {
  const std::string choices =
      "<option value='TRIPS.TRIPNUM'>Trip #</option>"
      "<option value='CUSTOMER.CUSTNAME'>Customer</option>"
      "<option value='DESTINATION.DESTDESC'>Destination</option>"
      "<option value='TRIPS.NUMSTUDENTS'># Students</option>"
      "<option value='TRIPS.DEPDATE'>Depart Date</option>"
      "<option value='TRIPS.TRIPREQNUM'>Request #</option>";
  state().strSortBy1 = "DEPDATE";
  EXPECT_EQ(tag("WC@SORTBY", "A"), "Sort By:&nbsp;<select name='sortBy1' A>" + choices +
                                       "</select>&nbsp;then by:&nbsp;<select name='sortBy2' "
                                       "A><option selected></option>" +
                                       choices + "</select>");
  state().strSortBy1 = "CUSTOMER.CUSTNAME";
  state().strSortBy2 = "TRIPS.TRIPNUM";
  const std::string sorted = tag("WC@SORTBY");
  EXPECT_TRUE(contains(sorted,
                       "<select name='sortBy1' ><option value='TRIPS.TRIPNUM'>Trip "
                       "#</option><option selected value='CUSTOMER.CUSTNAME'>Customer"));
  EXPECT_TRUE(contains(sorted,
                       "<select name='sortBy2' ><option></option><option selected "
                       "value='TRIPS.TRIPNUM'>Trip #</option><option "
                       "value='CUSTOMER.CUSTNAME'>Customer"));
}

TEST_F(TripTagsTest, the_number_fund_and_total_tags) {
  state().strTripReqNum = "1'2";
  state().strTripNum = "7";
  state().curTotalBilled = vb::Currency::from_double(1234.5);
  state().curTotalDue = vb::Currency::from_double(-5);
  EXPECT_EQ(tag("WC@TRIPREQNUM", "id=\"r\""),
            "<input name='TRIPREQNUM' size='21' VALUE='1&#39;2' id=\"r\">");
  EXPECT_EQ(tag("WC@TRIPNUM", "A"), "<input name='TRIPNUM' size='21' VALUE='7' A>");
  EXPECT_EQ(tag("WC@FUNDHDR", "A"), "<b><input type='submit' value='Fund' name='btnSubmit' A></b>");
  EXPECT_EQ(tag("WC@FUND", "kept"), "kept");
  state().strTripFund = "100";
  EXPECT_EQ(tag("WC@FUND", "A"), "<input name='fund' size='21' value='100' A>");
  EXPECT_EQ(tag("WC@CUSTHDR", "<label>Customer</label>"), "<label>Customer</label>");
  EXPECT_EQ(tag("WC@TOTALBILLED"), "$1,234.50");
  EXPECT_EQ(tag("WC@AMOUNTDUE"), "-$5.00");
  EXPECT_EQ(tag("WC@NUM"), "0");
  EXPECT_EQ(tag("WC@Name"), "Lakeview Unified");
}

TEST_F(TripTagsTest, the_customer_lists_post_their_codes) {
  harness_.page().search.strSearchCust = "band";
  harness_.page().search.strSearchDest = "10";
  EXPECT_EQ(tag("WC@CUST", "A"),
            "<select name='cust' A><option></option><option value='ADAMS'>Adams "
            "Elementary</option><option value='BAND' selected>District Band</option><option "
            "value='LHS'>Lakeview High School</option></select>");
  EXPECT_EQ(tag("WC@DEST", "A"),
            "<select name='dest' A><option></option><option value='11'>City Park</option><option "
            "value='10' selected>Science Museum of the Great La</option></select>");
  EXPECT_EQ(tag("WC@BILLCUST", "A"),
            "<select name='billcust' A><option></option><option>ADAMS, Adams "
            "Elementary</option><option>BAND, District Band</option><option>LHS, Lakeview High "
            "School</option></select>");
}

TEST_F(TripTagsTest, the_shared_drop_downs_take_the_request_search_forms) {
  harness_.page().search.strSearchGrade = "5";
  harness_.page().search.strSearchTripCat = "MUS";
  harness_.page().search.strSearchDiv = "E";
  EXPECT_EQ(tag("WC@GRADE", "A"),
            "<select name='grade' A><option value=><option value='K'>K<option value='5' "
            "selected>5<option value='12'>12</select>");
  EXPECT_EQ(tag("WC@CATEGORY", "A"),
            "<select name='tripcat' A><option></option><option>ATH</option><option>FLD</option>"
            "<option selected>MUS</option></select>");
  EXPECT_EQ(tag("WC@DIV", "A"),
            "<select name='div' A><option></option><option selected>E, Elementary</option>"
            "<option>H, High Schools</option></select>");
}

}  // namespace
