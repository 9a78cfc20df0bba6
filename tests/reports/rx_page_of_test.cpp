// "Page x of y" beside the list reports' navigation: first, middle and last pages, a page past
// the end lowered to the last one, and an empty report.
#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

class PageOfTest : public ReportTest {};

TEST_F(PageOfTest, each_report_says_which_page_of_how_many_it_shows) {
  struct Case {
    const char* item;
    int rows;
    const char* button;  // pressed after opening; "" opens only
    const char* expected;
  };
  const Case cases[] = {
      {"TripReport1", 25, "", "Page 1 of 3"},     {"TripReport1", 25, "Next", "Page 2 of 3"},
      {"TripReport2", 25, "Last", "Page 3 of 3"}, {"TripReport1", 20, "Last", "Page 2 of 2"},
      {"TripReport1", 30, "Last", "Page 3 of 3"}, {"TripReport1", 0, "", "Page 1 of 1"},
      {"TripReport1", 1, "", "Page 1 of 1"},
  };
  use_page_size(10);
  int trips = 0;
  for (const Case& c : cases) {
    if (c.rows != trips) {
      district_.sql("trip", "DELETE FROM TRIPS;");
      add_trips(district_, c.rows);
      trips = c.rows;
    }
    sim_.set_session("TripReportQuery", kTripQuery);
    sim_.set_session("PageNumber", vb::Variant());
    std::string page = sim_.get(std::string("WCI=") + c.item).body;
    if (*c.button) {
      page = sim_.post(std::string("WCI=") + c.item + "&WCE=" + c.item + "&WCU",
                       {{"btnSubmit", c.button}})
                 .body;
    }
    EXPECT_TRUE(contains(page, std::string("<span class=\"page-of\">") + c.expected + "</span>"))
        << c.item << " " << c.rows << " " << c.button;
  }
}

TEST_F(PageOfTest, the_request_reports_count_their_pages_alike) {
  use_page_size(1);
  sim_.set_session("TripRequestReportQuery", kRequestQuery);
  const std::string page = sim_.get("WCI=TripRequestReport2").body;
  const std::string count = sim_.session_text("RecordCount");
  ASSERT_NE(count, "0");
  EXPECT_TRUE(contains(page, "Page 1 of " + count + "</span>"));
}

}  // namespace
}  // namespace report_tests
