// The fund lookup: customer funds or all active funds, the refusals, and the return to the
// request form or to the field trip search.
#include "tests/lookup/lookup_test_support.h"

namespace {

using namespace lookup_tests;

constexpr const char* kFind = "WCI=LookupFund&WCE=FindFunds&WCU";
constexpr const char* kReturn = "WCI=LookupFund&WCE=RetwSelected&WCU";

std::string fund_row(const std::string& fund, const std::string& description) {
  return "<tr><td><input type='radio' name='SelFund' value='" + fund + "'></td><td>" + fund +
         "</td><td>" + description + "</td></tr>";
}

class FundLookupTest : public LookupTest {
 protected:
  // The teacher may not override funds; the district restricts funds per customer or not.
  void open_as_teacher(bool customer_funds) {
    open_lookup_as("teacher", "apple");
    sim_.set_application("DISTRICT.USECUSTFUND", customer_funds ? "True" : "False");
  }
};

TEST_F(FundLookupTest, customer_funds_list_the_active_linked_funds_narrowed_by_code_or_text) {
  open_as_teacher(true);
  sim_.set_session("RequestDetail.customer", "LHS");
  // Inactive fund 900 is linked to LHS but never offered.
  const std::string page = sim_.post(kFind, {{"FUND", " "}, {"DESC", ""}}).body;
  EXPECT_TRUE(contains(page,
                       "<table width='737' border='1'><thead><tr><td><b>Selected</b></td><td><b>"
                       "Fund</b></td><td><b>Description</b></td></tr></thead><tbody>" +
                           fund_row("100", "General") + fund_row("200", "Athletics") + kResultsEnd))
      << page;
  const std::string by_code = sim_.post(kFind, {{"FUND", "2"}}).body;
  EXPECT_EQ(occurrences(by_code, "name='SelFund'"), 1);
  EXPECT_TRUE(contains(by_code, fund_row("200", "Athletics")));
  const std::string by_description = sim_.post(kFind, {{"DESC", "gen"}}).body;
  EXPECT_EQ(occurrences(by_description, "name='SelFund'"), 1);
  EXPECT_TRUE(contains(by_description, fund_row("100", "General")));
}

TEST_F(FundLookupTest, customer_funds_need_a_customer_and_keep_its_quotes_inside_the_literal) {
  open_as_teacher(true);
  sim_.set_session("RequestDetail.customer", "");
  EXPECT_EQ(message_of(sim_.post(kFind, {{"FUND", "1"}}).body), "Please select a customer first.");
  sim_.set_session("RequestDetail.customer", "LHS' OR 'a'='a");
  const std::string page = sim_.post(kFind, {}).body;
  EXPECT_FALSE(contains(page, "Error in Procedure"));
  EXPECT_EQ(occurrences(page, "name='SelFund'"), 0);
}

TEST_F(FundLookupTest, without_customer_funds_an_empty_search_is_refused) {
  const std::string refusal =
      "Sorry, you need to either enter a fund number or a description before searching for "
      "funds.  Please use your browser's back button and try again.";
  open_as_teacher(false);
  EXPECT_EQ(message_of(sim_.post(kFind, {{"FUND", "  "}, {"DESC", " "}}).body), refusal);
  // A user who may override funds is not held to the customer's funds either.
  sign_in(sim_, "transport", "pw");
  sim_.set_application("DISTRICT.USECUSTFUND", "True");
  EXPECT_EQ(message_of(sim_.post(kFind, {}).body), refusal);
}

TEST_F(FundLookupTest, without_customer_funds_every_active_fund_may_match_but_no_inactive_one) {
  district_.sql("trip", "INSERT INTO FUND (FUND, FUNDDESC, ACTIVE) VALUES ('a1', 'Arts', -1);");
  open_as_teacher(false);
  const std::string by_code = sim_.post(kFind, {{"FUND", "A"}}).body;
  EXPECT_TRUE(contains(by_code, fund_row("a1", "Arts")));
  EXPECT_EQ(occurrences(by_code, "name='SelFund'"), 1);
  const std::string by_description = sim_.post(kFind, {{"DESC", "CLOSED"}}).body;
  EXPECT_EQ(occurrences(by_description, "name='SelFund'"), 0);
  // A fund without a description is listed with an empty one.
  EXPECT_TRUE(contains(sim_.post(kFind, {{"FUND", "3"}}).body, fund_row("300", "")));
}

TEST_F(FundLookupTest, the_chosen_fund_or_none_goes_back_to_the_request_form) {
  open_lookup_as("teacher", "apple", "1001");
  EXPECT_TRUE(shows_request_form(sim_.post(kReturn, {{"SelFund", "200"}}).body));
  EXPECT_EQ(sim_.session_text("RequestDetail.fund"), "200");
  EXPECT_TRUE(shows_request_form(sim_.post(kReturn, {{"btnSubmit2", "Return"}}).body));
  EXPECT_EQ(sim_.session_text("RequestDetail.fund"), "");
}

TEST_F(FundLookupTest, opened_from_the_field_trip_search_the_fund_goes_back_to_that_search) {
  district_.sql("trip", R"sql(
    INSERT INTO TRIPS (TRIPNUM, CUSTOMER, BILLCUST, DESTINATION, FUND, DEPDATE, RETDATE, ASSIGNED,
      BILLED, CANCELED) VALUES (501, 'LHS', 'LHS', 10, '100', 46387, 46387, -1, 0, 0),
      (502, 'LHS', 'LHS', 11, '200', 46388, 46388, 0, 0, -1);
  )sql");
  open_lookup_as("transport", "pw");
  const std::string lookup_page =
      sim_.post("WCI=TripSearch&WCE=FieldTrips&WCU", {{"btnsubmit", "Fund"}, {"cust", "LHS"}}).body;
  ASSERT_TRUE(contains(lookup_page, "WCI=LookupFund&amp;WCE=RetwSelected&amp;WCU"));
  ASSERT_EQ(sim_.session_text("SELTRIP"), "Y");
  sim_.set_session("LoadRequestDetailFromSession", "True");

  const std::string page = sim_.post(kReturn, {{"SelFund", "100"}}).body;
  EXPECT_FALSE(shows_request_form(page));
  EXPECT_TRUE(contains(page, "<font size='-2'>501</font>")) << page;
  EXPECT_FALSE(contains(page, "<font size='-2'>502</font>"));
  EXPECT_EQ(sim_.session_text("SELTRIP"), "");
  EXPECT_EQ(sim_.session_text("RequestDetail.fund"), "100");
  sim_.set_session("SELTRIP", "Y");  // without a choice: no fund filter (cancelled trips too)
  EXPECT_TRUE(contains(sim_.post(kReturn, {}).body, "<font size='-2'>502</font>"));
}

TEST_F(FundLookupTest, the_request_forms_fund_button_is_not_misled_by_an_abandoned_trip_search) {
  open_lookup_as("teacher", "apple", "1001");
  sim_.set_session("SELTRIP", "Y");  // the trip search opened the lookup; the user went elsewhere
  const std::string lookup_page = sim_.post("WCI=RequestDetail&WCE=TripRequestDetail&WCU",
                                            {{"btnSubmit", "Fund"},
                                             {"cust", "LHS, Lakeview High School"},
                                             {"New", "EXISTING"},
                                             {"tripnum", "1001"},
                                             {"dest", "10"}})
                                      .body;
  ASSERT_TRUE(contains(lookup_page, "WCI=LookupFund&amp;WCE=FindFunds&amp;WCU")) << lookup_page;
  EXPECT_EQ(sim_.session_text("SELTRIP"), "");
  EXPECT_TRUE(shows_request_form(sim_.post(kReturn, {{"SelFund", "200"}}).body));
}

TEST_F(FundLookupTest, an_event_on_the_item_prefills_the_fund_search_with_its_name) {
  open_lookup_as("teacher", "apple", "1001");
  const std::string page = sim_.get("WCI=LookupFund&WCE=10%27%22x&WCU").body;
  EXPECT_TRUE(contains(page, "name=\"FUND\" value=\"10&#39;&quot;x\"")) << page;
  EXPECT_TRUE(contains(page, "Trip request # <strong>1001</strong>"));
}

}  // namespace
