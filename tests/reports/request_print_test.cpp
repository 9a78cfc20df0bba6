// The printable trip request: every value as text, the user's rights on the request number, the
// destination address, and the calendar button.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

class RequestPrintTest : public ReportTest {
 protected:
  std::string print(const std::string& user, const std::string& password,
                    const std::string& request) {
    sign_in(sim_, user, password);
    sim_.set_session("TRIPREQ", request);
    return sim_.get("WCI=TripRequestDetailPrint").body;
  }
};

TEST_F(RequestPrintTest, the_requester_sees_every_value_as_text_and_the_number_read_only) {
  sign_in(sim_, "teacher", "apple");
  sim_.set_session("TRIPREQ_COMMENT", "<i>Call</i>");
  sim_.set_session("TRIPREQ", "1001");
  const std::string page = sim_.get("WCI=TripRequestDetailPrint").body;
  for (const char* part : {
           "<b><font color='#FFFFFF'>&lt;i&gt;Call&lt;/i&gt;</font></b>",
           "<td><input type='text' name='TRIPNUM' value='1001' readonly></td>",
           "<td class=\"label-cell\"><font class=\"label\">Customer:</font></td>"
           "<td>Lakeview High School</td>",
           "<td>O&#39;Brien</td>",
           "<td class=\"label-cell\"><font class=\"label\">Destination:</font></td>"
           "<td>Science Museum of the Great Lakes Region</td>",
           "<tr><td><font class=\"label\">Destination:</font></td>"
           "<td>200 Lake Dr<br>Building B</td></tr>",
           "<td>12/31/2026</td>",
           "<td class=\"pre\">&lt;b&gt;bold&lt;/b&gt;</td>",
           "<td class=\"label-cell\"><font class=\"label\">Fund:</font></td><td>100</td>",
           "<input type='text' name='New' value='EXISTING'>",
       }) {
    EXPECT_TRUE(contains(page, part)) << part;
  }
  // No controls of the form: no lookups, selectors, warnings or approval choice.
  EXPECT_FALSE(contains(page, "<select"));
  EXPECT_FALSE(contains(page, "name='Approve'"));
  // A typed-in destination prints its own name and address.
  const std::string typed = print("transport", "pw", "1002");
  EXPECT_TRUE(
      contains(typed, "<font class=\"label\">Destination:</font></td><td>Regional Stadium</td>"));
  EXPECT_TRUE(contains(typed,
                       "<tr><td><font class=\"label\">Destination:</font></td>"
                       "<td>77 Stadium Way<br>Gate 4</td></tr>"));
}

TEST_F(RequestPrintTest, a_user_who_may_not_edit_sees_the_number_as_plain_text) {
  district_.sql("trip", "UPDATE District SET VIEW_OTHER_SCHOOLS = -1");
  const std::string page = print("adams", "pw", "1001");
  EXPECT_TRUE(contains(page, "<span class=\"label\">Request #</span></td><td>1001</td>"));
  EXPECT_FALSE(contains(page, "name='TRIPNUM'"));
  // A form loaded from the session keeps its edit right.
  sim_.set_session("LoadRequestDetailFromSession", "True");
  sim_.set_session("RequestDetail.New", "EXISTING");
  EXPECT_TRUE(contains(sim_.get("WCI=TripRequestDetailPrint").body,
                       "<input type='text' name='TRIPNUM' value='1001' readonly>"));
}

}  // namespace
}  // namespace report_tests
