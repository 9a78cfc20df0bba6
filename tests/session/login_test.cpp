// Sign-in, the session keys it writes, the session check and sign-out.
#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

class LoginTest : public ::testing::Test {
 protected:
  LoginTest() { add_sample_data(district_); }
  District district_;
};

TEST_F(LoginTest, a_valid_sign_in_writes_every_session_key) {
  Simulator sim(district_);
  sign_in(sim, "  teacher  ", "apple");
  for (const auto& [key, value] : pairs_of(
           "USER=teacher|CUSTOMER=LHS|ROLE=REQUESTER|CANOVERRIDEFUND=False|"
           "CANOVERRIDEDEPARTUREDATE=False|LoadRequestDetailFromSession=False|"
           "TRIPREQ_COMMENT=Submit early|EMAIL_OPTIONS.REQ_JAUNTER_CHANGE=True|"
           "EMAIL_OPTIONS.APP_JAUNTER_CHANGE=True|numCustomers=1|numDestinations=2|numTripCat=3|"
           "numStatusVals=3|numDivisions=2|numGrades=3|numDESTCATs=2|numFunds=3"))
    EXPECT_EQ(sim.session_text(key), value) << key;

  EXPECT_EQ(sim.session("CustomersDD").get<vb::StringArray>(),
            (vb::StringArray{"", "LHS, Lakeview High School"}));
  EXPECT_EQ(sim.session("Destinations").get<vb::StringArray>(),
            (vb::StringArray{"", "11, City Park", "10, Science Museum of the Great Lakes Region"}));
  EXPECT_EQ(sim.session("TripCat").get<vb::StringArray>(),
            (vb::StringArray{"", "ATH", "FLD", "MUS"}));
  EXPECT_EQ(sim.session("Divisions").get<vb::StringArray>(),
            (vb::StringArray{"", "E, Elementary", "H, High Schools"}));
  EXPECT_EQ(sim.session("StatusVals").get<vb::StringArray>(),
            (vb::StringArray{"", "Denied", "Pending", "UNAPPROVED"}));
  EXPECT_EQ(sim.session("DESTCATS").get<vb::StringArray>(),
            (vb::StringArray{"", "MUSEUM", "PARK"}));
  const auto funds = sim.session("Funds").get<vb::StringTable>();
  ASSERT_EQ(funds.rows.size(), 4u);
  EXPECT_EQ(funds.rows[0], (std::vector<std::string>{"", ""}));
  EXPECT_EQ(funds.rows[1], (std::vector<std::string>{"100", "General"}));
  EXPECT_EQ(funds.rows[3], (std::vector<std::string>{"300", ""}));
}

TEST_F(LoginTest, passwords_ignore_case_and_a_null_password_matches_a_blank_one) {
  struct Case {
    const char* user;
    const char* password;
    bool signed_in;
  };
  const Case cases[] = {{"teacher", "APPLE", true}, {"TEACHER", "apple ", true},
                        {"teacher", "pear", false}, {"nopass", "", true},
                        {"nopass", "   ", true},    {"nopass", "x", false}};
  for (const Case& c : cases) {
    Simulator sim(district_);
    sign_in(sim, c.user, c.password);
    EXPECT_EQ(!sim.session_text("USER").empty(), c.signed_in) << c.user << "/" << c.password;
  }
}

TEST_F(LoginTest, failures_answer_their_message_only_and_sign_the_session_out) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple");
  ASSERT_EQ(sim.session_text("USER"), "teacher");
  auto page = sign_in(sim, "teacher", "wrong");
  EXPECT_EQ(message_of(page.body),
            "Sorry, invalid password.  Use your browser's back button and please try again.");
  EXPECT_EQ(sim.session_text("USER"), "");
  EXPECT_EQ(sim.session_text("CUSTOMER"), "");
  page = sign_in(sim, "nobody' OR '1'='1", "x");
  EXPECT_EQ(message_of(page.body),
            "Sorry, invalid user id.  Use your browser's back button and please try again.");
}

TEST_F(LoginTest, a_user_without_customer_may_override_and_customer_funds_empty_the_fund_list) {
  district_.sql("trip", "UPDATE District SET USECUSTFUND = -1");
  district_.sql("security", "UPDATE CLSCU SET SCJRDDFT = 0 WHERE CLSC1 = 'transport'");
  Simulator sim(district_);
  sign_in(sim, "transport", "pw");
  // A user without a customer sees every active customer.
  for (const auto& [key, value] :
       pairs_of("CUSTOMER= |CANOVERRIDEFUND=True|CANOVERRIDEDEPARTUREDATE=False|numCustomers=3|"
                "numFunds=0")) {
    EXPECT_EQ(sim.session_text(key), value) << key;
  }
  EXPECT_TRUE(sim.session("Funds").get<vb::StringTable>().rows.empty());
}

TEST_F(LoginTest, a_sign_in_issues_a_new_session_identifier) {
  Simulator sim(district_);
  sim.set_session("Planted", "x");
  const std::string planted = sim.cookie();
  sign_in(sim, "teacher", "apple");
  EXPECT_NE(sim.cookie(), planted);
  EXPECT_EQ(sim.session_text("USER"), "teacher");
  EXPECT_EQ(sim.runtime().sessions().peek(planted), nullptr);
}

TEST_F(LoginTest, buttons_lead_to_the_search_or_to_an_empty_request_form) {
  Simulator sim(district_);
  auto page = sign_in(sim, "teacher", "apple", "Enter a New Trip Request");
  EXPECT_EQ(sim.session_text("RequestDetail.New"), "NEW");
  EXPECT_TRUE(contains(page.body, "<input type='text' name='New' value='NEW'>"));

  EXPECT_TRUE(contains(sign_in(sim, "teacher", "apple", "Work With Trip Requests").body,
                       "WCI=RequestSearch&amp;WCE=TripRequests"));

  EXPECT_EQ(sign_in(sim, "teacher", "apple", "Something else").body, "");
  EXPECT_EQ(sim.session_text("USER"), "teacher");
}

TEST_F(LoginTest, an_expired_session_leads_to_the_logout_page_with_the_message) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple");
  sim.idle(std::chrono::minutes(21));
  const auto page = sim.get("WCI=RequestDetail");
  EXPECT_NE(page.body.find("<p align='center'>Sorry, your session has timed out please log in "
                           "again and retry.</p><p>&nbsp;</p>"),
            std::string::npos);
  EXPECT_NE(page.body.find("<p align='center'><a href='jaunter.asp'>Carline Jaunter Login</a></p>"
                           "<p>&nbsp;</p>"),
            std::string::npos);
  EXPECT_EQ(page.body.find("TripRequestDetail"), std::string::npos);
  EXPECT_FALSE(sim.has_session());
}

TEST_F(LoginTest, logging_out_directly_keeps_the_templates_own_text) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple");
  const auto page = sim.get("WCI=Logout");
  EXPECT_NE(page.body.find("You have been signed out."), std::string::npos);
  EXPECT_EQ(page.body.find("timed out"), std::string::npos);
  EXPECT_FALSE(sim.has_session());
}

}  // namespace
