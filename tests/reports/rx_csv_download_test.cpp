// The list reports' CSV downloads: every row of the report's query (no page limit), the
// report's headings and formatted values, and the report's session check first.
#include <fstream>
#include <regex>
#include <sstream>

#include "reports/list_reports.h"
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

class CsvDownloadTest : public ReportTest {
 protected:
  CsvDownloadTest() {
    use_page_size(10);
    sim_.set_session("TripReportQuery", kTripQuery);
    sim_.set_session("TripRequestReportQuery", kRequestQuery);
  }
  // The download of a report, as its CSV event writes it.
  std::string download(void (reports::ListReports::*event)()) {
    PageHarness harness(sim_);
    (harness.get<reports::ListReports>().*event)();
    return harness.output();
  }
  static std::vector<std::string> records(const std::string& csv) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = csv.find("\r\n", from)) != std::string::npos; from = end + 2) {
      lines.push_back(csv.substr(from, end - from));
    }
    return lines;
  }
  // The column headings of a report's template, joined by ",".
  static std::string template_headings(const std::string& file) {
    std::ifstream in(std::string(JAUNTER_SOURCE_DIR) + "/templates/" + file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string html = text.str();
    const std::regex heading("<th[^>]*>([^<]*)</th>");
    std::string joined;
    for (std::sregex_iterator it(html.begin(), html.end(), heading), end; it != end; ++it) {
      joined += (joined.empty() ? "" : ",") + (*it)[1].str();
    }
    return joined;
  }
};

TEST_F(CsvDownloadTest, each_report_downloads_every_row_under_its_own_headings) {
  add_trips(district_, 25);
  const struct {
    void (reports::ListReports::*event)();
    const char* page;
    const char* query_key;
  } cases[] = {
      {&reports::ListReports::TripReport1_CSV, "TripReport11.htm", "TripReportQuery"},
      {&reports::ListReports::TripReport2_CSV, "TripReport21.htm", "TripReportQuery"},
      {&reports::ListReports::TripRequestReport1_CSV, "TripRequestReport11.htm",
       "TripRequestReportQuery"},
      {&reports::ListReports::TripRequestReport2_CSV, "TripRequestReport21.htm",
       "TripRequestReportQuery"},
  };
  for (const auto& c : cases) {
    const std::string csv = download(c.event);
    ASSERT_EQ(csv.substr(0, 3), kBom) << c.page;
    const std::vector<std::string> lines = records(csv.substr(3));
    ASSERT_FALSE(lines.empty()) << c.page;
    EXPECT_EQ(lines[0], template_headings(c.page)) << c.page;
    // RecordCount is what the paged report counts: all rows, not one page of ten.
    sim_.get(std::string("WCI=") + std::string(c.page).substr(0, std::string(c.page).size() - 5));
    EXPECT_EQ(std::to_string(lines.size() - 1), sim_.session_text("RecordCount")) << c.page;
  }
  EXPECT_EQ(records(download(&reports::ListReports::TripReport1_CSV)).size(), 26u);
}

TEST_F(CsvDownloadTest, a_row_holds_the_values_the_report_shows) {
  add_trips(district_, 12);
  const std::vector<std::string> one = records(download(&reports::ListReports::TripReport1_CSV));
  EXPECT_EQ(one[12],
            "12,3/13/2026,Lakeview High School,Science Museum of the Great Lakes Region,3/13/2026,"
            "9:00 AM,4:30 PM,No");
  const std::vector<std::string> two = records(download(&reports::ListReports::TripReport2_CSV));
  EXPECT_EQ(two[1],
            "1,3/2/2026,Lakeview High School,Science Museum of the Great Lakes Region,3/2/2026,"
            "9:00 AM,4:30 PM,No,"
            "Ms Trip,Museum,6.50,No,25,40,4,12,Yes");
}

TEST_F(CsvDownloadTest, a_long_destination_keeps_its_name_without_the_pages_line_break) {
  sim_.set_session("Destinations", vb::StringArray{"", "10, Science Museum of the Great Lakes"});
  sim_.set_session("numDestinations", std::int16_t{1});
  const std::string csv = download(&reports::ListReports::TripRequestReport1_CSV);
  EXPECT_NE(csv.find("\r\n1001,12/31/2026,Lakeview High School,Science Museum of the Great Lakes,"),
            std::string::npos)
      << csv;
}

TEST_F(CsvDownloadTest, a_browser_gets_a_csv_file_not_a_page) {
  add_trips(district_, 2);
  const struct {
    const char* item;
    const char* file;
  } cases[] = {{"TripReport2", "trips.csv"}, {"TripRequestReport1", "requests.csv"}};
  for (const auto& c : cases) {
    web::HttpRequest request;
    request.method = "GET";
    request.path = "/Jaunter.ASP";
    request.query = std::string("WCI=") + c.item + "&WCE=CSV&WCU";
    request.accept = "text/html,*/*";
    request.cookie = std::string(web::Runtime::kSessionCookie) + "=" + sim_.cookie();
    const web::HttpResponse response = sim_.runtime().handle(request);
    EXPECT_EQ(response.status, 200) << c.item;
    const std::string* type = response.header("Content-Type");
    const std::string* disposition = response.header("Content-Disposition");
    ASSERT_TRUE(type && disposition) << c.item;
    EXPECT_EQ(*type, "text/csv; charset=utf-8");
    EXPECT_EQ(*disposition, std::string("attachment; filename=\"") + c.file + "\"");
    EXPECT_EQ(response.body.rfind(kBom, 0), 0u) << c.item;  // the file alone, not in a page
  }
}

TEST_F(CsvDownloadTest, a_lost_session_gets_the_time_out_and_no_download) {
  add_trips(district_, 3);
  sim_.set_session("USER", "");
  PageHarness harness(sim_);
  harness.get<reports::ListReports>().TripReport1_CSV();
  EXPECT_EQ(harness.output().find(kBom), std::string::npos);
  EXPECT_EQ(harness.context().web().next_item(), "Logout");
}

}  // namespace
}  // namespace report_tests
