// The request search's result table (its cells, the 300-row limit, the division filter, the
// destination and customer texts) and the drop-downs of its page.
#include <gtest/gtest.h>

#include "reports/request_search.h"
#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

constexpr const char* kSearch = "WCI=RequestSearch&WCE=TripRequests&WCU";

const std::vector<std::string> kHeadings = {
    "Request #", "Customer",   "Destination", "Depart",   "Return",          "Status", "Entered",
    "Category",  "Internal #", "Contact",     "&nbsp;",   "# Stus / Adults", "Grade",  "Arrive",
    "Leave",     "Division",   "Trip #",      "Approval", "Purpose",         ""};

// The result table's cells from its headings on.
std::vector<std::string> result_cells(const std::string& page) {
  const auto table = page.find("<table width='100%' border='0' cellspacing='0'><thead>");
  return table == std::string::npos
             ? std::vector<std::string>{}
             : cell_texts(page.substr(table, page.find("</table>", table) - table));
}

std::string count_shown(int count) {
  return "Requests found: <strong>" + std::to_string(count) + "</strong>";
}

class RequestResultsTest : public ::testing::Test {
 protected:
  RequestResultsTest() { add_sample_data(district_); }

  Simulator& signed_in(const std::string& user = "ad", const std::string& password = "pw") {
    sim_ = std::make_unique<Simulator>(district_);
    first_page_ = sign_in(*sim_, user, password).body;
    return *sim_;
  }

  // Adds `count` requests of customer LHS departing after the sample ones.
  void add_requests(int count) const {
    district_.sql("request",
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                  "i < " +
                      std::to_string(count) +
                      ") INSERT INTO TRIPSREQ (CUSTOMER, DESTINATION, DESTDESC, "
                      "DEPDATE, STATUS) SELECT 'LHS', 0, 'Bulk', 46500, 'BULK' FROM n;");
  }

  District district_;
  std::unique_ptr<Simulator> sim_;
  std::string first_page_;
};

TEST_F(RequestResultsTest, the_table_has_its_headings_and_two_lines_per_request) {
  signed_in("teacher", "apple");
  std::vector<std::string> expected = kHeadings;
  for (const std::vector<std::string>& cells : std::vector<std::vector<std::string>>{
           {"1001", "Lakeview High School", " Science Museum of the Great L-akes Region",
            "12/31/2026, 9:00&nbsp;AM", "12/31/2026, 4:30&nbsp;PM", "UNAPPROVED", "12/4/2026",
            "FLD", "LHS-12", "", "&nbsp;", "40/4", "12", "10:00&nbsp;AM", "3:00&nbsp;PM", "H",
            "&nbsp;", "HS", "Science fair"},
           {"1002", "Lakeview High School", "Regional Stadium", "1/3/2027, 12:00&nbsp;AM",
            "1/3/2027, &nbsp;", "PRINCIPAL APPROVED", "12/5/2026", "ATH", "&nbsp;", "", "&nbsp;",
            "20/2", "12", "&nbsp;", "&nbsp;", "H", "&nbsp;", "HS", "Game"}}) {
    expected.insert(expected.end(), cells.begin(), cells.end());
  }
  EXPECT_EQ(result_cells(first_page_), expected);
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

TEST_F(RequestResultsTest, three_hundred_requests_are_listed_and_one_more_is_refused) {
  const std::string refusal =
      "<table border='0' cellpadding='0' cellspacing='0' width='100%'><tr><td>&nbsp;</td></tr>"
      "<tr><td align='center'><b><font color='#0000ff'>&nbsp;&nbsp;Sorry, your search has "
      "returned more than 300 trip requests. Please refine your search and try "
      "again.</font></b></td></tr></table>";
  add_requests(297);  // with the three sample requests: 300
  {
    const std::string page = signed_in().post(kSearch, {}).body;
    EXPECT_TRUE(contains(page, count_shown(300)));
    EXPECT_TRUE(contains(page, "Print Report"));
    EXPECT_FALSE(contains(page, "more than 300"));
  }
  add_requests(1);
  const std::string page = signed_in().post(kSearch, {}).body;
  EXPECT_TRUE(contains(page, count_shown(301)));
  EXPECT_TRUE(contains(page, refusal));
  EXPECT_FALSE(contains(page, "Print Report"));
}

TEST_F(RequestResultsTest, the_division_filter_leaves_out_other_divisions_and_unknown_customers) {
  district_.sql("request",
                "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DESTDESC, DEPDATE, STATUS) "
                "VALUES (1004, 'NOSUCH', 0, 'Zoo', 46401, 'Pending');");
  Simulator& sim = signed_in();
  const std::string all = sim.post(kSearch, {}).body;
  EXPECT_TRUE(contains(all, count_shown(4)));
  EXPECT_TRUE(contains(all, ">1004</a></font></td><td><font size='-2'>NOT FOUND</font></td>"));

  const std::string elementary = sim.post(kSearch, {{"div", "E, Elementary"}}).body;
  EXPECT_TRUE(contains(elementary, count_shown(1)));
  EXPECT_TRUE(contains(elementary, ">1003</a>"));
  EXPECT_FALSE(contains(elementary, ">1001</a>"));
  EXPECT_FALSE(contains(elementary, ">1004</a>"));
  // The rows shown keep alternating from white.
  EXPECT_TRUE(contains(elementary,
                       "<tr bgcolor='#FFFFFF'><td><font size='-2'><a "
                       "href=\"Jaunter.ASP?WCI=RequestDetail&WCE=1003&WCU\">"));
  EXPECT_EQ(sim.session_text("TripRequestReportQuery").find("CUSTDIV"), std::string::npos);
}

TEST_F(RequestResultsTest, destinations_come_from_the_list_the_request_or_not_found) {
  district_.sql("request", R"sql(
    INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, DESTINATION, DESTDESC, DEPDATE, STATUS) VALUES
      (1005, 'LHS', 99, 'Ignored', 46402, 'Pending'),
      (1006, 'LHS', NULL, 'Typed <place> & co', 46403, 'Pending'),
      (1007, 'LHS', 0, NULL, 46404, 'Pending');
  )sql");
  const std::string page = signed_in().post(kSearch, {}).body;
  const std::string cell = "<td colspan='2' nowrap><font size='-2'>";
  EXPECT_TRUE(
      contains(page, ">1003</a></font></td><td><font size='-2'>Adams Elementary</font></td>" +
                         cell + " City Park</font></td>"));
  EXPECT_TRUE(contains(page,
                       ">1005</a></font></td><td><font size='-2'>Lakeview High "
                       "School</font></td>" +
                           cell + "NOT FOUND</font></td>"));
  EXPECT_TRUE(contains(page, cell + "Typed &lt;place&gt; &amp; co</font></td>"));
  EXPECT_TRUE(contains(page,
                       ">1007</a></font></td><td><font size='-2'>Lakeview High "
                       "School</font></td>" +
                           cell + "&nbsp;</font></td>"));
}

TEST_F(RequestResultsTest, database_text_is_escaped_in_the_table) {
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
  // A trip over several days shows each date in its own column.
  EXPECT_TRUE(contains(page, "<td><font size='-2'>Smith &amp; &lt;Sons&gt;</font></td>"));
  EXPECT_TRUE(before(page, "<td><font size='-2'>1/18/2027, &nbsp;</font></td>",
                     "<td><font size='-2'>1/20/2027, &nbsp;</font></td>"));
  EXPECT_FALSE(contains(page, "<b>markup"));
  EXPECT_FALSE(contains(page, "<i>x</i>"));
  EXPECT_TRUE(contains(page,
                       "A long destination name with &lt;-<br>b&gt;markup&lt;/b&gt; in "
                       "it</font></td>"));
  EXPECT_TRUE(contains(page, "<b>&lt;i&gt;x&lt;/i&gt;</b>"));
  EXPECT_TRUE(contains(page, "Eat &amp; &quot;drink&quot;</td></font>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>C&#39;s</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>&lt;5&gt;</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>X&amp;Y</font></td>"));
  EXPECT_TRUE(contains(page, "<td><font size='-2'>I&lt;1&gt;</font></td>"));
}

TEST_F(RequestResultsTest, a_failing_query_is_reported_under_the_result_tables_procedure_name) {
  Simulator& sim = signed_in();
  PageHarness harness(sim);
  std::string sql = "SELECT NOSUCHCOLUMN FROM TRIPSREQ";
  harness.get<reports::RequestSearch>().BuildRequestResultsTable(sql);
  EXPECT_EQ(harness.output().rfind("Error in Procedure: BuildStrResults of Module: Jaunter.  ", 0),
            0u)
      << harness.output();
}

// ---- The page's drop-downs --------------------------------------------------------------------

TEST_F(RequestResultsTest, the_drop_downs_mark_the_criteria_searched_for) {
  const std::string page = signed_in()
                               .post(kSearch, {{"grade", "12"},
                                               {"Status", "unapproved"},
                                               {"cust", "LHS"},
                                               {"dest", "10"},
                                               {"tripcat", "FLD"},
                                               {"div", "H, High Schools"},
                                               {"DepFrom", "12/1/2026"},
                                               {"EnterFrom", "12/4/2026"},
                                               {"EnterTo", "12/6/2026"}})
                               .body;
  const char* const parts[] = {
      "<select name='grade' id=\"grade\"><option value=><option value='K'>K<option "
      "value='5'>5<option value='12' selected>12</select>",
      "<select name='status' id=\"Status\"><option value=><option value='Denied'>Denied<option "
      "value='Pending'>Pending<option value='UNAPPROVED' selected>UNAPPROVED</select>",
      "<select name='cust' id=\"cust\"><option value= ></option><option value='ADAMS' >Adams "
      "Elementary</option><option value='BAND' >District Band</option><option value='LHS' "
      "selected>Lakeview High School</option></select>",
      "<select name='dest' id=\"dest\"><option></option><option value=11 >City Park</option>"
      "<option value=10 selected>Science Museum of the Great La</option></select>",
      "<select name='tripcat' id=\"tripcat\"><option></option><option>ATH</option><option "
      "selected>FLD</option><option>MUS</option></select>",
      "<select name='div' id=\"div\"><option></option><option>E, Elementary</option><option "
      "selected>H, High Schools</option></select>",
      "name=\"DepFrom\" value=\"12/1/2026\"",
      "name=\"DepTo\" value=\"12/1/2026\"",
      "name=\"EnterFrom\" value=\"12/4/2026\"",
      "name=\"EnterTo\" value=\"12/6/2026\"",
  };
  for (const char* part : parts) EXPECT_TRUE(contains(page, part)) << part << "\n" << page;
}

TEST_F(RequestResultsTest, typed_dates_shown_again_are_escaped) {
  const std::string page =
      signed_in().post(kSearch, {{"DepTo", "\"><script>"}, {"EnterTo", "'x'"}}).body;
  EXPECT_TRUE(contains(page, "name=\"DepTo\" value=\"&quot;&gt;&lt;script&gt;\""));
  EXPECT_TRUE(contains(page, "name=\"EnterTo\" value=\"&#39;x&#39;\""));
}

TEST_F(RequestResultsTest, lists_out_of_step_with_their_counts_do_not_break_the_page) {
  Simulator& sim = signed_in();
  sim.set_session("numGrades", std::int16_t{40});
  sim.set_session("StatusVals", "not a list");
  const std::string page = sim.post(kSearch, {}).body;
  EXPECT_TRUE(contains(page, "<option value='12'>12</select>"));
  EXPECT_TRUE(contains(page, "<select name='status' id=\"Status\"></select>"));
}

}  // namespace
