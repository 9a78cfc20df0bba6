// The print page: the layouts it offers per report type and where its post sends the browser;
// and the session check of every report and search page.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr const char* kLines =
    "<input type=radio name=rb value=\"1\" checked>One Line<br>"
    "<input type=radio name=rb value=\"2\">Two Line<br>";

using PrintReportTest = ReportTest;

TEST_F(PrintReportTest, request_reports_offer_two_lists_and_trip_reports_add_the_summary) {
  sim_.set_session("PageNumber", std::int16_t{5});
  const std::string page = sim_.get("WCI=PrintReport&Type=Request").body;
  EXPECT_TRUE(contains(page, std::string("<table><tr><td>") + kLines + "</td></tr></table>"));
  EXPECT_EQ(sim_.session_text("ReportType"), "REQUEST");
  EXPECT_EQ(sim_.session_text("PageNumber"), "1");
  EXPECT_TRUE(contains(sim_.get("WCI=PrintReport&Type=trip").body,
                       std::string("<table><tr><td>") + kLines +
                           "<input type=radio name=rb value=\"3\">Summary&nbsp;"
                           "<select name=ddlSummary>"
                           "<option value=\"Customer\">Customer</option>"
                           "<option value=\"Category\">Category</option>"
                           "<option value=\"Fund\">Fund</option>"
                           "<option value=\"Destination\">Destination</option>"
                           "<option value=\"Grade\">Grade</option>"
                           "</select></td></tr></table>"));
  EXPECT_EQ(sim_.session_text("ReportType"), "TRIP");
}

TEST_F(PrintReportTest, the_post_redirects_to_the_chosen_report) {
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"Request", "2", "", "Jaunter.ASP?WCI=TripRequestReport2&WCE&WCU"},
      {"Request", "", "", "Jaunter.ASP?WCI=TripRequestReport2&WCE&WCU"},
      {"Trip", "1", "Fund", "Jaunter.ASP?WCI=TripReport1&WCE&WCU"},
      {"Trip", "3", "Destination", "Jaunter.ASP?WCI=TripSummaryReport&Type=Destination"},
      {"Trip", "", "Grade", "Jaunter.ASP?WCI=TripSummaryReport&Type=Grade"},
  };
  for (const auto& [type, rb, summary, location] : cases) {
    sim_.get(std::string("WCI=PrintReport&Type=") + type);
    const Result result =
        sim_.post("WCI=PrintReport&WCE=PrintReport&WCU", {{"rb", rb}, {"ddlSummary", summary}});
    EXPECT_EQ(result.status, 302) << type << " " << rb;
    EXPECT_EQ(result.location, location) << type << " " << rb;
  }
}

TEST_F(PrintReportTest, a_posted_summary_key_cannot_break_out_of_the_address) {
  sim_.get("WCI=PrintReport&Type=Trip");
  const Result result = sim_.post("WCI=PrintReport&WCE=PrintReport&WCU",
                                  {{"rb", "3"}, {"ddlSummary", "Grade\r\nSet-Cookie: x=1&WCE"}});
  EXPECT_EQ(result.location,
            "Jaunter.ASP?WCI=TripSummaryReport&Type=Grade%0D%0ASet-Cookie%3A%20x%3D1%26WCE");
}

TEST(ReportAccessTest, pages_without_a_signed_in_user_show_the_time_out_and_no_data) {
  District district;
  add_sample_data(district);
  add_trips(district, 3);
  const std::pair<const char*, bool> cases[] = {
      {"WCI=PrintReport&Type=Trip", false},
      {"WCI=PrintReport&WCE=PrintReport&WCU", true},
      {"WCI=TripReport1&WCE&WCU", false},
      {"WCI=TripReport2&WCE=TripReport2&WCU", true},
      {"WCI=TripRequestReport1&WCE&WCU", false},
      {"WCI=TripRequestReport2&WCE=TripRequestReport2&WCU", true},
      {"WCI=TripSummaryReport&Type=Customer", false},
      {"WCI=TripSummaryReport&WCE=TripSummaryReport&Type=Customer", true},
      {"WCI=TripSearch&WCU", false},
      {"WCI=TripSearch&WCE=FieldTrips&WCU", true},
      {"WCI=RequestSearch&WCU", false},
      {"WCI=RequestSearch&WCE=Navigate&WCU", true},
      {"WCI=RequestSearch&WCE=TripRequests&WCU", true},
      {"WCI=TripRequestDetailPrint", false},
  };
  for (bool after_failed_sign_in : {false, true}) {
    Simulator sim(district);
    sim.get("");
    if (after_failed_sign_in) {
      sign_in(sim, "transport", "pw");
      sim.set_session("TripReportQuery", kTripQuery);
      sim.set_session("TRIPREQ", "1001");
      sign_in(sim, "transport", "wrong");
    }
    for (const auto& [query, post] : cases) {
      const Result result =
          post ? sim.post(query, pairs_of("btnSubmit=Next|btnsubmit=View Field Trips|rb=1"))
               : sim.get(query);
      EXPECT_TRUE(
          contains(result.body, "Sorry, your session has timed out please log in again and retry."))
          << query;
      for (const char* data : {"bgcolor", "Summary Type", "Find ", "Science fair"}) {
        EXPECT_FALSE(contains(result.body, data)) << query << " " << data;
      }
      EXPECT_TRUE(result.location.empty()) << query;
      EXPECT_TRUE(after_failed_sign_in || !sim.has_session()) << query;
    }
  }
}

}  // namespace
}  // namespace report_tests
