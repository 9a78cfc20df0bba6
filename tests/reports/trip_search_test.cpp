// The field trip search: the query and its WHERE part in the session, the check box pairs, the
// sort order, the date checks, the Fund button and the session time-out.
#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

constexpr const char* kTrips = "WCI=TripSearch&WCE=FieldTrips&WCU";

const std::string kDisplayQuery =
    "SELECT TRIPS.TRIPNUM, TRIPS.ESTTIME, TRIPS.ESTMILE, TRIPS.INTTRIPNUM, TRIPS.CUSTOMER, "
    "CUSTOMER.CUSTNAME, TRIPS.DESTINATION, DESTINATION.DESTDESC, TRIPS.DEPDATE, TRIPS.DEPTIME, "
    "TRIPS.ASSIGNED, TRIPS.BILLED, DateValue(TRIPS.BILLDATE) AS BILLDATE, TRIPS.CANCELED, "
    "DATEVALUE(TRIPS.CANDATE) AS CANDATE, TRIPS.GRADE, CUSTOMER.CUSTDIV, TRIPS.RETDATE, "
    "TRIPS.RETTIME, TRIPS.FUND, TRIPS.TRIPREQNUM, TRIPS.PO, TRIPS.TRIPCAT, TRIPS.SCHEDULE, "
    "TRIPS.NUMSTUDENTS, TRIPS.NUMADULTS, TRIPS.CONTACT, TRIPS.ARRIVETIME, TRIPS.LEAVETIME, "
    "TRIPS.PURPOSE, TRIPS.SHUTTLE, CUSTOMER_1.CUSTNAME as BILLCUSTNAME, TRIPS.BILLCUST, (SELECT "
    "SUM(TRANAMT) FROM ARDETAIL WHERE TRANCODE='BIL' AND TRIPNUM=TRIPS.TRIPNUM) AS TOTALBILLED, "
    "(SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRIPNUM=TRIPS.TRIPNUM) AS TOTALDUE FROM (((TRIPS "
    "LEFT JOIN CUSTOMER ON TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) LEFT JOIN DESTINATION ON "
    "TRIPS.DESTINATION = DESTINATION.DESTINATION) LEFT JOIN CUSTOMER AS CUSTOMER_1 ON "
    "TRIPS.BILLCUST = CUSTOMER_1.CUSTOMER) ";

using Form = std::vector<std::pair<std::string, std::string>>;

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

class TripSearchTest : public ::testing::Test {
 protected:
  TripSearchTest() {
    add_sample_data(district_);
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

  Simulator& signed_in(const std::string& user = "ad", const std::string& password = "pw") {
    sim_ = std::make_unique<Simulator>(district_);
    sign_in(*sim_, user, password);
    return *sim_;
  }
  std::string condition() const { return sim_->session_text("TripReportSummaryCondition"); }
  std::string query() const { return sim_->session_text("TripReportQuery"); }

  District district_;
  std::unique_ptr<Simulator> sim_;
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
  EXPECT_TRUE(contains(page,
                       "name='chkOPENBALANCE' value='ON' >Show only Trips with an Open "
                       "Balance"));
  EXPECT_FALSE(contains(page, "<option selected value="));  // DEPDATE is none of the choices
  EXPECT_LT(page.find(">5001</font>"), page.find(">5003</font>"));
  EXPECT_LT(page.find(">5003</font>"), page.find(">5002</font>"));
  EXPECT_EQ(sim_->session_text("LoadRequestDetailFromSession"), "False");
}

TEST_F(TripSearchTest, a_user_tied_to_a_customer_sees_only_its_trips) {
  const std::string page = signed_in("teacher", "apple").get("WCI=TripSearch&WCU").body;
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'LHS'");
  EXPECT_EQ(query(), kDisplayQuery + " WHERE TRIPS.CUSTOMER = 'LHS' ORDER BY TRIPS.DEPDATE");
  EXPECT_TRUE(contains(page, count_shown(1)));
  // The posted customer does not widen the search unless other schools may be viewed.
  sim_->post(kTrips, {{"cust", "BAND"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'LHS'");
  sim_->set_application("VIEW_OTHER_SCHOOLS", "True");
  sim_->post(kTrips, {{"cust", "BAND"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'BAND'");
}

TEST_F(TripSearchTest, a_pair_filters_only_when_exactly_one_of_its_boxes_is_ticked) {
  struct Case {
    std::initializer_list<const char*> boxes;
    const char* condition;
  };
  const Case cases[] = {
      {{"chkASSIGNED", "chkUnassigned", "chkBILLED", "chkUnbilled", "chkCANCELLED", "chkOPEN"}, ""},
      {{}, ""},
      {{"chkASSIGNED"}, " WHERE TRIPS.ASSIGNED = TRUE"},
      {{"chkUnassigned"}, " WHERE TRIPS.ASSIGNED = FALSE"},
      {{"chkBILLED", "chkUnbilled", "chkCANCELLED", "chkOPEN", "chkASSIGNED"},
       " WHERE TRIPS.ASSIGNED = TRUE"},
      {{"chkUnbilled"}, " WHERE TRIPS.BILLED = FALSE"},
      {{"chkBILLED"}, " WHERE TRIPS.BILLED = TRUE"},
      {{"chkCANCELLED"}, " WHERE TRIPS.CANCELED = TRUE"},
      {{"chkOPEN"}, " WHERE TRIPS.CANCELED = FALSE"},
      {{"chkUnassigned", "chkUnbilled", "chkOPEN"},
       " WHERE TRIPS.ASSIGNED = FALSE AND TRIPS.BILLED = FALSE AND TRIPS.CANCELED = FALSE"},
      {{"chkOpenBalance"},
       " WHERE (TRIPS.AMOUNT1 > 0 OR TRIPS.AMOUNT2 > 0 OR TRIPS.AMOUNT3 > 0 OR TRIPS.AMOUNT4 > 0 "
       "OR TRIPS.AMOUNT5 > 0)"},
  };
  Simulator& sim = signed_in();
  for (const Case& c : cases) {
    sim.post(kTrips, ticked(c.boxes));
    EXPECT_EQ(condition(), c.condition);
  }
}

TEST_F(TripSearchTest, the_filters_find_the_matching_trips) {
  struct Case {
    Form form;
    int count;
    const char* shown;
  };
  const Case cases[] = {
      {ticked({"chkCANCELLED"}), 1, ">5003</font>"},
      {ticked({"chkBILLED", "chkUnassigned", "chkASSIGNED"}), 1, ">5001</font>"},
      {ticked({"chkOpenBalance"}), 1, ">5001</font>"},
      {ticked({}, {{"BILLCUST", "BAND, District Band"}}), 2, ">5003</font>"},
      {ticked({}, {{"div", "E, Elementary"}}), 1, ">5002</font>"},
      {ticked({}, {{"TRIPREQNUM", "1001"}}), 1, ">5001</font>"},
      {ticked({}, {{"DepFrom", "1/13/2027"}}), 1, ">5002</font>"},
  };
  Simulator& sim = signed_in();
  for (const Case& c : cases) {
    const std::string page = sim.post(kTrips, c.form).body;
    EXPECT_TRUE(contains(page, count_shown(c.count))) << condition();
    EXPECT_TRUE(contains(page, c.shown)) << condition();
  }
}

TEST_F(TripSearchTest, every_criterion_adds_its_clause_in_order) {
  signed_in().post(kTrips, ticked({"chkASSIGNED", "chkUnbilled", "chkCANCELLED", "chkOpenBalance"},
                                  pairs_of("DepFrom=3/15/2009|DepTo=3/20/2009|grade=12|cust=LHS|"
                                           "dest=10.0|tripcat=FLD|div=H, High Schools|IntNum=I-1|"
                                           "TRIPREQNUM=1001|TRIPNUM= 5001 |"
                                           "BILLCUST=BAND, District Band|PO=PO-7|fund=100")));
  EXPECT_EQ(condition(),
            " WHERE TRIPS.DEPDATE >= #3/15/2009# and TRIPS.DEPDATE <= #3/20/2009# AND "
            "TRIPS.GRADE = '12' AND TRIPS.CUSTOMER = 'LHS' AND TRIPS.DESTINATION = 10 AND "
            "TRIPS.TRIPCAT = 'FLD' AND CUSTOMER.CUSTDIV = 'H' AND TRIPS.INTTRIPNUM = 'I-1' AND "
            "TRIPS.TRIPREQNUM = 1001 AND TRIPS.TRIPNUM = 5001 AND TRIPS.ASSIGNED = TRUE AND "
            "TRIPS.BILLED = FALSE AND TRIPS.CANCELED = TRUE AND (TRIPS.AMOUNT1 > 0 OR "
            "TRIPS.AMOUNT2 > 0 OR TRIPS.AMOUNT3 > 0 OR TRIPS.AMOUNT4 > 0 OR TRIPS.AMOUNT5 > 0) "
            "AND TRIPS.BILLCUST = 'BAND' AND TRIPS.PO = 'PO-7' AND TRIPS.FUND = '100'");
  EXPECT_EQ(query(), kDisplayQuery + condition() + " ORDER BY TRIPS.DEPDATE");
}

TEST_F(TripSearchTest, the_departure_range_covers_one_day_and_ignores_a_lone_to_date) {
  Simulator& sim = signed_in();
  sim.post(kTrips, {{"DepFrom", "12/31/2026"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.DEPDATE >= #12/31/2026# and TRIPS.DEPDATE <= #12/31/2026#");
  sim.post(kTrips, {{"DepTo", "12/31/2026"}});
  EXPECT_EQ(condition(), "");
}

TEST_F(TripSearchTest, an_invalid_departure_date_is_refused_with_its_message_alone) {
  struct Case {
    Form form;
    const char* message;
  };
  const Case cases[] = {
      {{{"DepFrom", "2/30/2009"}}, "Please enter a valid departure from date."},
      {{{"DepFrom", "2/3/2009"}, {"DepTo", "soon"}}, "Please enter a valid departure to date."},
  };
  for (const Case& c : cases) {
    Simulator& sim = signed_in();
    sim.set_session("TripReportQuery", "earlier");
    EXPECT_EQ(message_of(sim.post(kTrips, c.form).body), c.message);
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

TEST_F(TripSearchTest, typed_text_reaches_the_query_only_as_a_quoted_literal) {
  signed_in().post(kTrips, {{"PO", "x' OR '1'='1"}, {"IntNum", "it's"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.INTTRIPNUM = 'it''s' AND TRIPS.PO = 'x'' OR ''1''=''1'");
}

TEST_F(TripSearchTest, the_sort_choices_order_the_list) {
  struct Case {
    const char* first;
    const char* then;
    const char* order;
  };
  const Case cases[] = {
      {"CUSTOMER.CUSTNAME", "TRIPS.TRIPNUM", " ORDER BY CUSTOMER.CUSTNAME, TRIPS.TRIPNUM"},
      {"TRIPS.NUMSTUDENTS", "", " ORDER BY TRIPS.NUMSTUDENTS"},
      {"", "TRIPS.TRIPNUM", " ORDER BY TRIPS.DEPDATE"},
      // A column the page does not offer never reaches the SQL.
      {"TRIPS.TRIPNUM; DROP TABLE TRIPS", "", " ORDER BY TRIPS.DEPDATE"},
      {"TRIPS.TRIPREQNUM", "1", " ORDER BY TRIPS.TRIPREQNUM"},
  };
  Simulator& sim = signed_in();
  for (const Case& c : cases) {
    sim.post(kTrips, {{"sortBy1", c.first}, {"sortBy2", c.then}});
    EXPECT_EQ(query(), kDisplayQuery + c.order) << c.first;
  }
  const std::string page =
      sim.post(kTrips, {{"sortBy1", "CUSTOMER.CUSTNAME"}, {"sortBy2", "TRIPS.TRIPNUM"}}).body;
  EXPECT_LT(page.find(">5002</font>"), page.find(">5003</font>"));  // Adams, Band, Lakeview
  EXPECT_LT(page.find(">5003</font>"), page.find(">5001</font>"));
}

TEST_F(TripSearchTest, without_autofill_the_first_page_lists_nothing) {
  Simulator& sim = signed_in();
  sim.set_application("AUTOFILL_TRIPS", "False");
  sim.set_session("TripReportSummaryCondition", "earlier");
  sim.set_session("TripReportQuery", "earlier");
  const std::string page = sim.get("WCI=TripSearch&WCU").body;
  EXPECT_TRUE(contains(page, count_shown(0)));
  EXPECT_FALSE(contains(page, "Print Report"));
  EXPECT_EQ(query(), "");
  EXPECT_EQ(condition(), "earlier");
  // A search of the form is still made.
  EXPECT_TRUE(contains(sim.post(kTrips, {{"btnsubmit", "Search"}}).body, count_shown(3)));
}

TEST_F(TripSearchTest, reset_forgets_the_criteria_and_ticks_every_pair) {
  Simulator& sim = signed_in();
  const std::string page =
      sim.post(kTrips,
               {{"btnsubmit", "reset"}, {"chkASSIGNED", "ON"}, {"grade", "12"}, {"DepFrom", "x"}})
          .body;
  // A user without a customer of his own still sees every customer's trips.
  EXPECT_EQ(condition(), "");
  EXPECT_TRUE(contains(page, count_shown(3)));
  EXPECT_TRUE(contains(page, "name='chkUnassigned' value='ON' checked "));
  signed_in("teacher", "apple").post(kTrips, {{"btnsubmit", "Reset"}, {"cust", "BAND"}});
  EXPECT_EQ(condition(), " WHERE TRIPS.CUSTOMER = 'LHS'");
}

TEST_F(TripSearchTest, the_fund_button_opens_the_fund_lookup_for_the_trip_search) {
  struct Case {
    const char* user;
    const char* password;
    const char* customer;
  };
  const Case cases[] = {{"teacher", "apple", "LHS"}, {"ad", "pw", "BAND"}};
  for (const Case& c : cases) {
    Simulator& sim = signed_in(c.user, c.password);
    const std::string page = sim.post(kTrips, {{"btnSubmit", "Fund"}, {"cust", "BAND"}}).body;
    EXPECT_TRUE(contains(page, "WCI=LookupFund&amp;WCE=FindFunds&amp;WCU")) << page;
    EXPECT_EQ(sim.session_text("SELTRIP"), "Y");
    EXPECT_EQ(sim.session_text("RequestDetail.customer"), c.customer);
  }
}

TEST_F(TripSearchTest, the_page_shows_the_criteria_searched_for_and_the_totals) {
  district_.sql("trip",
                "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (5001, 'BIL', 1000)");
  const std::string page =
      signed_in()
          .post(kTrips, ticked({"chkASSIGNED", "chkBILLED", "chkOPEN", "chkOpenBalance"},
                               {{"cust", "LHS"},
                                {"dest", "10"},
                                {"TRIPREQNUM", "1001"},
                                {"TRIPNUM", "5001"},
                                {"fund", "100"},
                                {"sortBy1", "CUSTOMER.CUSTNAME"},
                                {"sortBy2", "TRIPS.TRIPNUM"}}))
          .body;
  const char* const parts[] = {
      "name='chkASSIGNED' value='ON' checked >Assigned&nbsp;",
      "name='chkUnassigned' value='ON' >Unassigned&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;",
      "name='chkBILLED' value='ON' checked >Billed&nbsp;",
      "name='chkUnbilled' value='ON' >Unbilled&nbsp;&nbsp&nbsp;&nbsp;&nbsp;&nbsp;",
      "name='chkCANCELLED' value='ON' >Cancelled&nbsp;",
      "name='chkOPEN' value='ON' checked >Open",
      "name='chkOPENBALANCE' value='ON' checked >Show only Trips with an Open Balance",
      "<option selected value='CUSTOMER.CUSTNAME'>Customer</option>",
      ("<select name='sortBy2' title=\"Sort column\"><option></option><option selected "
       "value='TRIPS.TRIPNUM'>Trip #</option>"),
      "<input name='TRIPREQNUM' size='21' VALUE='1001' ",
      "<input name='TRIPNUM' size='21' VALUE='5001' ",
      "<input name='fund' size='21' value='100' ",
      "<option value='LHS' selected>Lakeview High School</option>",
      "<option value='BAND'>District Band</option>",
      "<option value='10' selected>Science Museum of the Great La</option>",
      "<option>BAND, District Band</option>",
      "Total billed: <strong>$1,120.50</strong>",
      "Amount due: <strong>$1,100.50</strong>",
  };
  for (const char* part : parts) EXPECT_TRUE(contains(page, part)) << part << "\n" << page;
}

TEST_F(TripSearchTest, a_lost_session_shows_the_time_out_on_the_logout_page) {
  for (bool post : {false, true}) {
    Simulator sim(district_);
    const std::string page = post ? sim.post(kTrips, {{"btnsubmit", "Search"}}).body
                                  : sim.get("WCI=TripSearch&WCU").body;
    EXPECT_TRUE(contains(page, "Sorry, your session has timed out please log in again and retry."));
    EXPECT_FALSE(contains(page, "Find field trips"));
    EXPECT_EQ(sim.session_text("TripReportQuery"), "");
  }
}

}  // namespace
