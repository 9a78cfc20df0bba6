// Paging of the list reports: page numbers, the navigation entries, Last, the lowering of a page
// past the end, empty results and missing queries.
#include <filesystem>

#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

constexpr const char* kFirst =
    "<input type='submit' class='submitLink' value='First' name='btnSubmit' id='btnFirst'>";
constexpr const char* kPrevious =
    "<input type='submit' class='submitLink' value='Previous' name='btnSubmit' id='btnPrevious'>";
constexpr const char* kNext =
    "<input type='submit' class='submitLink' value='Next' name='btnSubmit' id='btnNext'>";
constexpr const char* kLast =
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
  static std::string trip_cell(int number) {
    return "<td><font size='-2'>" + std::to_string(number) + "</font></td>";
  }
  // The trip numbers of the rows shown, as "first-last (count)".
  static std::string rows_shown(const std::string& page) {
    int first = 0, last = 0, count = 0;
    for (int n = 1; n <= 40; ++n) {
      if (!contains(page, "=#FFFFFF>" + trip_cell(n)) &&
          !contains(page, "=#C0C0C0>" + trip_cell(n)))
        continue;
      if (!first) first = n;
      last = n;
      ++count;
    }
    return std::to_string(first) + "-" + std::to_string(last) + " (" + std::to_string(count) + ")";
  }
};

TEST_F(PagingTest, twenty_five_rows_of_ten_page_through_three_pages) {
  std::string page = open_report(25);
  EXPECT_EQ(rows_shown(page), "1-10 (10)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "1");
  EXPECT_EQ(sim_.session_text("RecordCount"), "25");
  page = press("Next");
  EXPECT_EQ(rows_shown(page), "11-20 (10)");
  EXPECT_TRUE(contains(page, "Page 2"));
  page = press("next");  // the button is compared without regard to case
  EXPECT_EQ(rows_shown(page), "21-25 (5)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "3");
  page = press("Previous");
  EXPECT_EQ(rows_shown(page), "11-20 (10)");
  page = press("First");
  EXPECT_EQ(rows_shown(page), "1-10 (10)");
  page = press("Previous");  // stays on page one
  EXPECT_EQ(rows_shown(page), "1-10 (10)");
  page = press("Refresh");  // any other value keeps the page
  EXPECT_EQ(rows_shown(page), "1-10 (10)");
  page = press("Last");
  EXPECT_EQ(rows_shown(page), "21-25 (5)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "3");
  EXPECT_TRUE(contains(page, "Page 3"));
}

TEST_F(PagingTest, last_of_twenty_rows_computes_three_and_is_lowered_to_two) {
  open_report(20);
  const std::string page = press("Last");
  EXPECT_EQ(rows_shown(page), "11-20 (10)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "2");
  EXPECT_TRUE(contains(page, "&nbsp;Next&nbsp;&nbsp;Last&nbsp;"));
}

TEST_F(PagingTest, a_trip_report_opened_past_the_end_shows_and_keeps_the_last_page) {
  open_report(25);
  sim_.set_session("PageNumber", std::int16_t{9});
  const std::string page = sim_.get("WCI=TripReport1").body;
  EXPECT_EQ(rows_shown(page), "21-25 (5)");
  EXPECT_EQ(sim_.session_text("PageNumber"), "3");
}

TEST_F(PagingTest, navigation_entries_are_plain_texts_where_there_is_nowhere_to_go) {
  const std::string first = "&nbsp;First&nbsp;&nbsp;Previous&nbsp;";
  const std::string last = "&nbsp;Next&nbsp;&nbsp;Last&nbsp;";
  open_report(25);
  const std::string page1 = press("First");
  EXPECT_TRUE(contains(page1, first + kNext + kLast));
  const std::string page2 = press("Next");
  EXPECT_TRUE(contains(page2, std::string(kFirst) + kPrevious + kNext + kLast));
  const std::string page3 = press("Next");
  EXPECT_TRUE(contains(page3, std::string(kFirst) + kPrevious + last));
}

TEST_F(PagingTest, an_empty_result_shows_no_rows_and_only_plain_navigation_texts) {
  const std::string page = open_report(0);
  EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0);
  EXPECT_EQ(sim_.session_text("RecordCount"), "0");
  EXPECT_TRUE(
      contains(page, "&nbsp;First&nbsp;&nbsp;Previous&nbsp;&nbsp;Next&nbsp;&nbsp;Last&nbsp;"));
}

TEST_F(PagingTest, the_report_tags_show_district_page_and_time_of_printing) {
  sim_.clock().set(
      vb::DateTime{vb::DateSerial(2026, 3, 9).serial + vb::TimeSerial(14, 5, 0).serial});
  const std::string page = open_report(3);
  EXPECT_TRUE(contains(page, "<h1>Lakeview Unified</h1>"));
  EXPECT_TRUE(contains(page, "Printed 3/9/2026 2:05:00 PM"));
  EXPECT_TRUE(contains(page, "Page 1</p>"));
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
    const std::string page = sim_.get(std::string("WCI=") + item).body;
    EXPECT_EQ(message_of(page), message) << item;
    EXPECT_EQ(occurrences(page, "<tr bgcolor="), 0) << item;
    EXPECT_TRUE(
        contains(page, "&nbsp;First&nbsp;&nbsp;Previous&nbsp;&nbsp;Next&nbsp;&nbsp;Last&nbsp;"))
        << item;
  }
}

TEST_F(PagingTest, a_database_that_cannot_be_opened_is_reported_above_the_empty_report) {
  sim_.set_session("TripReportQuery", kTripQuery);
  std::filesystem::remove(district_.dir() + "/trip.db");
  const Result result = sim_.get("WCI=TripReport1");
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(message_of(result.body).rfind("Error in Procedure: SetTripDBConnections", 0), 0u);
  EXPECT_TRUE(contains(result.body, "trip.db"));
  EXPECT_TRUE(contains(result.body, "<!DOCTYPE html>"));
  EXPECT_EQ(occurrences(result.body, "<tr bgcolor="), 0);
}

TEST_F(PagingTest, every_report_posts_its_paging_event_to_itself) {
  const char* items[] = {"TripReport1", "TripReport2", "TripRequestReport1", "TripRequestReport2"};
  for (const char* item : items) {
    const std::string page = sim_.get(std::string("WCI=") + item).body;
    EXPECT_TRUE(contains(
        page, std::string("action=\"Jaunter.ASP?WCI=") + item + "&amp;WCE=" + item + "&amp;WCU\""))
        << item;
  }
}

}  // namespace
}  // namespace report_tests
