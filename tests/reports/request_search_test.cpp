// The request search: the main menu, the approver's work list, the query built from the criteria
// (its exact text in TripRequestReportQuery), the date checks and the session time-out.
#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

constexpr const char* kSearch = "WCI=RequestSearch&WCE=TripRequests&WCU";
constexpr const char* kNavigate = "WCI=RequestSearch&WCE=Navigate&WCU";
constexpr const char* kOrder = " ORDER BY TRIPSREQ.DEPDATE, TRIPSREQ.DEPTIME, TRIPSREQ.DESTINATION";

const std::string kWorkListBase =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.TRIPCAT, TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ";

const std::string kSearchBase =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.TRIPCAT, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ";

std::string before_comma(const std::string& text) {
  return text.substr(0, text.find(','));
}

std::string count_shown(int count) {
  return "Requests found: <strong>" + std::to_string(count) + "</strong>";
}

using Form = std::vector<std::pair<std::string, std::string>>;

class RequestSearchTest : public ::testing::Test {
 protected:
  RequestSearchTest() { add_sample_data(district_); }

  // Signs in (by default as a user without a customer of his own); the page is the search.
  Simulator& signed_in(const std::string& user = "ad", const std::string& password = "pw") {
    sim_ = std::make_unique<Simulator>(district_);
    first_page_ = sign_in(*sim_, user, password).body;
    return *sim_;
  }
  std::string query() const { return sim_->session_text("TripRequestReportQuery"); }

  District district_;
  std::unique_ptr<Simulator> sim_;
  std::string first_page_;
};

TEST_F(RequestSearchTest, the_work_list_holds_every_level_of_every_chain_the_role_approves) {
  // CLERK approves level 1 of C1 and level 3 of C2; the user has no customer of his own.
  district_.sql("security", R"sql(
    INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, Level3Approver,
      LEVEL1STATUS, Level2Status, Level3Status) VALUES
      ('C1', -1, 'CLERK', 'BOSS', NULL, 'CLERK OK', 'ACCEPTED', NULL),
      ('C2', -1, 'BOSS', 'NURSE', 'clerk', 'BOSS OK', 'NURSE OK', 'ACCEPTED'),
      ('C3', 0, 'CLERK', NULL, NULL, 'OLD', NULL, NULL);
    INSERT INTO CLSCU (CLSC1, CLSC2, ROLE, CUSTOMER) VALUES ('clerk', 'pw', 'CLERK', NULL);
  )sql");
  district_.sql("request", R"sql(
    INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, STATUS, CHAINID) VALUES
      (2001, 'LHS', 0, 46400, 'UNAPPROVED', 'C1'), (2002, 'BAND', 0, 46401, 'NURSE OK', 'C2'),
      (2003, 'BAND', 0, 46402, 'UNAPPROVED', 'C2'), (2004, 'LHS', 0, 46403, 'UNAPPROVED', 'C3');
  )sql");
  signed_in("clerk");
  const std::string& page = first_page_;
  EXPECT_EQ(query(), kWorkListBase +
                         " WHERE ((TRIPSREQ.CHAINID = 'C1' AND TRIPSREQ.STATUS = 'UNAPPROVED') OR "
                         "(TRIPSREQ.CHAINID = 'C2' AND TRIPSREQ.STATUS = 'NURSE OK'))" +
                         kOrder);
  EXPECT_TRUE(contains(page, count_shown(2))) << page;
  EXPECT_TRUE(contains(page, "WCE=2001&WCU\">2001</a>"));
  EXPECT_TRUE(contains(page, "WCE=2002&WCU\">2002</a>"));
  EXPECT_FALSE(contains(page, ">2003</a>"));
  EXPECT_FALSE(contains(page, ">2004</a>"));
}

TEST_F(RequestSearchTest, an_approver_with_a_customer_sees_only_that_customers_waiting_requests) {
  signed_in("principal");
  const std::string& page = first_page_;
  EXPECT_EQ(query(), kWorkListBase +
                         " WHERE ((TRIPSREQ.CHAINID = 'HS' AND TRIPSREQ.STATUS = 'UNAPPROVED') OR "
                         "(TRIPSREQ.CHAINID = 'ATHLETIC' AND TRIPSREQ.STATUS = 'AD APPROVED')) AND "
                         "(TRIPSREQ.CUSTOMER = 'LHS')" +
                         kOrder);
  EXPECT_TRUE(contains(page, count_shown(1)));
  EXPECT_TRUE(contains(page, ">1001</a>"));
}

TEST_F(RequestSearchTest, a_level_two_approver_waits_for_the_status_level_one_gives) {
  signed_in("transport");
  EXPECT_EQ(query(),
            kWorkListBase +
                " WHERE ((TRIPSREQ.CHAINID = 'HS' AND TRIPSREQ.STATUS = 'PRINCIPAL APPROVED') OR "
                "(TRIPSREQ.CHAINID = 'ATHLETIC' AND TRIPSREQ.STATUS = 'PRINCIPAL APPROVED'))" +
                kOrder);
}

TEST_F(RequestSearchTest, a_role_without_any_level_gets_the_default_search_of_his_customer) {
  signed_in("teacher", "apple");
  const std::string& page = first_page_;
  EXPECT_EQ(query(), kSearchBase + " WHERE TRIPSREQ.CUSTOMER = 'LHS'" + kOrder);
  EXPECT_TRUE(contains(page, count_shown(2)));
}

TEST_F(RequestSearchTest, a_blank_role_is_no_approver_of_the_unused_levels) {
  district_.sql("security",
                "INSERT INTO CLSCU (CLSC1, CLSC2, ROLE, CUSTOMER) VALUES ('norole', 'pw', NULL, "
                "NULL);");
  signed_in("norole");
  EXPECT_EQ(query(), kSearchBase + kOrder);
}

TEST_F(RequestSearchTest, without_autofill_and_work_list_the_first_page_has_no_table) {
  Simulator& sim = signed_in("teacher", "apple");
  sim.set_application("AUTOFILL_REQUESTS", "False");
  const std::string page = sim.get("WCI=RequestSearch&WCU").body;
  EXPECT_EQ(query(), "");
  EXPECT_TRUE(contains(page, count_shown(0)));
  EXPECT_FALSE(contains(page, "Print Report"));
  EXPECT_FALSE(contains(page, "<table"));
}

TEST_F(RequestSearchTest, every_criterion_adds_its_clause_in_order_and_the_division_stays_out) {
  Simulator& sim = signed_in();
  sim.post(kSearch, pairs_of("btnsubmit=Search|DepFrom=3/15/2009|DepTo=3/20/2009|"
                             "EnterFrom=Jan/5/2009|EnterTo=2/1/2009|Status=UNAPPROVED|grade=12|"
                             "cust=LHS|dest=010|tripcat=FLD|IntNum=LHS-12|div=H, High Schools"));
  EXPECT_EQ(query(), kSearchBase +
                         " WHERE TRIPSREQ.DEPDATE >= #3/15/2009# and TRIPSREQ.DEPDATE <= "
                         "#3/20/2009# AND datevalue(TRIPSREQ.REQDATE) >= #Jan/5/2009# and "
                         "datevalue(TRIPSREQ.REQDATE) <= #2/1/2009# AND TRIPSREQ.STATUS = "
                         "'UNAPPROVED' AND TRIPSREQ.GRADE = '12' AND TRIPSREQ.CUSTOMER = 'LHS' AND "
                         "TRIPSREQ.DESTINATION = 10 AND TRIPSREQ.TRIPCAT = 'FLD' AND "
                         "TRIPSREQ.INTTRIPNUM = 'LHS-12'" +
                         kOrder);
}

TEST_F(RequestSearchTest, a_departure_from_date_alone_covers_that_one_day) {
  Simulator& sim = signed_in();
  const std::string page =
      sim.post(kSearch, {{"btnsubmit", "Search"}, {"DepFrom", "12/31/2026"}, {"DepTo", " "}}).body;
  EXPECT_EQ(query(), kSearchBase +
                         " WHERE TRIPSREQ.DEPDATE >= #12/31/2026# and TRIPSREQ.DEPDATE <= "
                         "#12/31/2026#" +
                         kOrder);
  EXPECT_TRUE(contains(page, count_shown(1)));
  EXPECT_TRUE(contains(page, ">1001</a>"));
  EXPECT_TRUE(contains(page, "name=\"DepTo\" value=\"12/31/2026\""));
}

TEST_F(RequestSearchTest, a_to_date_without_its_from_date_is_ignored) {
  Simulator& sim = signed_in();
  sim.post(kSearch, {{"DepTo", "3/20/2009"}, {"EnterTo", "not a date"}});
  EXPECT_EQ(query(), kSearchBase + kOrder);
}

TEST_F(RequestSearchTest, an_invalid_date_is_refused_with_its_message_alone) {
  struct Case {
    Form form;
    const char* message;
  };
  const Case cases[] = {
      {{{"DepFrom", "13/45/2009"}}, "Please enter a valid departure from date."},
      {{{"DepFrom", "3/15/2009"}, {"DepTo", "3/32/2009"}},
       "Please enter a valid departure to date."},
      {{{"EnterFrom", "yesterday"}}, "Please enter a valid enter from date."},
      {{{"EnterFrom", "3/15/2009"}, {"EnterTo", "x"}}, "Please enter a valid enter to date."},
      // A date with SQL around it is no date.
      {{{"DepFrom", "3/15/2009# OR 1=1 OR #1/1/2009"}},
       "Please enter a valid departure from date."},
      // The departure range is checked first.
      {{{"DepFrom", "x"}, {"EnterFrom", "y"}}, "Please enter a valid departure from date."},
  };
  for (const Case& c : cases) {
    Simulator& sim = signed_in();
    sim.set_session("TripRequestReportQuery", "earlier");
    EXPECT_EQ(message_of(sim.post(kSearch, c.form).body), c.message);
    EXPECT_EQ(query(), "earlier");
  }
}

TEST_F(RequestSearchTest, typed_text_reaches_the_query_only_as_a_quoted_literal) {
  Simulator& sim = signed_in();
  const std::string page =
      sim.post(kSearch, {{"Status", "x' OR 'a'='a"}, {"grade", "O'Hara"}}).body;
  EXPECT_EQ(query(), kSearchBase +
                         " WHERE TRIPSREQ.STATUS = 'x'' OR ''a''=''a' AND TRIPSREQ.GRADE = "
                         "'O''Hara'" +
                         kOrder);
  EXPECT_TRUE(contains(page, count_shown(0)));
}

TEST_F(RequestSearchTest, a_destination_that_is_no_number_ends_in_the_error_report) {
  Simulator& sim = signed_in();
  const std::string page = sim.post(kSearch, {{"dest", "ten"}}).body;
  EXPECT_EQ(message_of(page),
            "Error in Procedure: RequestSearch_TripRequests of Module: Jaunter.  Error: 13.  "
            "Type mismatch.");
}

TEST_F(RequestSearchTest, a_user_tied_to_a_customer_searches_only_that_customer) {
  struct Case {
    const char* view_other_schools;
    const char* expected_customer;
  };
  const Case cases[] = {{"False", "LHS"}, {"True", "BAND"}};
  for (const Case& c : cases) {
    Simulator& sim = signed_in("teacher", "apple");
    sim.set_application("VIEW_OTHER_SCHOOLS", c.view_other_schools);
    sim.post(kSearch, {{"cust", "BAND"}});
    EXPECT_EQ(query(),
              kSearchBase + " WHERE TRIPSREQ.CUSTOMER = '" + c.expected_customer + "'" + kOrder);
  }
}

TEST_F(RequestSearchTest, a_posted_list_item_is_cut_to_its_customer_code) {
  Simulator& sim = signed_in();
  struct Case {
    const char* posted;
    const char* customer;
  };
  const Case cases[] = {
      {"  band, District Band ", "BAND, District Band"},  // an item of the list: its own code
      {"  XYZ, Unknown", "  XYZ"},                        // not in the list: cut as posted
      {"BAND", "BAND"},
  };
  for (const Case& c : cases) {
    sim.post(kSearch, {{"cust", c.posted}});
    EXPECT_EQ(query(), kSearchBase + " WHERE TRIPSREQ.CUSTOMER = '" + before_comma(c.customer) +
                           "'" + kOrder)
        << c.posted;
  }
}

TEST_F(RequestSearchTest, reset_and_exit_discard_the_typed_criteria) {
  for (const char* button : {"Reset", "**EXIT**"}) {
    Simulator& sim = signed_in("teacher", "apple");
    const std::string page =
        sim.post(kSearch, {{"btnsubmit", button}, {"Status", "A"}, {"DepFrom", "x"}}).body;
    EXPECT_EQ(query(), kSearchBase + " WHERE TRIPSREQ.CUSTOMER = 'LHS'" + kOrder) << button;
    EXPECT_TRUE(contains(page, count_shown(2)));
  }
}

TEST_F(RequestSearchTest, a_search_clears_the_date_warnings_of_the_request_form) {
  Simulator& sim = signed_in();
  sim.set_session("blnDepDtWarn", true);
  sim.set_session("blnRtnDtWarn", true);
  sim.post(kSearch, {});
  EXPECT_EQ(sim.session_text("blnDepDtWarn"), "False");
  EXPECT_EQ(sim.session_text("blnRtnDtWarn"), "False");
}

// ---- The main menu ----------------------------------------------------------------------------

TEST_F(RequestSearchTest, the_menu_buttons_lead_to_their_pages) {
  struct Case {
    const char* button;
    const char* shows;
  };
  const Case cases[] = {
      {"Work With Trip Requests", "Find trip requests"},
      {"enter new request", "<input type='text' name='New' value='NEW'>"},
      {"View Field Trips", "Find field trips"},
      {"Log Out", "Signed out"},
  };
  for (const Case& c : cases) {
    Simulator& sim = signed_in();
    const std::string page = sim.post(kNavigate, {{"btnsubmit", c.button}}).body;
    EXPECT_TRUE(contains(page, c.shows)) << c.button << "\n" << page;
  }
  EXPECT_EQ(sim_->session_text("USER"), "");  // signed out by the last choice
}

TEST_F(RequestSearchTest, a_menu_choice_clears_the_request_forms_keys) {
  for (const char* button : {"Work With Trip Requests", "nothing known"}) {
    Simulator& sim = signed_in();
    for (const char* key : {"RequestDetail.contact", "RequestDetail.ret_ampm", "TRIPREQ",
                            "RequestDetail.requestoremail", "RequestDetail.New"}) {
      sim.set_session(key, "kept?");
    }
    sim.set_session("LoadRequestDetailFromSession", "True");
    const std::string page = sim.post(kNavigate, {{"btnsubmit", button}}).body;
    for (const char* key : {"RequestDetail.contact", "RequestDetail.ret_ampm", "TRIPREQ",
                            "RequestDetail.requestoremail", "RequestDetail.New"}) {
      EXPECT_EQ(sim.session_text(key), "") << key;
    }
    EXPECT_EQ(sim.session_text("LoadRequestDetailFromSession"), "False");
    if (std::string(button) == "nothing known") {
      EXPECT_EQ(page, "");
    }
  }
}

TEST_F(RequestSearchTest, a_lost_session_shows_the_time_out_on_the_logout_page) {
  const std::pair<const char*, bool> requests[] = {
      {"WCI=RequestSearch&WCU", false},
      {kNavigate, true},
      {kSearch, true},
  };
  for (const auto& [query_text, post] : requests) {
    Simulator sim(district_);
    const std::string page = post ? sim.post(query_text, {{"btnsubmit", "View Field Trips"}}).body
                                  : sim.get(query_text).body;
    EXPECT_TRUE(contains(page, "Sorry, your session has timed out please log in again and retry."))
        << query_text;
    EXPECT_FALSE(contains(page, "Find trip requests"));
    EXPECT_FALSE(contains(page, "Find field trips"));
  }
}

}  // namespace
