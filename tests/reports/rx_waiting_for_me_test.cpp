// "Waiting for me" on the request search: exactly the requests waiting at a level the signed-in
// user's role approves, of his own customer when he has one, whatever criteria are typed.
#include <regex>

#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

class WaitingForMeTest : public ::testing::Test {
 protected:
  WaitingForMeTest() {
    add_sample_data(district_);
    // Besides the sample's 1001 (HS, waiting for the principal) and 1002 (HS, for transport).
    district_.sql("request", R"sql(
      INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, RETDATE, STATUS, CHAINID)
      VALUES (2001, 'LHS', 10, 46400, 46400, 'AD APPROVED', 'ATHLETIC'),
             (2002, 'LHS', 10, 46401, 46401, 'UNAPPROVED', 'ATHLETIC'),
             (2003, 'ADAMS', 10, 46402, 46402, 'UNAPPROVED', 'HS'),
             (2004, 'ADAMS', 10, 46403, 46403, 'UNAPPROVED', 'ATHLETIC'),
             (2005, 'LHS', 10, 46404, 46404, 'PRINCIPAL APPROVED', 'ATHLETIC'),
             (2006, 'LHS', 10, 46405, 46405, 'ACCEPTED', 'HS');
    )sql");
    sim_.get("");
  }
  // The request numbers the page links to, in order.
  static std::string listed(const std::string& page) {
    static const std::regex link("WCI=RequestDetail&WCE=([0-9]+)&WCU");
    std::string numbers;
    for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
      numbers += (numbers.empty() ? "" : " ") + (*it)[1].str();
    }
    return numbers;
  }

  District district_;
  Simulator sim_{district_};
};

TEST_F(WaitingForMeTest, lists_exactly_the_requests_at_the_users_own_levels) {
  const struct {
    const char* user;
    const char* password;
    const char* expected;
  } cases[] = {
      {"principal", "pw", "1001 2001"},  // level 1 of HS, level 2 of ATHLETIC; his LHS only
      {"ad", "pw", "2002 2004"},         // level 1 of ATHLETIC, every customer
      {"transport", "pw", "1002 2005"},  // level 2 of HS, level 3 of ATHLETIC
      {"teacher", "Apple", ""},          // a role that approves nothing
  };
  for (const auto& c : cases) {
    sim_.forget_cookie();
    sign_in(sim_, c.user, c.password);
    // Typed criteria do not narrow the work list.
    const Result result = sim_.post("WCI=RequestSearch&WCE=TripRequests&WCU",
                                    {{"btnsubmit", "Waiting for me"}, {"Status", "Pending"}});
    EXPECT_EQ(listed(result.body), c.expected) << c.user;
    EXPECT_EQ(listed(result.body).empty(),
              contains(result.body, "No trip requests are waiting for your approval."))
        << c.user;
  }
}

TEST_F(WaitingForMeTest, the_button_shows_for_a_user_with_a_role) {
  sign_in(sim_, "principal", "pw");
  const std::string page = sim_.get("WCI=RequestSearch").body;
  EXPECT_TRUE(contains(page,
                       "<input type='submit' name='btnsubmit' value='Waiting for me' "
                       "class=\"secondary\""));
  // The reports print what the button listed.
  sim_.post("WCI=RequestSearch&WCE=TripRequests&WCU", {{"btnsubmit", "Waiting for me"}});
  EXPECT_TRUE(
      contains(sim_.session_text("TripRequestReportQuery"), "TRIPSREQ.STATUS = 'UNAPPROVED'"));
}

}  // namespace
}  // namespace report_tests
