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

TEST_F(FormRenderTest, a_new_request_shows_empty_fields_and_no_copy_delete_or_print) {
  Simulator sim(district_);
  const std::string page = sign_in(sim, "teacher", "apple", "Enter a New Trip Request").body;
  EXPECT_TRUE(contains(page,
                       "<input type='text' name='Contact' size='25' maxlength='25' value='' "
                       "id=\"Contact\">"));
  EXPECT_TRUE(contains(page,
                       "<input type='text' name='NUMADULTS' size='10' value='' "
                       "id=\"NUMADULTS\" inputmode=\"numeric\">"));
  EXPECT_TRUE(contains(page,
                       "<input type='text' name='RequestorEmail' value='' "
                       " id=\"RequestorEmail\" aria-label=\"Requester e-mail\">"));
  EXPECT_TRUE(contains(page, "<input type='text' name='CHAINID' value=''>"));
  EXPECT_TRUE(contains(page,
                       "<input type='checkbox' name='chkDefaultReturnDate' value='ON' "
                       "checked id=\"chkDefaultReturnDate\" />Use the departure date as the "
                       "return date."));
  // Blank selectors: AM preset for departure and arrival, PM for return and leave.
  EXPECT_TRUE(contains(page, "name='DEP_AMPM'  VALUE='AM' CHECKED "));
  EXPECT_TRUE(contains(page, "name='ARRIVE_AMPM'  VALUE='AM' CHECKED "));
  EXPECT_TRUE(contains(page, "name='RET_AMPM'  VALUE='PM' CHECKED "));
  EXPECT_TRUE(contains(page, "name='LEAVE_AMPM'  VALUE='PM' CHECKED "));
  EXPECT_TRUE(contains(page,
                       "name='Dep_month' size='1' style='height: 23; width: 52' "
                       "aria-label=\"Departure date\"><option selected value = ' '></option>"));
  EXPECT_FALSE(contains(page, "value='Copy'"));
  EXPECT_FALSE(contains(page, "value='Delete'"));
  EXPECT_FALSE(contains(page, "value=\"Print\""));
  EXPECT_TRUE(contains(page,
                       "<input type='submit' value='Save' name='btnSubmit' onclick='return "
                       "validateDepartureDate();' >"));
  // The one customer of the user is chosen (the blank entry matches the empty code too; the
  // browser takes the last selected option).
  EXPECT_TRUE(contains(page,
                       "<option selected></option><option selected>LHS, Lakeview High "
                       "School</option>"));
  EXPECT_TRUE(contains(page, "<input type='text' name='New' value='NEW'>"));
  EXPECT_TRUE(contains(page, "var leadTimeDays = parseInt('3', 10)"));
  EXPECT_TRUE(contains(page, "var leadTimeHardWarning = 'False'"));
  EXPECT_TRUE(contains(page, "document.TripRequestDetail.Dep_month.focus();"));
  // No lookup button for a user tied to one customer; the fund and destination buttons are there.
  EXPECT_TRUE(contains(page, "<font class=\"label\">Customer:</font>"));
  EXPECT_TRUE(contains(page,
                       "<b><input type='submit' value='Fund' name='btnSubmit' class=\"lookup\" "
                       "title=\"Find a fund\"></b>"));
}

TEST_F(FormRenderTest, the_requester_edits_his_stored_request_opened_by_its_link) {
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  EXPECT_TRUE(contains(page, "<input type='text' name='TRIPNUM' value='1001' readonly>"));
  EXPECT_TRUE(contains(page,
                       "<input type='text' name='Contact' size='25' maxlength='25' "
                       "value='O&#39;Brien' id=\"Contact\">"));
  EXPECT_TRUE(contains(page, "<input type='text' name='NUMSTUDENTS' size='10' value='40' "));
  EXPECT_TRUE(contains(page, "<input type='text' name='ESTTIME' size='10' value='6.5' "));
  EXPECT_TRUE(contains(page,
                       "<textarea rows='3' cols='60' name='CUSTSPEC' id=\"CUSTSPEC\">"
                       "&lt;b&gt;bold&lt;/b&gt;</TEXTAREA>"));
  EXPECT_TRUE(contains(
      page,
      "<input type='text' name='RequestorEmail' "
      "value='teacher@example.org' id=\"RequestorEmail\" aria-label=\"Requester e-mail\">"));
  EXPECT_TRUE(contains(page, "<input type='text' name='CHAINID' value='HS'>"));
  EXPECT_TRUE(contains(page, "<option selected value = 'Dec'>Dec</option>"));
  EXPECT_TRUE(contains(page, "<option selected value='2026'>2026</option>"));
  EXPECT_TRUE(contains(page,
                       "<select name='DEP_HOUR' aria-label=\"Departure time\"><option value = "
                       "'1'>1</option>"));
  EXPECT_TRUE(contains(page, "<option selected value = '9'>9</option>"));
  EXPECT_TRUE(contains(page, "<option selected value = '30'>30</option>"));
  EXPECT_TRUE(contains(page, "<option selected>12</option>"));
  EXPECT_TRUE(contains(page, "<option selected>FLD</option>"));
  EXPECT_TRUE(contains(page, "<option value='100' selected >General</option>"));
  EXPECT_TRUE(
      contains(page, "<option value='10' selected>Science Museum of the Great La</option>"));
  EXPECT_TRUE(contains(page,
                       "<tr><td><font class='label'></font></td><td>200 Lake Dr<br>Building "
                       "B</td></tr>"));
  EXPECT_TRUE(contains(page, "value='Copy' name='btnSubmit' onclick='return confirmCopy();' >"));
  EXPECT_TRUE(contains(page,
                       "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                       "&nbsp;<input type='submit' value='Delete' name='btnSubmit' "
                       "onclick='return confirmDelete();'>"));
  EXPECT_TRUE(contains(page, "<input type=\"submit\" value=\"Print\" name=\"btnSubmit\">"));
  EXPECT_TRUE(contains(page, "<input type='text' name='New' value='EXISTING'>"));
  EXPECT_FALSE(contains(page, "name='Approve'"));
  EXPECT_TRUE(contains(page,
                       "<input type='checkbox' name='chkDefaultReturnDate' value='ON' "
                       "id=\"chkDefaultReturnDate\" />"));
  EXPECT_EQ(sim.session_text("TRIPREQ"), "1001");
  EXPECT_EQ(sim.session_text("RequestDetail.Customer"), "LHS");
}

TEST_F(FormRenderTest, the_next_approver_gets_the_approve_choice_with_his_status) {
  Simulator sim(district_);
  sign_in(sim, "principal", "pw");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  EXPECT_TRUE(contains(page,
                       "<p align='left'><input type='radio' name='Approve' value='PRINCIPAL "
                       "APPROVED'> Approve<br><input type='radio' name='Approve' "
                       "value='Deny'> Deny</p>"));
  EXPECT_TRUE(contains(page,
                       "Approve/Deny Comment:<BR><textarea rows='4' cols='20' "
                       "name='STATUS_COMMENT'></TEXTAREA>"));
}

TEST_F(FormRenderTest, someone_else_sees_a_read_only_request_mirrored_into_the_session) {
  district_.sql("trip", "UPDATE District SET VIEW_OTHER_SCHOOLS = -1");
  Simulator sim(district_);
  sign_in(sim, "adams", "pw");
  sim.set_session("RequestDetail.contact", "left over");
  const std::string page = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  EXPECT_FALSE(contains(page, "name='Contact'"));
  EXPECT_TRUE(contains(page, "O&#39;Brien"));
  EXPECT_TRUE(contains(page, "Lakeview High School"));
  EXPECT_TRUE(contains(page, "Science Museum of the Great Lakes Region"));
  EXPECT_TRUE(contains(page,
                       "<textarea rows='3' cols='60' name='CUSTSPEC' readonly='yes' "
                       "id=\"CUSTSPEC\">&lt;b&gt;bold&lt;/b&gt;</TEXTAREA>"));
  EXPECT_TRUE(contains(page, "<font class=\"label\">Fund:</font>"));
  EXPECT_TRUE(contains(page, "<font class=\"label\">Destination:</font>"));
  EXPECT_TRUE(contains(page, "<font class=\"label\">Customer:</font>"));
  EXPECT_TRUE(contains(page,
                       "<div class=\"actions\"><input type='submit' value='Copy' "
                       "name='btnSubmit' onclick='return confirmCopy();' ><input "
                       "type='submit' value='**Exit**' name='btnSubmit' > "));
  EXPECT_FALSE(contains(page, "value='Save'"));
  EXPECT_FALSE(contains(page, "value='Delete'"));
  EXPECT_FALSE(contains(page, "document.TripRequestDetail.Dep_month.focus();"));
  EXPECT_TRUE(contains(page, ">1001<"));
  const std::pair<const char*, const char*> mirrored[] = {
      {"RequestDetail.contact", "O'Brien"},
      {"RequestDetail.customer", "LHS"},
      {"RequestDetail.destination", "10"},
      {"RequestDetail.fund", "100"},
      {"RequestDetail.grade", "12"},
      {"RequestDetail.tripcat", "FLD"},
      {"RequestDetail.numstudents", "40"},
      {"RequestDetail.esttime", "6.5"},
      {"RequestDetail.purpose", "Science fair"},
      {"RequestDetail.custspec", "<b>bold</b>"},
      {"RequestDetail.requestoremail", "teacher@example.org"},
      {"RequestDetail.dep_hour", "9"},
      {"RequestDetail.dep_min", "0"},
      {"RequestDetail.dep_ampm", "AM"},
      {"RequestDetail.ret_hour", "4"},
      {"RequestDetail.ret_min", "30"},
      {"RequestDetail.ret_ampm", "PM"},
  };
  for (const auto& [key, value] : mirrored) EXPECT_EQ(sim.session_text(key), value) << key;
  EXPECT_EQ(sim.session_text("RequestDetail.dep_month"), "");
}

TEST_F(FormRenderTest, a_typed_in_destination_shows_as_new_with_its_address_and_midnight_as_12_am) {
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
  EXPECT_EQ(sim.session_text("RequestDetail.destdesc"), "Regional Stadium");
  EXPECT_EQ(sim.session_text("RequestDetail.miles"), "9");
  const std::size_t dep = page.find("<select name='DEP_HOUR'");
  ASSERT_NE(dep, std::string::npos);
  const std::string departure = page.substr(dep, page.find(">pm", dep) - dep);
  EXPECT_TRUE(contains(departure, "<option selected value = '12'>12</option>"));
  EXPECT_TRUE(contains(departure, "<option selected value = '0'>00</option>"));
  EXPECT_TRUE(contains(departure, "VALUE='AM' CHECKED"));
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
