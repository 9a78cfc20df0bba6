// The post of the request form: checks, saving, status changes, mail, copy, delete and the rest.
#include "tests/request/form_post_fixture.h"

namespace form_post_tests {
namespace {

TEST_F(FormPostTest, a_new_request_is_saved_announced_and_shown_again) {
  SignedIn sim(district_, "teacher", "apple", kNew);
  sim.set_application("JAUNTER.PublicURL", "https://trips.example.org/Jaunter.ASP");
  const Result page = post(sim, new_request_form());
  ASSERT_EQ(newest_request(), "1004");
  auto row = request_row("1004");
  for (const auto& [column, value] : pairs_of(
           "STATUS=UNAPPROVED|CHAINID=HS|CUSTOMER=LHS|BILLCUST=LHS|BILLRATE=2|AMOUNT2=40|"
           "AMOUNTTXT3= |"
           "CAPACITY=High|INVOICE_FORMAT=STD|CONTACT=Ms Smith|DESTINATION=11|DEPDATE=12/18/2026|"
           "RETDATE=12/18/2026|DEPTIME=9:00:00 AM|RETTIME=3:30:00 PM|ARRIVETIME=(Null)|"
           "NUMSTUDENTS=25|ESTMILE=12|FUND=100|GRADE=5|CUSTSPEC=(Null)|ENTEREDBY=teacher|"
           "CALCNUMDRIVERS=True|TYPE=BUS|REQUESTOR_EMAIL=teacher@example.org")) {
    EXPECT_EQ(row[column], value) << column;
  }
  EXPECT_EQ(sim.session_text("TRIPREQ"), "1004");
  EXPECT_EQ(sim.session_text("RequestDetail.New"), "EXISTING");
  EXPECT_TRUE(contains(page.body, "<input type='text' name='TRIPNUM' value='1004' readonly>"));

  const auto mails = sink_.wait_for(2);
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_EQ(mails[0].from, "trips@example.org");
  EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"teacher@example.org"});
  EXPECT_TRUE(contains(mails[0].data, "Subject: Jaunter - Trip Request #1004\r\n"));
  EXPECT_TRUE(contains(mails[0].data,
                       "\r\n\r\nA New Trip Request, Request #1004 has been entered.\r\n"
                       "Customer: Lakeview High School\r\nDestination: City Park\r\n"
                       "Dep Dt: 12/18/2026\r\n# Students: 25\r\nNew Status: UNAPPROVED\r\n"
                       "https://trips.example.org/Jaunter.ASP?WCI=RequestDetail&WCE=1004&WCU"));
  EXPECT_EQ(mails[1].recipients, std::vector<std::string>{"principal@example.org"});
  EXPECT_TRUE(
      contains(mails[1].data, "Subject: Jaunter - Trip Request Request #1004 needs your approval"));
}

TEST_F(FormPostTest, the_next_approver_approves_and_a_forged_approval_is_refused) {
  SignedIn teacher(district_, "teacher", "apple");
  teacher.get("WCI=RequestDetail&WCE=1001&WCU");
  Form form = stored_form("1001");
  form["Approve"] = "ACCEPTED";
  form["STATUS_COMMENT"] = "Fine by me";
  EXPECT_EQ(message_of(post(teacher, form).body),
            "<p>Sorry, you may not approve or deny this trip request.  Use your browser's back "
            "button and try again.</p>");
  EXPECT_EQ(request_row("1001")["STATUS"], "UNAPPROVED");

  SignedIn sim(district_, "principal", "pw");
  sim.get("WCI=RequestDetail&WCE=1001&WCU");
  form["Approve"] = "PRINCIPAL APPROVED";
  form["Dep_date"] = "31";
  post(sim, form);
  auto row = request_row("1001");
  EXPECT_EQ(row["STATUS"], "PRINCIPAL APPROVED");
  EXPECT_EQ(row["STATUS_COMMENT"], "Fine by me");
  EXPECT_EQ(row["STATUS_DATE"], "12/7/2026");
}

TEST_F(FormPostTest, checks_stop_the_post_with_the_first_message) {
  const std::pair<const char*, const char*> cases[] = {
      {"Dep_date= ", "<p>Please enter a valid departure date.</p>"},
      {"Dep_month=Nov|Dep_date=31", "<p>Please enter a valid departure date.</p>"},
      {"NUMADULTS=two",
       "<p>Please enter a valid number of adults (or 0) in the # of Adults field.</p>"},
      {"NUMSTUDENTS=x",
       "<p>Please enter a valid number of adults (or 0) in the # of Students field.</p>"},
      {"ESTTIME=long", "<p>Please enter a valid number of hours (or 0) in the Estimated Time.</p>"},
      {"ESTMILE=far", "<p>Please enter a valid number of miles (or 0) in the Estimated Miles.</p>"},
      {"chkDefaultReturnDate=", "<p>Please enter a valid return date.</p>"},
  };
  for (const auto& [changes, message] : cases) {
    SignedIn sim(district_, "teacher", "apple", kNew);
    Form form = new_request_form();
    for (const auto& [field, value] : pairs_of(changes)) form[field] = value;
    EXPECT_EQ(message_of(post(sim, form).body), message) << changes;
  }
  EXPECT_EQ(newest_request(), "1003");
}

TEST_F(FormPostTest, required_fields_follow_the_district_flags) {
  district_.sql("trip",
                "UPDATE TRIPREQ_REQUIRED SET DEPTIME_REQ = -1, PO_REQ = -1, NUMWHEEL_REQ = -1, "
                "NUMSTUDENTS_REQ = -1");
  SignedIn sim(district_, "teacher", "apple", kNew);
  Form form = new_request_form();
  form["DEP_HOUR"] = " ";
  EXPECT_EQ(message_of(post(sim, form).body), "<p>Departure Time is required.</p>");
  form["DEP_HOUR"] = "9";
  form["NUMSTUDENTS"] = "";
  EXPECT_EQ(message_of(post(sim, form).body), "<p>Number of students is required.</p>");
  form["NUMSTUDENTS"] = "25";
  form["NUMHAND"] = "";
  EXPECT_EQ(message_of(post(sim, form).body), "<p>Number of wheel chairs is required.</p>");
  form["NUMHAND"] = "0";
  EXPECT_EQ(message_of(post(sim, form).body), "<p>PO required.</p>");
}

TEST_F(FormPostTest, am_pm_plausibility_of_the_departure_time) {
  struct Case {
    std::string hour, minute, meridian;
    bool warned;
  };
  const Case cases[] = {{"11", "0", "PM", false}, {"11", "5", "PM", true},
                        {"5", "0", "AM", false},  {"4", "55", "AM", true},
                        {"12", "0", "PM", false}, {"12", "0", "AM", true}};
  for (const Case& c : cases) {
    SignedIn sim(district_, "teacher", "apple", kNew);
    Form form = new_request_form();
    form["DEP_HOUR"] = c.hour;
    form["DEP_MIN"] = c.minute;
    form["DEP_AMPM"] = c.meridian;
    post(sim, form);
    EXPECT_EQ(sim.session_text("blnRtnDtWarn"), c.warned ? "True" : "False") << c.hour << c.minute;
    if (c.hour == "12" && c.warned) {  // midnight is stored a second later, as a time of day
      EXPECT_EQ(sim.session_text("strRtnDtWarn"),
                "WARNING - Are you sure you have the AM/PM correct? Departure time is scheduled "
                "for 12:00:01 AM");
      EXPECT_EQ(request_row(newest_request())["DEPTIME"], "12:00:01 AM");
    }
  }
}

TEST_F(FormPostTest, lead_time_warns_refuses_or_lets_a_privileged_user_through) {
  Form form = new_request_form();
  form["Dep_date"] = "10";  // limit: 12/7 + 3 days = 12/10, which is too late
  SignedIn sim(district_, "teacher", "apple", kNew);
  post(sim, form);
  EXPECT_EQ(sim.session_text("strDepDtWarn"),
            "WARNING - Transportation needs to have 3 days advance notice of all trip requests. "
            "The departure date on this request does not provide for adequate notice. Your trip "
            "will be saved, but may not be accepted by transportation because it was submitted "
            "too late.");
  EXPECT_EQ(newest_request(), "1004");

  district_.sql("trip", "UPDATE District SET DEPDT_LEADTIME_HARDWARN = -1");
  SignedIn hard(district_, "teacher", "apple", kNew);
  EXPECT_EQ(message_of(post(hard, form).body),
            "<p>Sorry, transportation needs to have 3 days advance notice of all trip requests. "
            "The departure date on this request does not provide for adequate notice. Your trip "
            "will not be saved. Please use your browser's back button, change the departure date "
            "and try again.</p>");
  EXPECT_EQ(newest_request(), "1004");
  form["Dep_date"] = "11";
  post(hard, form);
  EXPECT_EQ(newest_request(), "1005");

  SignedIn transport(district_, "transport", "pw", kNew);
  form["Dep_date"] = "8";
  post(transport, form);
  EXPECT_TRUE(
      contains(transport.session_text("strDepDtWarn"), "You have been given special authority"));
  EXPECT_EQ(newest_request(), "1006");
}

TEST_F(FormPostTest, an_unchanged_departure_date_is_not_tested_again) {
  district_.sql("trip", "UPDATE District SET DEPDT_LEADTIME_HARDWARN = -1, DEPDT_LEADTIME = 60");
  SignedIn sim(district_, "teacher", "apple");
  sim.get("WCI=RequestDetail&WCE=1001&WCU");
  Form form = stored_form("1001");
  form["Dep_date"] = "31";  // as stored
  form["Contact"] = "Mr Changed";
  post(sim, form);
  EXPECT_EQ(request_row("1001")["CONTACT"], "Mr Changed");
}

TEST_F(FormPostTest, calendar_notes_warn_or_close_the_day) {
  district_.sql("trip",
                "INSERT INTO Big_CalCalNotes (NoteDate, NoteText, NoteLongText, NoteSeverity) "
                "VALUES (46374, 'Holiday', NULL, 3), (46373, 'Testing', 'Few buses', 2)");
  SignedIn sim(district_, "teacher", "apple", kNew);
  EXPECT_EQ(message_of(post(sim, new_request_form()).body),
            "<p>Departure Date, 12/18/2026, DAY CLOSED - Holiday.  </p>");
  Form form = new_request_form();
  form["Dep_date"] = "17";
  post(sim, form);
  EXPECT_EQ(sim.session_text("strDepDtWarn"), "WARNING - Testing.  Few buses");
  EXPECT_TRUE(
      contains(sim.get("WCI=RequestDetail").body, "Departure -WARNING - Testing.  Few buses"));
}

TEST_F(FormPostTest, the_daily_trip_limit) {
  district_.sql(
      "trip",
      "UPDATE District SET TOTAL_TRIPS_LIMIT = 2, TOTAL_TRIPS_HARDWARN = -1, "
      "TOTAL_TRIPS_LIMIT_MESSAGE = 'That day is full.';"
      "INSERT INTO TRIPS (DEPDATE, CANCELED) VALUES (46374, 0), (46374.5, 0), (46374, -1);");
  SignedIn sim(district_, "teacher", "apple", kNew);
  EXPECT_EQ(message_of(post(sim, new_request_form()).body),
            "<p>WARNING - Your Trip Request will not be saved.  That day is full.</p>");
  district_.sql("trip", "UPDATE District SET TOTAL_TRIPS_HARDWARN = 0");
  sim.get("");
  sign_in(sim, "teacher", "apple", "Enter a New Trip Request");
  post(sim, new_request_form());
  EXPECT_EQ(sim.session_text("strDepDtWarn"), "WARNING - That day is full.");
  EXPECT_EQ(newest_request(), "1004");
}

TEST_F(FormPostTest, a_typed_fund_must_exist) {
  district_.sql("trip", "UPDATE District SET FUND_DD = 0");
  SignedIn sim(district_, "teacher", "apple", kNew);
  Form form = new_request_form();
  form["fund"] = "999";
  EXPECT_EQ(message_of(post(sim, form).body),
            "Fund is invalid,  Please select a valid fund.  Use your browser's back button and "
            "try again.  ");
}

TEST_F(FormPostTest, a_new_chain_restarts_approval_and_an_approver_of_it_approves_at_once) {
  SignedIn sim(district_, "ad", "pw", kNew);
  Form form = new_request_form();
  form["tripcat"] = "ATH";
  post(sim, form);
  auto row = request_row(newest_request());
  EXPECT_EQ(row["CHAINID"], "ATHLETIC");
  EXPECT_EQ(row["STATUS"], "AD APPROVED");
}

TEST_F(FormPostTest, copy_print_exit_and_delete) {
  SignedIn sim(district_, "teacher", "apple");
  sim.get("WCI=RequestDetail&WCE=1001&WCU");
  Form form = stored_form("1001");
  form["btnSubmit"] = "Copy";
  form["Contact"] = "Copied contact";
  const Result copy = post(sim, form);
  EXPECT_EQ(sim.session_text("RequestDetail.New"), "NEW");
  EXPECT_EQ(sim.session_text("TRIPREQ"), "");
  EXPECT_TRUE(contains(copy.body, "value='Copied contact'"));
  EXPECT_TRUE(contains(copy.body, "<input type='text' name='New' value='NEW'>"));
  EXPECT_EQ(newest_request(), "1003");

  sim.get("WCI=RequestDetail&WCE=1001&WCU");
  const Result print = post(sim, {{"btnSubmit", "Print"}, {"New", "EXISTING"}});
  EXPECT_EQ(print.status, 302);
  EXPECT_EQ(print.location, "Jaunter.ASP?WCI=TripRequestDetailPrint");
  EXPECT_EQ(post(sim, {{"btnSubmit", "**Exit**"}}).status, 200);
  EXPECT_EQ(sim.session_text("TRIPREQ"), "");
  EXPECT_EQ(sim.session_text("RequestDetail.contact"), "");

  SignedIn stranger(district_, "adams", "pw");
  EXPECT_TRUE(contains(post(stranger, {{"btnSubmit", "Delete"}, {"tripnum", "1001"}}).body,
                       "you may not delete"));
  EXPECT_FALSE(request_row("1001").empty());
  post(sim, {{"btnSubmit", "Delete"}, {"tripnum", "1001"}});
  EXPECT_TRUE(request_row("1001").empty());
  EXPECT_FALSE(request_row("1002").empty());
}

TEST_F(FormPostTest, a_drop_down_change_carries_the_form_into_the_session) {
  SignedIn sim(district_, "teacher", "apple", kNew);
  Form form = new_request_form();
  form["dropDownChange"] = "Y";
  form["dest"] = "10";
  const Result page = post(sim, form);
  for (const auto& [key, value] : pairs_of(
           "LoadRequestDetailFromSession=True|RequestDetail.customer=LHS|RequestDetail.contact=Ms "
           "Smith|RequestDetail.ret_hour=3|RequestDetail.destination=10|RequestDetail.destspec=Bus "
           "parking in lot C|RequestDetail.miles=12.5")) {
    EXPECT_EQ(sim.session_text(key), value) << key;
  }
  EXPECT_TRUE(contains(page.body, "<option value='10' selected>Science Museum"));
  EXPECT_TRUE(contains(page.body, "200 Lake Dr<br>Building B"));
  EXPECT_EQ(newest_request(), "1003");
}

TEST_F(FormPostTest, a_save_with_the_mail_server_down_keeps_the_request_and_says_the_mail_failed) {
  district_.set_ini("SmtpPort", "1");  // no mail server listens there
  SignedIn sim(district_, "teacher", "apple", kNew);
  const Result page = post(sim, new_request_form());
  EXPECT_EQ(request_row("1004")["STATUS"], "UNAPPROVED");
  EXPECT_TRUE(
      contains(page.body,
               "Request #1004 saved. The request <strong>was saved</strong>, but the "
               "e-mail to teacher@example.org and principal@example.org could not be sent"));
  EXPECT_EQ(page.body.rfind("<!DOCTYPE html>", 0), 0u) << "the report came before the page";
  EXPECT_TRUE(contains(page.body, "name='TRIPNUM' value='1004'"));
}

TEST_F(FormPostTest, a_session_time_out_ends_the_post) {
  Simulator sim(district_);
  EXPECT_TRUE(contains(post(sim, new_request_form()).body, "Sorry, your session has timed out"));
  EXPECT_EQ(newest_request(), "1003");
}

}  // namespace
}  // namespace form_post_tests
