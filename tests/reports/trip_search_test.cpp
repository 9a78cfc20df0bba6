// The field trip search: the condition and query it leaves in the session, its checks, the result
// table with its totals and 300-trip limit, and the criteria shown again on its page.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr const char* kTrips = "WCI=TripSearch&WCE=FieldTrips&WCU";
const std::string kDisplayQuery = kTripQuery.substr(0, kTripQuery.find(" ORDER BY"));

std::string count_shown(int count) {
  return "Trips found: <strong>" + std::to_string(count) + "</strong>";
}

// The pair boxes as a browser posts them: only the ticked ones.
Form ticked(std::initializer_list<const char*> boxes, Form more = {}) {
  Form form = {{"btnsubmit", "Search"}};
  for (const char* box : boxes) form.emplace_back(box, "ON");
  form.insert(form.end(), more.begin(), more.end());
  return form;
}

class TripSearchTest : public SearchTest {
 protected:
  TripSearchTest() {
    district_.sql("trip", R"sql(
      INSERT INTO TRIPS (TRIPNUM, TRIPREQNUM, CUSTOMER, BILLCUST, CONTACT, FUND, PO, GRADE, TRIPCAT,
        PURPOSE, DESTINATION, DEPDATE, DEPTIME, RETDATE, RETTIME, ARRIVETIME, LEAVETIME,
        NUMSTUDENTS, NUMADULTS, ASSIGNED, BILLED, CANCELED, AMOUNT1) VALUES
        (5001, 1001, 'LHS', 'BAND', 'O''Brien-Smithson', '100', 'PO-7', '12', 'FLD', 'Science fair',
         10, 46387, 0.375, 46387, 0.6875, 0.4166666666666667, 0.625, 40, 4, -1, -1, 0, 10),
        (5002, 0, 'ADAMS', 'ADAMS', NULL, '300', NULL, 'K', 'FLD', NULL, 11, 46400, NULL, NULL,
         NULL, NULL, NULL, 22, 5, 0, 0, 0, 0),
        (5003, NULL, 'BAND', 'BAND', 'Director', '200', 'PO-9', '5', 'MUS', 'Concert', 99, 46390,
         0.5, 46390, 0.75, NULL, NULL, 60, 6, 0, 0, -1, NULL);
      INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (5001, 'BIL', 120.5),
        (5001, 'PAY', -20), (5003, 'BIL', 15.25);
    )sql");
  }

  std::string condition() const { return sim_->session_text("TripReportSummaryCondition"); }
  std::string query() const { return sim_->session_text("TripReportQuery"); }
};

TEST_F(TripSearchTest, the_first_visit_lists_every_trip_by_departure_with_every_box_ticked) {
  const std::string page = signed_in().get("WCI=TripSearch&WCU").body;
  EXPECT_EQ(query(), kDisplayQuery + " ORDER BY TRIPS.DEPDATE");
  EXPECT_EQ(condition(), "");
  EXPECT_TRUE(contains(page, count_shown(3))) << page;
  for (const char* box :
       {"chkASSIGNED", "chkUnassigned", "chkBILLED", "chkUnbilled", "chkCANCELLED", "chkOPEN"}) {
    EXPECT_TRUE(contains(page, std::string("name='") + box + "' value='ON' checked ")) << box;
  }
  EXPECT_EQ(sim_->session_text("LoadRequestDetailFromSession"), "False");
}

TEST_F(TripSearchTest, a_user_tied_to_a_customer_sees_only_its_trips) {
  const std::string page = signed_in("teacher", "apple").get("WCI=TripSearch&WCU").body;
  EXPECT_EQ(query(), kDisplayQuery + " WHERE TRIPS.CUSTOMER = 'LHS' ORDER BY TRIPS.DEPDATE");
  EXPECT_TRUE(contains(page, count_shown(1)));
  // The posted customer does not widen the search unless other schools may be viewed.
  sim_->post(kTrips, {{"cust", "BAND"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'LHS'");
  sim_->set_application("VIEW_OTHER_SCHOOLS", "True");
  sim_->post(kTrips, {{"cust", "BAND"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'BAND'");
}

TEST_F(TripSearchTest, each_form_gives_its_condition) {
  const std::pair<Form, const char*> cases[] = {
      // A pair filters only when exactly one of its boxes is ticked.
      {ticked({}), ""},
      {ticked({"chkASSIGNED"}), " WHERE TRIPS.ASSIGNED = TRUE"},
      {ticked({"chkUnassigned"}), " WHERE TRIPS.ASSIGNED = FALSE"},
      {ticked({"chkUnbilled"}), " WHERE TRIPS.BILLED = FALSE"},
      {ticked({"chkBILLED"}), " WHERE TRIPS.BILLED = TRUE"},
      {ticked({"chkCANCELLED"}), " WHERE TRIPS.CANCELED = TRUE"},
      {ticked({"chkOPEN"}), " WHERE TRIPS.CANCELED = FALSE"},
      // Every criterion adds its clause in order.
      {ticked({"chkASSIGNED", "chkUnbilled", "chkCANCELLED", "chkOpenBalance"},
              pairs_of("DepFrom=3/15/2009|DepTo=3/20/2009|grade=12|cust=LHS|dest=10.0|tripcat=FLD|"
                       "div=H, High Schools|IntNum=I-1|TRIPREQNUM=1001|TRIPNUM= 5001 |"
                       "BILLCUST=BAND, District Band|PO=PO-7|fund=100")),
       " WHERE TRIPS.DEPDATE >= #3/15/2009# and TRIPS.DEPDATE <= #3/20/2009# AND "
       "TRIPS.GRADE = '12' AND TRIPS.CUSTOMER = 'LHS' AND TRIPS.DESTINATION = 10 AND "
       "TRIPS.TRIPCAT = 'FLD' AND CUSTOMER.CUSTDIV = 'H' AND TRIPS.INTTRIPNUM = 'I-1' AND "
       "TRIPS.TRIPREQNUM = 1001 AND TRIPS.TRIPNUM = 5001 AND TRIPS.ASSIGNED = TRUE AND "
       "TRIPS.BILLED = FALSE AND TRIPS.CANCELED = TRUE AND (TRIPS.AMOUNT1 > 0 OR "
       "TRIPS.AMOUNT2 > 0 OR TRIPS.AMOUNT3 > 0 OR TRIPS.AMOUNT4 > 0 OR TRIPS.AMOUNT5 > 0) "
       "AND TRIPS.BILLCUST = 'BAND' AND TRIPS.PO = 'PO-7' AND TRIPS.FUND = '100'"},
  };
  Simulator& sim = signed_in();
  for (const auto& [form, expected] : cases) {
    sim.post(kTrips, form);
    EXPECT_EQ(condition(), expected);
    EXPECT_EQ(query(), kDisplayQuery + expected + " ORDER BY TRIPS.DEPDATE");
  }
}

TEST_F(TripSearchTest, an_invalid_departure_date_is_refused_with_its_message_alone) {
  const std::pair<Form, const char*> cases[] = {
      {{{"DepFrom", "2/30/2009"}}, "Please enter a valid departure from date."},
      {{{"DepFrom", "2/3/2009"}, {"DepTo", "soon"}}, "Please enter a valid departure to date."},
  };
  for (const auto& [form, message] : cases) {
    Simulator& sim = signed_in();
    sim.set_session("TripReportQuery", "earlier");
    EXPECT_EQ(message_of(sim.post(kTrips, form).body), message);
    EXPECT_EQ(query(), "earlier");
  }
}

TEST_F(TripSearchTest, a_number_criterion_that_is_no_number_ends_in_the_error_report) {
  for (const char* field : {"dest", "TRIPREQNUM", "TRIPNUM"}) {
    const std::string page = signed_in().post(kTrips, {{field, "12a"}}).body;
    EXPECT_EQ(message_of(page),
              "Error in Procedure: TripSearch_FieldTrips of Module: Jaunter.  Error: 13.  Type "
              "mismatch.")
        << field;
  }
}

TEST_F(TripSearchTest, the_sort_choices_order_the_list) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"CUSTOMER.CUSTNAME", "TRIPS.TRIPNUM", " ORDER BY CUSTOMER.CUSTNAME, TRIPS.TRIPNUM"},
      {"TRIPS.NUMSTUDENTS", "", " ORDER BY TRIPS.NUMSTUDENTS"},
      {"", "TRIPS.TRIPNUM", " ORDER BY TRIPS.DEPDATE"},
      // A column the page does not offer never reaches the SQL.
      {"TRIPS.TRIPNUM; DROP TABLE TRIPS", "", " ORDER BY TRIPS.DEPDATE"},
      {"TRIPS.TRIPREQNUM", "1", " ORDER BY TRIPS.TRIPREQNUM"},
  };
  Simulator& sim = signed_in();
  for (const auto& [first, then, order] : cases) {
    sim.post(kTrips, {{"sortBy1", first}, {"sortBy2", then}});
    EXPECT_EQ(query(), kDisplayQuery + order) << first;
  }
}

TEST_F(TripSearchTest, without_autofill_the_first_page_lists_nothing) {
  Simulator& sim = signed_in();
  sim.set_application("AUTOFILL_TRIPS", "False");
  sim.set_session("TripReportSummaryCondition", "earlier");
  const std::string page = sim.get("WCI=TripSearch&WCU").body;
  EXPECT_TRUE(contains(page, count_shown(0)));
  EXPECT_FALSE(contains(page, "Print Report"));
  EXPECT_EQ(query(), "");
  EXPECT_EQ(condition(), "earlier");
}

TEST_F(TripSearchTest, reset_forgets_the_criteria_but_not_the_users_customer) {
  Simulator& sim = signed_in();
  const std::string page =
      sim.post(kTrips,
               {{"btnsubmit", "reset"}, {"chkASSIGNED", "ON"}, {"grade", "12"}, {"DepFrom", "x"}})
          .body;
  EXPECT_EQ(condition(), "");
  EXPECT_TRUE(contains(page, count_shown(3)));
  EXPECT_TRUE(contains(page, "name='chkUnassigned' value='ON' checked "));
  signed_in("teacher", "apple").post(kTrips, {{"btnsubmit", "Reset"}, {"cust", "BAND"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'LHS'");
}

TEST_F(TripSearchTest, the_page_shows_the_criteria_searched_for) {
  const std::string page =
      signed_in()
          .post(kTrips, ticked({"chkASSIGNED", "chkOPEN"},
                               pairs_of("TRIPREQNUM=1001|fund=100|"
                                        "sortBy1=CUSTOMER.CUSTNAME|sortBy2=TRIPS.TRIPNUM")))
          .body;
  const char* const parts[] = {
      "name='chkASSIGNED' value='ON' checked >Assigned&nbsp;",
      "name='chkOPEN' value='ON' checked >Open",
      "<option selected value='CUSTOMER.CUSTNAME'>Customer</option>",
      ("<select name='sortBy2' title=\"Sort column\"><option></option><option selected "
       "value='TRIPS.TRIPNUM'>Trip #</option>"),
      "<input name='TRIPREQNUM' size='21' VALUE='1001' ",
      "<input name='fund' size='21' value='100' ",
  };
  for (const char* part : parts) EXPECT_TRUE(contains(page, part)) << part << "\n" << page;
}

TEST_F(TripSearchTest, the_table_has_its_headings_two_lines_per_trip_and_the_totals) {
  const std::string page = signed_in().post(kTrips, ticked({"chkOPEN"})).body;
  const auto table = page.find("<table width='100%' border='0' cellpadding='0' cellspacing='0'>");
  ASSERT_NE(table, std::string::npos);
  const std::string on = "<input type=checkbox checked>", off = "<input type=checkbox>";
  EXPECT_EQ(joined(cell_texts(page.substr(table, page.find("</table>", table) - table))),
            "Trip#|Customer|Destination|Depart|Return|Cancelled|Billed|&nbsp;|Billing Customer|"
            "Division|Category|Contact|# Stus / Adults|Grade|Arrive Time|Leave Time|Assigned|Amt|"
            "Due|Fund|Purpose|Request #||"
            "5001|Lakeview High School|Science Museum of the Great Lakes Region|"
            "12/31/26, 9:00&nbsp;AM|12/31/26, 4:30&nbsp;PM|" +
                off + "|" + on +
                "|&nbsp;|District Band|H|FLD|O&#39;Brien-Sm|40/4|12|10:00&nbsp;AM|3:00&nbsp;PM|" +
                on +
                "|$120.50|$100.50|100|Science fair|1001|"
                "5002|Adams Elementary|City Park|1/13/27, &nbsp;| , &nbsp;|" +
                off + "|" + off + "|&nbsp;|Adams Elementary|E|FLD|&nbsp;|22/5|K|&nbsp;|&nbsp;|" +
                off + "|||300|&nbsp;|&nbsp;");
  EXPECT_TRUE(before(page, "<tr bgcolor=#FFFFFF><td><font size='-2'>5001</font>",
                     "<tr bgcolor=#C0C0C0><td><font size='-2'>5002</font>"));
  EXPECT_TRUE(contains(page,
                       "<a href='Jaunter.ASP?WCI=PrintReport&Type=Trip' target='_blank'>Print "
                       "Report</a>&nbsp;<table"));
  EXPECT_TRUE(contains(page,
                       "Total billed: <strong>$120.50</strong>\n      &middot; Amount due: "
                       "<strong>$100.50</strong>"));
  EXPECT_TRUE(contains(page, count_shown(2)));
}

TEST_F(TripSearchTest, three_hundred_trips_are_listed_and_one_more_is_refused) {
  // The bulk departs 4/23/2027, after the other trips.
  const auto add = [&](int count) {
    district_.sql("trip",
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                      std::to_string(count) +
                      ") INSERT INTO TRIPS (CUSTOMER, DEPDATE) SELECT 'BAND', 46500 FROM n;");
  };
  add(300);
  std::string page = signed_in().post(kTrips, {{"DepFrom", "4/23/2027"}}).body;
  EXPECT_TRUE(contains(page, count_shown(300)));
  EXPECT_FALSE(contains(page, "more than 300"));
  add(1);
  page = sim_->post(kTrips, {{"DepFrom", "4/23/2027"}}).body;
  EXPECT_TRUE(contains(page, count_shown(301)));
  EXPECT_TRUE(contains(page,
                       "<table width='100%' border='1'><tr>&nbsp;</tr><tr><p align='center'><b>"
                       "<font color='#0000ff'>&nbsp;&nbsp;Sorry, your search has returned more "
                       "than 300 trip requests. Please refine your search and try again.</font>"
                       "</b></p></tr></table>"));
  EXPECT_FALSE(contains(page, "Print Report"));
  // The reports still get the query of the search.
  EXPECT_TRUE(contains(query(), "TRIPS.DEPDATE >= #4/23/2027#"));
}

TEST_F(TripSearchTest, database_text_is_escaped_in_the_table) {
  district_.sql("trip", R"sql(
    INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV, ACTIVE) VALUES ('X<1>', 'Smith & <Sons>',
      'D''1', -1);
    INSERT INTO TRIPS (TRIPNUM, CUSTOMER, BILLCUST, CONTACT, FUND, PURPOSE, TRIPCAT, DEPDATE)
      VALUES (5005, 'X<1>', 'X<1>', '<script>alert(1)</script>', '"9"', 'a<b', 'T&T', 46401);
  )sql");
  const std::string page = signed_in().post(kTrips, {{"TRIPNUM", "5005"}}).body;
  EXPECT_FALSE(contains(page, "<script>"));
  for (const char* cell :
       {"<td rowspan='2'><font size='-2'>Smith &amp; &lt;Sons&gt;</font>",
        "<td><font size='-2'>D&#39;1</font></td>",
        "<td><font size='-2'>&lt;script&gt;al</font></td>",
        "<td><font size='-2'>&quot;9&quot;</font></td>", "<td><font size='-2'>a&lt;b</font></td>",
        "<td><font size='-2'>T&amp;T</font></td>"}) {
    EXPECT_TRUE(contains(page, cell)) << cell;
  }
}

}  // namespace
}  // namespace report_tests
