// The request form as users see it: new, stored and editable, stored for the approver, read-only.
#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

class FormRenderTest : public ::testing::Test {
 protected:
  FormRenderTest() { add_sample_data(district_); }
  District district_;
};

// The values the form would post, field by field.
void expect_fields(const std::string& page, const std::string& fields) {
  for (const auto& [name, value] : pairs_of(fields)) {
    EXPECT_EQ(field_value(page, name), value) << name;
  }
}

TEST_F(FormRenderTest, a_new_request_shows_empty_fields_and_no_copy_delete_or_print) {
  Simulator sim(district_);
  const std::string page = sign_in(sim, "teacher", "apple", "Enter a New Trip Request").body;
  // Blank selectors: AM preset for departure and arrival, PM for return and leave. The one
  // customer of the user is chosen.
  expect_fields(page,
                "Contact=|NUMADULTS=|RequestorEmail=|CHAINID=|chkDefaultReturnDate=ON|DEP_AMPM=AM|"
                "ARRIVE_AMPM=AM|RET_AMPM=PM|LEAVE_AMPM=PM|Dep_month= |"
                "cust=LHS, Lakeview High School|New=NEW");
  for (const char* absent : {"value='Copy'", "value='Delete'", "value=\"Print\""}) {
    EXPECT_FALSE(contains(page, absent)) << absent;
  }
  for (const char* present :
       {"value='Save' name='btnSubmit' onclick='return validateDepartureDate();'",
        "var leadTimeDays = parseInt('3', 10)", "var leadTimeHardWarning = 'False'",
        "document.TripRequestDetail.Dep_month.focus();"}) {
    EXPECT_TRUE(contains(page, present)) << present;
  }
}

TEST_F(FormRenderTest, the_requester_edits_his_stored_request_opened_by_its_link) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  expect_fields(page,
                "TRIPNUM=1001|Contact=O&#39;Brien|NUMSTUDENTS=40|ESTTIME=6.5|"
                "CUSTSPEC=&lt;b&gt;bold&lt;/b&gt;|RequestorEmail=teacher@example.org|CHAINID=HS|"
                "Dep_month=Dec|Dep_year=2026|DEP_HOUR=9|DEP_MIN=0|RET_MIN=30|grade=12|tripcat=FLD|"
                "fund=100|dest=10|New=EXISTING|chkDefaultReturnDate=|Approve=(no field)");
  EXPECT_TRUE(contains(page, "<input type='text' name='TRIPNUM' value='1001' readonly>"));
  EXPECT_TRUE(contains(page, "<td>200 Lake Dr<br>Building B</td>"));
  for (const char* button : {"value='Copy' name='btnSubmit' onclick='return confirmCopy();'",
                             "value='Delete' name='btnSubmit' onclick='return confirmDelete();'",
                             "value=\"Print\" name=\"btnSubmit\""}) {
    EXPECT_TRUE(contains(page, button)) << button;
  }
  EXPECT_EQ(sim.session_text("TRIPREQ"), "1001");
  EXPECT_EQ(sim.session_text("RequestDetail.Customer"), "LHS");
}

TEST_F(FormRenderTest, someone_else_sees_a_read_only_request_mirrored_into_the_session) {
  district_.sql("trip", "UPDATE District SET VIEW_OTHER_SCHOOLS = -1");
  Simulator sim(district_);
  sign_in(sim, "adams", "pw");
  sim.set_session("RequestDetail.contact", "left over");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  EXPECT_FALSE(contains(page, "name='Contact'"));
  for (const char* shown :
       {"O&#39;Brien", "Lakeview High School", "Science Museum of the Great Lakes Region",
        "<textarea rows='3' cols='60' name='CUSTSPEC' readonly='yes' "
        "id=\"CUSTSPEC\">&lt;b&gt;bold&lt;/b&gt;</TEXTAREA>",
        "<font class=\"label\">Fund:</font>",
        "<div class=\"actions\"><input type='submit' value='Copy' name='btnSubmit' onclick='return "
        "confirmCopy();' ><input type='submit' value='**Exit**' name='btnSubmit' > "}) {
    EXPECT_TRUE(contains(page, shown)) << shown;
  }
  for (const char* absent :
       {"value='Save'", "value='Delete'", "document.TripRequestDetail.Dep_month.focus();"}) {
    EXPECT_FALSE(contains(page, absent)) << absent;
  }
  for (const auto& [key, value] : pairs_of(
           "RequestDetail.contact=O'Brien|RequestDetail.destination=10|RequestDetail.fund=100|"
           "RequestDetail.custspec=<b>bold</b>|RequestDetail.requestoremail=teacher@example.org|"
           "RequestDetail.ret_ampm=PM|RequestDetail.dep_month=")) {
    EXPECT_EQ(sim.session_text(key), value) << key;
  }
}

TEST_F(FormRenderTest, a_typed_in_destination_shows_as_new_with_its_address) {
  Simulator sim(district_);
  sign_in(sim, "transport", "pw");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1002&WCU").body;
  EXPECT_TRUE(contains(page,
                       "<select name='dest' width='30' id=\"dest\" aria-label=\"Destination\" "
                       "onchange=\"dropDownChanged(this.form)\"><option value='0' "
                       "selected>Regional Stadium</option><option value=''></option>"));
  EXPECT_TRUE(contains(page,
                       "<tr><td><font class='label'>** New **</font></td><td>77 Stadium "
                       "Way<br>Gate 4</td></tr>"));
  // The approver of the next level: the transportation role at level 2.
  EXPECT_TRUE(contains(page, "value='ACCEPTED'> Approve"));
}

TEST_F(FormRenderTest, a_link_opens_the_stored_request_even_after_an_abandoned_new_one) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple", "Enter a New Trip Request");
  ASSERT_EQ(sim.session_text("RequestDetail.New"), "NEW");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  EXPECT_TRUE(contains(page, "value='O&#39;Brien'"));
  EXPECT_TRUE(contains(page, "<input type='text' name='New' value='EXISTING'>"));
}

TEST_F(FormRenderTest, a_bad_request_number_is_a_clear_error_not_a_crash) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple");
  const auto page = sim.get("WCI=RequestDetail&WCE=1001)%20OR%20(1=1&WCU");
  EXPECT_EQ(message_of(page.body),
            "Error in Procedure: RequestDetail_UserEvent of Module: Jaunter.  Error: 13.  Type "
            "mismatch.");
  EXPECT_EQ(sim.session_text("TRIPREQ"), "");
}

}  // namespace
