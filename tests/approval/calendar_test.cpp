// The calendar month: closed, warning and full days, a customer's own trips and requests, and
// the weeks laid out from the right weekday.
#include "approval/calendar.h"

#include <gtest/gtest.h>

#include "config/ChkEligWeb.h"
#include "platform/vb/conversions.h"
#include "tests/support/simulator.h"

namespace {

using approval::CalendarDay;

class CalendarTest : public ::testing::Test {
 protected:
  CalendarTest() : sim_(district_) {
    district_.add_district_rows();
    district_.write_ini();
    district_.write_registry(district_.dir());
    // December 2026: 12/10 = 46366, 12/15 = 46371, 12/24 = 46380; three trips on the 15th, one
    // of them ADAMS's, and a cancelled one on the 16th.
    district_.sql("trip", R"sql(
      INSERT INTO Big_CalCalNotes (NoteDate, NoteText, NoteSeverity, Note_SchoolClosed) VALUES
        (46380, 'Winter break', 1, -1), (46366, 'Testing week', 2, 0),
        (46366, 'Second note', 3, 0), (46356, 'Other month', 3, 0);
      INSERT INTO TRIPS (DEPDATE, CUSTOMER, CANCELED) VALUES (46371.3, 'ADAMS', 0),
        (46371.3, 'BROOK', 0), (46371.3, 'BROOK', 0), (46372, 'ADAMS', -1);
    )sql");
    district_.sql("request", R"sql(
      INSERT INTO TRIPSREQ (TRIPNUM, DEPDATE, CUSTOMER, STATUS) VALUES
        (40, 46371, 'ADAMS', 'UNAPPROVED'), (41, 46371, 'ADAMS', 'Denied'),
        (42, 46402, 'ADAMS', 'UNAPPROVED');
    )sql");
    sim_.set_application("DISTRICT.TOTAL_TRIPS_LIMIT", std::int16_t{3});
  }

  approval::CalendarMonth month(const std::string& customer) {
    testing_support::PageHarness harness(sim_);
    EXPECT_TRUE(ChkEligWeb::PrepareDatabase(harness.context()));
    return harness.get<approval::Calendar>().read_month(2026, 12, customer);
  }

  testing_support::District district_;
  testing_support::Simulator sim_;
};

TEST_F(CalendarTest, marks_closed_warning_and_full_days_and_counts_a_customers_own_trips) {
  const approval::CalendarMonth december = month("");
  ASSERT_EQ(december.days.size(), 31u);
  EXPECT_EQ(december.days.at(24).mark, CalendarDay::Mark::Closed);  // closed by its flag
  EXPECT_EQ(december.days.at(24).note, "Winter break");
  EXPECT_EQ(december.days.at(10).mark, CalendarDay::Mark::Warning);  // the first note counts
  EXPECT_EQ(december.days.at(1).mark, CalendarDay::Mark::None);
  EXPECT_TRUE(december.days.at(15).full);
  EXPECT_FALSE(december.days.at(16).full);  // a cancelled trip books nothing
  EXPECT_EQ(december.days.at(15).trips, 3);
  EXPECT_EQ(december.days.at(15).requests, 1);  // the denied one is not waiting
  EXPECT_EQ(december.days.at(16).trips, 0);
  // A customer sees his own trips, but the limit counts everyone's.
  EXPECT_EQ(month("ADAMS").days.at(15).trips, 1);
  EXPECT_TRUE(month("ADAMS").days.at(15).full);
  EXPECT_EQ(month("LINCOLN").days.at(15).trips, 0);
}

TEST_F(CalendarTest, the_page_shows_the_month_asked_for_to_a_signed_in_user_only) {
  EXPECT_EQ(sim_.get("WCI=Calendar&month=2026-12").body.find("Winter break"), std::string::npos);
  sim_.set_session("USER", "transport");
  const std::string page = sim_.get("WCI=Calendar&month=2026-12").body;
  EXPECT_NE(page.find("December 2026"), std::string::npos);
  EXPECT_NE(page.find("Winter break"), std::string::npos);
  EXPECT_NE(page.find("month=2027-01"), std::string::npos);
}

TEST(CalendarMonthText, reads_year_and_month_only) {
  EXPECT_EQ(approval::parse_month("2026-12"), (std::pair{2026, 12}));
  for (const char* bad : {"2026-13", "2026-1", "26-12", "2026-12x", "", "2026/12", "abcd-ef"}) {
    EXPECT_EQ(approval::parse_month(bad), std::nullopt) << bad;
  }
}

}  // namespace
