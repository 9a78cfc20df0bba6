// CSV downloads: quoting and formula cells, and each report's download (every row under the
// report's headings, sent as a file, only to a signed-in user).
#include "reports/csv.h"

#include <regex>

#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

TEST(Csv, cells_are_quoted_where_needed_and_formulas_stay_text) {
  const std::pair<const char*, const char*> cases[] = {
      {"Adams, \"North\" campus", "\"Adams, \"\"North\"\" campus\""},
      {"Line one\r\nline two", "\"Line one\r\nline two\""},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"-2+3", "'-2+3"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\rcmd", "\"'\rcmd\""},
      {"a=b", "a=b"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(reports::csv::cell(in), out) << in;
  EXPECT_EQ(reports::csv::row({"", "a,b", ""}), ",\"a,b\",\r\n");
}

class CsvDownloadTest : public ReportTest {
 protected:
  CsvDownloadTest() {
    use_page_size(10);
    sim_.set_session("TripReportQuery", kTripQuery);
    sim_.set_session("TripRequestReportQuery", kRequestQuery);
  }
  web::HttpResponse fetch(const std::string& query) {
    web::HttpRequest request;
    request.method = "GET";
    request.path = "/Jaunter.ASP";
    request.query = query;
    request.accept = "text/html,*/*";
    request.cookie = std::string(web::Runtime::kSessionCookie) + "=" + sim_.cookie();
    return sim_.runtime().handle(request);
  }
  // The records of a report's download, after its byte order mark.
  std::vector<std::string> records(const std::string& item) {
    const std::string csv = fetch("WCI=" + item + "&WCE=CSV&WCU").body;
    EXPECT_EQ(csv.substr(0, 3), kBom);
    std::vector<std::string> lines;
    for (std::size_t from = 3, end; (end = csv.find("\r\n", from)) != std::string::npos;
         from = end + 2) {
      lines.push_back(csv.substr(from, end - from));
    }
    return lines;
  }
};

TEST_F(CsvDownloadTest, each_report_downloads_every_row_under_its_own_headings) {
  add_trips(district_, 25);
  for (const std::string item :
       {"TripReport1", "TripReport2", "TripRequestReport1", "TripRequestReport2"}) {
    // The headings and row count of the paged report: every row, not one page of ten.
    const std::string html = sim_.get("WCI=" + item).body;
    const std::regex heading("<th[^>]*>([^<]*)</th>");
    std::string headings;
    for (std::sregex_iterator it(html.begin(), html.end(), heading), end; it != end; ++it) {
      headings += (headings.empty() ? "" : ",") + (*it)[1].str();
    }
    const std::vector<std::string> lines = records(item);
    ASSERT_FALSE(lines.empty()) << item;
    EXPECT_EQ(lines[0], headings) << item;
    EXPECT_EQ(std::to_string(lines.size() - 1), sim_.session_text("RecordCount")) << item;
  }
  EXPECT_EQ(records("TripReport1").size(), 26u);
}

TEST_F(CsvDownloadTest, a_row_holds_the_values_the_report_shows) {
  add_trips(district_, 12);
  EXPECT_EQ(records("TripReport1")[12],
            "12,3/13/2026,Lakeview High School,Science Museum of the Great Lakes Region,3/13/2026,"
            "9:00 AM,4:30 PM,No");
  EXPECT_EQ(records("TripReport2")[1],
            "1,3/2/2026,Lakeview High School,Science Museum of the Great Lakes Region,3/2/2026,"
            "9:00 AM,4:30 PM,No,Ms Trip,Museum,6.50,No,25,40,4,12,Yes");
  // A long destination keeps its name without the page's line break.
  sim_.set_session("Destinations", vb::StringArray{"", "10, Science Museum of the Great Lakes"});
  sim_.set_session("numDestinations", std::int16_t{1});
  EXPECT_EQ(records("TripRequestReport1")[1].rfind(
                "1001,12/31/2026,Lakeview High School,Science Museum of the Great Lakes,", 0),
            0u);
}

TEST_F(CsvDownloadTest, a_browser_gets_a_csv_file_not_a_page_and_only_while_signed_in) {
  add_trips(district_, 2);
  const std::pair<const char*, const char*> cases[] = {
      {"WCI=TripReport2&WCE=CSV&WCU", "trips.csv"},
      {"WCI=TripRequestReport1&WCE=CSV&WCU", "requests.csv"},
      {"WCI=TripSummaryReport&WCE=CSV&Type=Customer&WCU", "summary.csv"},
  };
  for (const auto& [query, file] : cases) {
    const web::HttpResponse response = fetch(query);
    EXPECT_EQ(response.status, 200) << query;
    const std::string* type = response.header("Content-Type");
    const std::string* disposition = response.header("Content-Disposition");
    ASSERT_TRUE(type && disposition) << query;
    EXPECT_EQ(*type, "text/csv; charset=utf-8");
    EXPECT_EQ(*disposition, std::string("attachment; filename=\"") + file + "\"");
    EXPECT_EQ(response.body.rfind(kBom, 0), 0u) << query;  // the file alone, not in a page
  }
  EXPECT_TRUE(contains(sim_.get("WCI=TripSummaryReport&Type=Customer").body,
                       "WCE=CSV&amp;Type=Customer&amp;WCU"));
  sim_.set_session("USER", "");
  for (const auto& [query, file] : cases) {
    const web::HttpResponse response = fetch(query);
    EXPECT_EQ(response.body.find(kBom), std::string::npos) << query;
    EXPECT_EQ(response.header("Content-Disposition"), nullptr) << query;
    EXPECT_TRUE(contains(response.body, "Sorry, your session has timed out")) << query;
  }
}

}  // namespace
}  // namespace report_tests
