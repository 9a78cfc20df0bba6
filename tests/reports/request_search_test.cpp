// The request search: the approver's work list, the query built from the criteria (its exact text
// in TripRequestReportQuery), the date checks, the result table, the drop-downs and the main menu.
#include "reports/request_search.h"

#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr const char* kSearch = "WCI=RequestSearch&WCE=TripRequests&WCU";
constexpr const char* kNavigate = "WCI=RequestSearch&WCE=Navigate&WCU";
constexpr const char* kOrder = " ORDER BY TRIPSREQ.DEPDATE, TRIPSREQ.DEPTIME, TRIPSREQ.DESTINATION";
const std::string kSearchBase = kRequestQuery.substr(0, kRequestQuery.find(kOrder));
// The work list names TRIPCAT before FIELDTRIP_NUM.
const std::string kWorkListBase =
    kSearchBase.substr(0, kSearchBase.find("TRIPSREQ.FIELDTRIP_NUM")) +
    "TRIPSREQ.TRIPCAT, TRIPSREQ.FIELDTRIP_NUM" +
    kSearchBase.substr(kSearchBase.find(", TRIPSREQ.NUMSTUDENTS"));

std::string count_shown(int count) {
  return "Requests found: <strong>" + std::to_string(count) + "</strong>";
}

class RequestSearchTest : public SearchTest {
 protected:
  std::string query() const { return sim_->session_text("TripRequestReportQuery"); }
};

TEST_F(RequestSearchTest, the_first_page_searches_per_role_and_customer) {
  // CLERK approves level 1 of C1 and level 3 of C2 (an inactive chain counts not).
  district_.sql("security", R"sql(
    INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, Level3Approver,
      LEVEL1STATUS, Level2Status, Level3Status) VALUES
      ('C1', -1, 'CLERK', 'BOSS', NULL, 'CLERK OK', 'ACCEPTED', NULL),
      ('C2', -1, 'BOSS', 'NURSE', 'clerk', 'BOSS OK', 'NURSE OK', 'ACCEPTED'),
      ('C3', 0, 'CLERK', NULL, NULL, 'OLD', NULL, NULL);
    INSERT INTO CLSCU (CLSC1, CLSC2, ROLE, CUSTOMER) VALUES ('clerk', 'pw', 'CLERK', NULL),
      ('norole', 'pw', NULL, NULL);
  )sql");
  const std::pair<const char*, std::string> cases[] = {
      // The work list waits at each level for the status the level before gives.
      {"clerk", kWorkListBase +
                    " WHERE ((TRIPSREQ.CHAINID = 'C1' AND TRIPSREQ.STATUS = 'UNAPPROVED') OR "
                    "(TRIPSREQ.CHAINID = 'C2' AND TRIPSREQ.STATUS = 'NURSE OK'))" +
                    kOrder},
      // A role without any level gets the default search of his customer.
      {"teacher", kSearchBase + " WHERE TRIPSREQ.CUSTOMER = 'LHS'" + kOrder},
      // A blank role is no approver of the unused levels.
      {"norole", kSearchBase + kOrder},
  };
  for (const auto& [user, expected] : cases) {
    signed_in(user, std::string(user) == "teacher" ? "apple" : "pw");
    EXPECT_EQ(query(), expected) << user;
  }
}

TEST_F(RequestSearchTest, waiting_for_me_lists_exactly_the_requests_at_the_users_own_levels) {
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
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"principal", "pw", ">1001<>2001<"},  // level 1 of HS, level 2 of ATHLETIC; his LHS only
      {"ad", "pw", ">2002<>2004<"},         // level 1 of ATHLETIC, every customer
      {"transport", "pw", ">1002<>2005<"},  // level 2 of HS, level 3 of ATHLETIC
      {"teacher", "apple", ""},             // a role that approves nothing
  };
  for (const auto& [user, password, expected] : cases) {
    signed_in(user, password);
    // Typed criteria do not narrow the work list.
    const std::string page =
        sim_->post(kSearch, {{"btnsubmit", "Waiting for me"}, {"Status", "Pending"}}).body;
    std::string listed;
    for (std::size_t at = page.find("WCI=RequestDetail&WCE="); at != std::string::npos;
         at = page.find("WCI=RequestDetail&WCE=", at + 1)) {
      listed += page.substr(page.find('>', at), 6);
    }
    EXPECT_EQ(listed, expected) << user;
    EXPECT_EQ(listed.empty(), contains(page, "No trip requests are waiting for your approval."));
  }
  // The reports print what the button listed.
  signed_in("principal").post(kSearch, {{"btnsubmit", "Waiting for me"}});
  EXPECT_TRUE(contains(query(), "TRIPSREQ.STATUS = 'UNAPPROVED'"));
}

TEST_F(RequestSearchTest, without_autofill_and_work_list_the_first_page_has_no_table) {
  Simulator& sim = signed_in("teacher", "apple");
  sim.set_application("AUTOFILL_REQUESTS", "False");
  const std::string page = sim.get("WCI=RequestSearch&WCU").body;
  EXPECT_EQ(query(), "");
  EXPECT_TRUE(contains(page, count_shown(0)));
  EXPECT_FALSE(contains(page, "<table"));
}

TEST_F(RequestSearchTest, each_form_gives_its_query) {
  const std::pair<Form, std::string> cases[] = {
      // Every criterion adds its clause in order and the division stays out.
      {pairs_of("btnsubmit=Search|DepFrom=3/15/2009|DepTo=3/20/2009|EnterFrom=Jan/5/2009|"
                "EnterTo=2/1/2009|Status=UNAPPROVED|grade=12|cust=LHS|dest=010|tripcat=FLD|"
                "IntNum=LHS-12|div=H, High Schools"),
       " WHERE TRIPSREQ.DEPDATE >= #3/15/2009# and TRIPSREQ.DEPDATE <= #3/20/2009# AND "
       "datevalue(TRIPSREQ.REQDATE) >= #Jan/5/2009# and datevalue(TRIPSREQ.REQDATE) <= #2/1/2009# "
       "AND TRIPSREQ.STATUS = 'UNAPPROVED' AND TRIPSREQ.GRADE = '12' AND TRIPSREQ.CUSTOMER = "
       "'LHS' AND TRIPSREQ.DESTINATION = 10 AND TRIPSREQ.TRIPCAT = 'FLD' AND "
       "TRIPSREQ.INTTRIPNUM = 'LHS-12'"},
      // A departure from date alone covers that one day; a to date alone is ignored.
      {{{"DepFrom", "12/31/2026"}, {"DepTo", " "}},
       " WHERE TRIPSREQ.DEPDATE >= #12/31/2026# and TRIPSREQ.DEPDATE <= #12/31/2026#"},
      {{{"DepTo", "3/20/2009"}, {"EnterTo", "not a date"}}, ""},
      // Typed text reaches the query only as a quoted literal.
      {{{"Status", "x' OR 'a'='a"}, {"grade", "O'Hara"}},
       " WHERE TRIPSREQ.STATUS = 'x'' OR ''a''=''a' AND TRIPSREQ.GRADE = 'O''Hara'"},
      // A posted list item is cut to its customer code; one not in the list is cut as posted.
      {{{"cust", "  band, District Band "}}, " WHERE TRIPSREQ.CUSTOMER = 'BAND'"},
      {{{"cust", "  XYZ, Unknown"}}, " WHERE TRIPSREQ.CUSTOMER = '  XYZ'"},
  };
  Simulator& sim = signed_in();
  sim.set_session("blnDepDtWarn", true);
  sim.set_session("blnRtnDtWarn", true);
  for (const auto& [form, condition] : cases) {
    sim.post(kSearch, form);
    EXPECT_EQ(query(), kSearchBase + condition + kOrder);
  }
  // A search clears the date warnings of the request form.
  EXPECT_EQ(sim.session_text("blnDepDtWarn"), "False");
  EXPECT_EQ(sim.session_text("blnRtnDtWarn"), "False");
}

TEST_F(RequestSearchTest, an_invalid_date_is_refused_with_its_message_alone) {
  const std::pair<Form, const char*> cases[] = {
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
  for (const auto& [form, message] : cases) {
    Simulator& sim = signed_in();
    sim.set_session("TripRequestReportQuery", "earlier");
    EXPECT_EQ(message_of(sim.post(kSearch, form).body), message);
    EXPECT_EQ(query(), "earlier");
  }
}

TEST_F(RequestSearchTest, a_user_tied_to_a_customer_searches_only_that_customer) {
  const std::pair<const char*, const char*> cases[] = {{"False", "LHS"}, {"True", "BAND"}};
  for (const auto& [view_other_schools, customer] : cases) {
    Simulator& sim = signed_in("teacher", "apple");
    sim.set_application("VIEW_OTHER_SCHOOLS", view_other_schools);
    sim.post(kSearch, {{"cust", "BAND"}});
    EXPECT_EQ(query(), kSearchBase + " WHERE TRIPSREQ.CUSTOMER = '" + customer + "'" + kOrder);
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

TEST_F(RequestSearchTest, the_table_has_its_headings_and_two_lines_per_request) {
  signed_in("teacher", "apple");
  const auto table = first_page_.find("<table width='100%' border='0' cellspacing='0'><thead>");
  ASSERT_NE(table, std::string::npos);
  EXPECT_EQ(
      joined(cell_texts(first_page_.substr(table, first_page_.find("</table>", table) - table))),
      "Request #|Customer|Destination|Depart|Return|Status|Entered|Category|Internal #|Contact|"
      "&nbsp;|# Stus / Adults|Grade|Arrive|Leave|Division|Trip #|Approval|Purpose||"
      "1001|Lakeview High School| Science Museum of the Great L-akes Region|"
      "12/31/2026, 9:00&nbsp;AM|12/31/2026, 4:30&nbsp;PM|UNAPPROVED|12/4/2026|FLD|LHS-12||&nbsp;|"
      "40/4|12|10:00&nbsp;AM|3:00&nbsp;PM|H|&nbsp;|HS|Science fair|"
      "1002|Lakeview High School|Regional Stadium|1/3/2027, 12:00&nbsp;AM|1/3/2027, &nbsp;|"
      "PRINCIPAL APPROVED|12/5/2026|ATH|&nbsp;||&nbsp;|20/2|12|&nbsp;|&nbsp;|H|&nbsp;|HS|Game");
  EXPECT_TRUE(before(first_page_,
                     "<tr bgcolor='#FFFFFF'><td><font size='-2'><a "
                     "href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1001&WCU\">1001</a>",
                     "<tr bgcolor='#C0C0C0'><td><font size='-2'><a "
                     "href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1002&WCU\">1002</a>"));
  EXPECT_TRUE(contains(first_page_, "<font color='Red' size='-1'><b>UNAPPROVED</b></font>"));
  EXPECT_TRUE(contains(first_page_,
                       "<a href='Jaunter.ASP?WCI=PrintReport&Type=Request' target='_blank'>Print "
                       "Report</a>&nbsp;<table"));
  EXPECT_TRUE(contains(first_page_, count_shown(2)));
}

TEST_F(RequestSearchTest, three_hundred_requests_are_listed_and_one_more_is_refused) {
  const auto add = [&](int count) {
    district_.sql("request",
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                      std::to_string(count) +
                      ") INSERT INTO TRIPSREQ (CUSTOMER, DESTINATION, DEPDATE, STATUS) SELECT "
                      "'LHS', 0, 46500, 'BULK' FROM n;");
  };
  add(297);  // with the three sample requests: 300
  std::string page = signed_in().post(kSearch, {}).body;
  EXPECT_TRUE(contains(page, count_shown(300)));
  EXPECT_FALSE(contains(page, "more than 300"));
  add(1);
  page = sim_->post(kSearch, {}).body;
  EXPECT_TRUE(contains(page, count_shown(301)));
  EXPECT_TRUE(contains(
      page,
      "<table border='0' cellpadding='0' cellspacing='0' width='100%'><tr><td>&nbsp;</td></tr>"
      "<tr><td align='center'><b><font color='#0000ff'>&nbsp;&nbsp;Sorry, your search has "
      "returned more than 300 trip requests. Please refine your search and try "
      "again.</font></b></td></tr></table>"));
  EXPECT_FALSE(contains(page, "Print Report"));
}

TEST_F(RequestSearchTest, the_division_filter_leaves_out_other_divisions_and_unknown_customers) {
  district_.sql("request",
                "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DESTDESC, DEPDATE, STATUS) "
                "VALUES (1004, 'NOSUCH', 0, 'Zoo', 46401, 'Pending');");
  Simulator& sim = signed_in();
  EXPECT_TRUE(contains(sim.post(kSearch, {}).body,
                       ">1004</a></font></td><td><font size='-2'>NOT FOUND</font></td>"));
  const std::string elementary = sim.post(kSearch, {{"div", "E, Elementary"}}).body;
  EXPECT_TRUE(contains(elementary, count_shown(1)));
  // The rows shown keep alternating from white.
  EXPECT_TRUE(contains(elementary,
                       "<tr bgcolor='#FFFFFF'><td><font size='-2'><a "
                       "href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1003&WCU\">"));
}

TEST_F(RequestSearchTest, destinations_come_from_the_list_the_request_or_not_found) {
  district_.sql("request", R"sql(
    INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DESTDESC, DEPDATE, STATUS) VALUES
      (1005, 'LHS', 99, 'Ignored', 46402, 'Pending'),
      (1006, 'LHS', NULL, 'Typed <place> & co', 46403, 'Pending'),
      (1007, 'LHS', 0, NULL, 46404, 'Pending');
  )sql");
  const std::string page = signed_in().post(kSearch, {}).body;
  const std::string cell = "</font></td><td colspan='2' nowrap><font size='-2'>";
  EXPECT_TRUE(contains(page, ">1003</a></font></td><td><font size='-2'>Adams Elementary" + cell +
                                 " City Park</font></td>"));
  EXPECT_TRUE(contains(page, ">1005</a></font></td><td><font size='-2'>Lakeview High School" +
                                 cell + "NOT FOUND</font></td>"));
  EXPECT_TRUE(contains(page, cell + "Typed &lt;place&gt; &amp; co</font></td>"));
  EXPECT_TRUE(contains(page, ">1007</a></font></td><td><font size='-2'>Lakeview High School" +
                                 cell + "&nbsp;</font></td>"));
}

TEST_F(RequestSearchTest, database_text_is_escaped_in_the_table) {
  district_.sql("trip",
                "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV, ACTIVE) VALUES "
                "('SMS', 'Smith & <Sons>', 'H', -1);");
  district_.sql("request", R"sql(
    INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DESTDESC, DEPDATE, RETDATE, STATUS,
      PURPOSE, TRIPCAT, GRADE, CHAINID, INTTRIPNUM) VALUES
      (1008, 'SMS', 0, 'A long destination name with <b>markup</b> in it', 46405, 46407,
       '<i>x</i>', 'Eat & "drink"', 'C''s', '<5>', 'X&Y', 'I<1>');
  )sql");
  const std::string page = signed_in().post(kSearch, {}).body;
  for (const char* part :
       {"<td><font size='-2'>Smith &amp; &lt;Sons&gt;</font></td>",
        "A long destination name with &lt;-<br>b&gt;markup&lt;/b&gt; in "
        "it</font></td>",
        "<b>&lt;i&gt;x&lt;/i&gt;</b>", "Eat &amp; &quot;drink&quot;</td></font>",
        "<td><font size='-2'>C&#39;s</font></td>", "<td><font size='-2'>&lt;5&gt;</font></td>",
        "<td><font size='-2'>X&amp;Y</font></td>", "<td><font size='-2'>I&lt;1&gt;</font></td>"}) {
    EXPECT_TRUE(contains(page, part)) << part;
  }
  // A trip over several days shows each date in its own column.
  EXPECT_TRUE(before(page, "<td><font size='-2'>1/18/2027, &nbsp;</font></td>",
                     "<td><font size='-2'>1/20/2027, &nbsp;</font></td>"));
}

TEST_F(RequestSearchTest, the_drop_downs_mark_the_criteria_searched_for) {
  const std::string page =
      signed_in().post(kSearch, pairs_of("grade=12|cust=LHS|dest=10|DepFrom=12/1/2026")).body;
  const char* const parts[] = {
      "<select name='grade' id=\"grade\"><option value=><option value='K'>K<option "
      "value='5'>5<option value='12' selected>12</select>",
      "<select name='cust' id=\"cust\"><option value= ></option><option value='ADAMS' >Adams "
      "Elementary</option><option value='BAND' >District Band</option><option value='LHS' "
      "selected>Lakeview High School</option></select>",
      "<select name='dest' id=\"dest\"><option></option><option value=11 >City Park</option>"
      "<option value=10 selected>Science Museum of the Great La</option></select>",
      "name=\"DepTo\" value=\"12/1/2026\"",
  };
  for (const char* part : parts) EXPECT_TRUE(contains(page, part)) << part << "\n" << page;
}

TEST_F(RequestSearchTest, typed_dates_shown_again_are_escaped) {
  const std::string page =
      signed_in().post(kSearch, {{"DepTo", "\"><script>"}, {"EnterTo", "'x'"}}).body;
  EXPECT_TRUE(contains(page, "name=\"DepTo\" value=\"&quot;&gt;&lt;script&gt;\""));
  EXPECT_TRUE(contains(page, "name=\"EnterTo\" value=\"&#39;x&#39;\""));
}

TEST_F(RequestSearchTest, a_menu_choice_clears_the_request_forms_keys) {
  const char* const keys[] = {"RequestDetail.contact", "RequestDetail.ret_ampm", "TRIPREQ",
                              "RequestDetail.requestoremail", "RequestDetail.New"};
  for (const char* button : {"Work With Trip Requests", "nothing known"}) {
    Simulator& sim = signed_in();
    for (const char* key : keys) sim.set_session(key, "kept?");
    sim.set_session("LoadRequestDetailFromSession", "True");
    const std::string page = sim.post(kNavigate, {{"btnsubmit", button}}).body;
    for (const char* key : keys) EXPECT_EQ(sim.session_text(key), "") << key;
    EXPECT_EQ(sim.session_text("LoadRequestDetailFromSession"), "False");
    EXPECT_EQ(page.empty(), std::string(button) == "nothing known");
  }
}

}  // namespace
}  // namespace report_tests
