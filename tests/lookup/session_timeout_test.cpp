// Every lookup event that works with the user's data sends a signed-out browser to the Logout page.
#include "tests/lookup/lookup_test_support.h"

namespace {

using namespace lookup_tests;

TEST_F(LookupTest, every_search_and_return_without_a_signed_in_user_shows_the_time_out) {
  const char* const events[] = {
      "WCI=LookupCust&WCE=FindCusts&WCU", "WCI=LookupCust&WCE=RetwSelected&WCU",
      "WCI=LookupDest&WCE=FindDests&WCU", "WCI=LookupDest&WCE=RetwSelected&WCU",
      "WCI=LookupFund&WCE=FindFunds&WCU", "WCI=LookupFund&WCE=RetwSelected&WCU"};
  for (const char* event : events) {
    SCOPED_TRACE(event);
    Simulator fresh(district_);
    fresh.set_session("RequestDetail.customer", "LHS");
    fresh.set_session("RequestDetail.fund", "100");
    const std::string page = fresh
                                 .post(event, {{"CUSTDESC", "a"},
                                               {"SelCust", "BAND"},
                                               {"SelDest", "0"},
                                               {"DESTDESC", "Zoo"},
                                               {"SelFund", "200"},
                                               {"FUND", "1"}})
                                 .body;
    EXPECT_TRUE(contains(page, kTimedOut)) << page;
    EXPECT_FALSE(contains(page, "name='Sel"));
    EXPECT_FALSE(shows_request_form(page));
    EXPECT_EQ(fresh.session_text("RequestDetail.customer"), "");  // the Logout page abandons it
  }
}

}  // namespace
