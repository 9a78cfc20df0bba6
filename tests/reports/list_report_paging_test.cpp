// Paging of the list reports: the rows of each page, the navigation entries, "Page x of y", Last,
// empty results, missing queries and page sizes.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

const std::string kPlainFirst = "&nbsp;First&nbsp;&nbsp;Previous&nbsp;";
const std::string kPlainLast = "&nbsp;Next&nbsp;&nbsp;Last&nbsp;";
const std::string kFirst =
    "<input type='submit' class='submitLink' value='First' name='btnSubmit' id='btnFirst'>"
    "<input type='submit' class='submitLink' value='Previous' name='btnSubmit' id='btnPrevious'>";
const std::string kLast =
    "<input type='submit' class='submitLink' value='Next' name='btnSubmit' id='btnNext'>"
    "<input type='submit' class='submitLink' value='Last' name='btnSubmit' id='btnLast'>";

class PagingTest : public ReportTest {
 protected:
  // Opens the one-line trip report over trips 1 .. rows in pages of ten.
  std::string open_report(int rows) {
    add_trips(district_, rows);
    use_page_size(10);
    sim_.set_session("TripReportQuery", kTripQuery);
    sim_.set_session("PageNumber", vb::Variant());
    return sim_.get("WCI=TripReport1").body;
  }
  std::string press(const std::string& button) {
    return sim_.post("WCI=TripReport1&WCE=TripReport1&WCU", {{"btnSubmit", button}}).body;
  }
  // The trip numbers of the rows shown, as "first-last (count)".
  static std::string rows_shown(const std::string& page) {
    int first = 0, last = 0, count = 0;
    for (int n = 1; n <= 40; ++n) {
      const std::string cell = "><td><font size='-2'>" + std::to_string(n) + "</font></td>";
      if (!contains(page, "=#FFFFFF" + cell) && !contains(page, "=#C0C0C0" + cell)) continue;
      if (!first) first = n;
      last = n;
      ++count;
    }
    return std::to_string(first) + "-" + std::to_string(last) + " (" + std::to_string(count) + ")";
  }
  static std::string page_of(const std::string& text) {
    return "<span class=\"page-of\">" + text + "</span>";
  }
};

TEST_F(PagingTest, twenty_five_rows_of_ten_page_through_three_pages) {
  // The button pressed ("" opens the report), the rows shown, the navigation and the page.
  const std::tuple<const char*, const char*, std::string, const char*> steps[] = {
      {"", "1-10 (10)", kPlainFirst + kLast, "1"},
      {"Next", "11-20 (10)", kFirst + kLast, "2"},
      {"next", "21-25 (5)", kFirst + kPlainLast, "3"},  // compared without regard to case
      {"Previous", "11-20 (10)", kFirst + kLast, "2"},
      {"First", "1-10 (10)", kPlainFirst + kLast, "1"},
      {"Previous", "1-10 (10)", kPlainFirst + kLast, "1"},  // stays on page one
      {"Refresh", "1-10 (10)", kPlainFirst + kLast, "1"},   // any other value keeps the page
      {"Last", "21-25 (5)", kFirst + kPlainLast, "3"},
  };
  for (const auto& [button, shown, navigation, number] : steps) {
    const std::string page = *button ? press(button) : open_report(25);
    EXPECT_EQ(rows_shown(page), shown) << button;
    EXPECT_TRUE(contains(page, navigation)) << button;
    EXPECT_TRUE(contains(page, page_of(std::string("Page ") + number + " of 3")));
    EXPECT_TRUE(contains(page, std::string("Page ") + number + "</p>"));
    EXPECT_EQ(sim_.session_text("PageNumber"), number);
    EXPECT_EQ(sim_.session_text("RecordCount"), "25");
  }
}

TEST_F(PagingTest, last_of_twenty_rows_computes_three_and_is_lowered_to_two) {
  open_report(20);
  const std::string page = press("Last");
  EXPECT_EQ(rows_shown(page), "11-20 (10)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "2");
  EXPECT_TRUE(contains(page, kFirst + kPlainLast));
  EXPECT_TRUE(contains(page, page_of("Page 2 of 2")));
}

TEST_F(PagingTest, an_empty_result_shows_no_rows_and_only_plain_navigation_texts) {
  sim_.clock().set(
      vb::DateTime{vb::DateSerial(2026, 3, 9).serial + vb::TimeSerial(14, 5, 0).serial});
  const std::string page = open_report(0);
  EXPECT_TRUE(contains(page, "<h1>Lakeview Unified</h1>"));
  EXPECT_TRUE(contains(page, "Printed 3/9/2026 2:05:00 PM"));
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0);
  EXPECT_EQ(sim_.session_text("RecordCount"), "0");
  EXPECT_TRUE(contains(page, kPlainFirst + kPlainLast));
  EXPECT_TRUE(contains(page, page_of("Page 1 of 1")));
}

TEST_F(PagingTest, a_missing_page_size_pages_by_twenty_instead_of_dividing_by_zero) {
  add_trips(district_, 25);
  sim_.set_application("PageSize", vb::Variant());
  sim_.set_session("TripReportQuery", kTripQuery);
  sim_.set_session("RecordCount", std::int16_t{25});
  const Result result = sim_.post("WCI=TripReport1&WCE=TripReport1&WCU", {{"btnSubmit", "Last"}});
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(rows_shown(result.body), "21-25 (5)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "2");
}

TEST_F(PagingTest, without_a_query_each_report_says_so_before_its_empty_page) {
  for (const auto& [item, message] :
       pairs_of("TripReport1=Trip Report Query must be supplied.|"
                "TripReport2=Trip Report Query must be supplied.|"
                "TripRequestReport1=Trip Request Report Query must be supplied.|"
                "TripRequestReport2=Trip Request Report Query must be supplied.")) {
    const std::string page = sim_.get("WCI=" + item).body;
    EXPECT_EQ(message_of(page), message) << item;
    EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0) << item;
    EXPECT_TRUE(contains(page, kPlainFirst + kPlainLast)) << item;
    // Every report posts its paging event to itself.
    EXPECT_TRUE(
        contains(page, "action=\"Jaunter.ASP?WCI=" + item + "&amp;WCE=" + item + "&amp;WCU\""))
        << item;
  }
}

}  // namespace
}  // namespace report_tests
