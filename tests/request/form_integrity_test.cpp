// The request form's post under real use: several tabs, requests that are gone, customers kept
// apart and double submits.
#include <regex>
#include <tuple>

#include "request/refusals.h"
#include "tests/request/form_post_fixture.h"

namespace form_post_tests {
namespace {

namespace refusal = request::refusal;

class FormIntegrityTest : public FormPostTest {
 protected:
  FormIntegrityTest() {
    // A request of Lakeview High School to a destination typed in on the request.
    district_.sql("request", R"sql(
      INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, BILLCUST, CONTACT, DESTINATION, DESTDESC, DESTADD1,
        DEPDATE, RETDATE, REQDATE, ENTEREDBY, STATUS, CHAINID, TRIPCAT, NUMSTUDENTS)
        VALUES (1005, 'LHS', 'LHS', 'Mr Zoo', 0, 'City Zoo', '9 Zoo Rd', 46387, 46387, 46360,
        'teacher', 'UNAPPROVED', 'HS', 'FLD', 30);
    )sql");
  }

  int request_count() {
    db::Recordset rs;
    rs.open("SELECT COUNT(*) AS N FROM TRIPSREQ", requests());
    return vb::CInt(rs.field("N"));
  }

  static std::string token_of(const std::string& page) {
    std::smatch match;
    const std::regex token("name='FormToken' value='([0-9a-f]{32})'");
    return std::regex_search(page, match, token) ? match[1].str() : std::string();
  }
};

TEST_F(FormIntegrityTest, a_save_acts_on_the_request_its_form_shows_not_the_one_opened_last) {
  SignedIn sim(district_, "teacher", "apple");
  sim.get("WCI=RequestDetail&WCE=1005&WCU");  // tab A
  sim.get("WCI=RequestDetail&WCE=1002&WCU");  // tab B, another typed-in destination
  Form form = stored_form("1005");
  form["Contact"] = "Saved in tab A";
  form["dest"] = "0";
  post(sim, form);
  auto a = request_row("1005");
  EXPECT_EQ(a["CONTACT"], "Saved in tab A");
  EXPECT_EQ(a["DESTADD1"], "9 Zoo Rd");
  EXPECT_EQ(request_row("1002")["CONTACT"], "Coach");
  EXPECT_EQ(sim.session_text("TRIPREQ"), "1005");
}

TEST_F(FormIntegrityTest, a_post_for_a_request_that_is_gone_or_no_number_writes_nothing) {
  SignedIn sim(district_, "teacher", "apple");
  sim.get("WCI=RequestDetail&WCE=1001&WCU");
  const int before = request_count();
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"Save", "999999", refusal::kGone},   {"Save", "1001 OR 1=1", refusal::kNotANumber},
      {"Save", "-5", refusal::kNotANumber}, {"Delete", "999999", refusal::kGone},
      {"Copy", "999999", refusal::kGone},   {"Copy", "99999999999", refusal::kNotANumber},
  };
  for (const auto& [button, tripnum, answer] : cases) {
    Form form = stored_form(tripnum);
    form["btnSubmit"] = button;
    form["Contact"] = "Forged";
    EXPECT_EQ(message_of(post(sim, form).body), answer) << button << " " << tripnum;
  }
  EXPECT_EQ(request_count(), before);
  EXPECT_EQ(request_row("1001")["CONTACT"], "O'Brien");
  // Opening one that is gone by its link says so too.
  EXPECT_EQ(message_of(sim.get("WCI=RequestDetail&WCE=999999&WCU").body), refusal::kGone);
}

TEST_F(FormIntegrityTest, a_customer_bound_user_enters_and_reads_only_his_own_customers_requests) {
  SignedIn sim(district_, "teacher", "apple", kNew);
  Form other = new_request_form();
  other["cust"] = "ADAMS, Adams Elementary";
  EXPECT_EQ(message_of(post(sim, other).body), refusal::kOtherCustomer);
  EXPECT_EQ(request_count(), 4);

  const std::string opened = sim.get("WCI=RequestDetail&WCE=1003&WCU").body;
  EXPECT_EQ(message_of(opened), refusal::kOpen);
  sim.set_session("TRIPREQ", "1003");
  sim.set_session("LoadRequestDetailFromSession", "False");
  EXPECT_EQ(message_of(sim.get("WCI=TripRequestDetailPrint").body), refusal::kPrint);
  Form copy = stored_form("1003");
  copy["btnSubmit"] = "Copy";
  EXPECT_EQ(message_of(post(sim, copy).body), refusal::kCopy);

  // Where schools may see each other's requests, reading is allowed and changing is not.
  district_.sql("trip", "UPDATE District SET VIEW_OTHER_SCHOOLS = -1");
  SignedIn viewer(district_, "teacher", "apple");
  EXPECT_NE(viewer.get("WCI=RequestDetail&WCE=1003&WCU").body.find("Picnic"), std::string::npos);
  Form change = stored_form("1003");
  change["cust"] = "ADAMS, Adams Elementary";
  EXPECT_EQ(message_of(post(viewer, change).body), refusal::kOtherCustomer);
  change["cust"] = "LHS, Lakeview High School";
  EXPECT_EQ(message_of(post(viewer, change).body),
            "<p>Sorry, you may not change this trip request.  Use your browser's back button and "
            "try again.</p>");
  EXPECT_EQ(request_row("1003")["CONTACT"], "Ms Green");
  EXPECT_EQ(request_row("1003")["CUSTOMER"], "ADAMS");
}

TEST_F(FormIntegrityTest, the_same_form_posted_twice_stores_one_request) {
  Simulator sim(district_);
  const std::string page = sign_in(sim, "teacher", "apple", "Enter a New Trip Request").body;
  const std::string token = token_of(page);
  ASSERT_EQ(token.size(), 32u) << page;
  Form form = new_request_form();
  form["FormToken"] = token;
  post(sim, form);
  const Result again = post(sim, form);
  EXPECT_EQ(request_count(), 5);
  EXPECT_NE(again.body.find("<input type='text' name='TRIPNUM' value='1006' readonly>"),
            std::string::npos);
  // The same form changed and posted again is a new save; so is a form without a token.
  form["Contact"] = "Someone else";
  post(sim, form);
  form.erase("FormToken");
  post(sim, form);
  EXPECT_EQ(request_count(), 7);
}

}  // namespace
}  // namespace form_post_tests
