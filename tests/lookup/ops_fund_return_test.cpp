// Returning from the fund look-up to the request form: a chosen fund replaces the form's fund,
// leaving without a choice keeps it.
#include "tests/lookup/lookup_test_support.h"

namespace {

using namespace lookup_tests;

TEST(OpsFundReturn, the_form_takes_the_chosen_fund_and_keeps_its_own_without_a_choice) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> posted;
    std::string fund_after;
  };
  const std::vector<Case> cases = {
      {{{"SelFund", "200"}, {"btnSubmit2", "Return"}}, "200"},
      {{{"btnSubmit2", "Return"}}, "100"},
      {{}, "100"},
  };
  for (const Case& c : cases) {
    District district;
    add_sample_data(district);
    Simulator sim(district);
    sign_in(sim, "teacher", "apple", "Enter a New Trip Request");
    sim.set_session("LoadRequestDetailFromSession", "True");
    sim.set_session("RequestDetail.fund", "100");
    const std::string page = sim.post("WCI=LookupFund&WCE=RetwSelected&WCU", c.posted).body;
    EXPECT_TRUE(shows_request_form(page)) << c.fund_after;
    EXPECT_EQ(sim.session_text("RequestDetail.fund"), c.fund_after);
  }
}

}  // namespace
