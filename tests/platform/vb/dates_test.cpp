// Dates and times: the text form, the reader of typed dates, CDate/IsDate and the date functions.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/vb/conversions.h"
#include "tests/platform/vb/vb_test_support.h"

namespace {

using namespace vb_test;

constexpr long k3Mar2009 = 39879;  // 3/7/2009
constexpr long k5Jan2026 = 46027;
constexpr long kLeapDay2024 = 45351;
constexpr long kLeapDay2000 = 36585;
constexpr long kFirstDay = -657434;  // 1/1/100
constexpr long kLastDay = 2958465;   // 12/31/9999

TEST(date_text, writes_month_day_year_and_twelve_hour_time_to_whole_seconds) {
  const std::pair<double, const char*> cases[] = {
      {k3Mar2009, "3/7/2009"},
      {serial(k3Mar2009, 9, 5), "3/7/2009 9:05:00 AM"},
      {serial(0, 12, 30), "12:30:00 PM"},
      {-1.25, "12/29/1899 6:00:00 AM"},  // the fraction is the time of day whatever the sign
      {k3Mar2009 + 59.6 / 86400, "3/7/2009 12:01:00 AM"},
      {k3Mar2009 + 86399.6 / 86400, "3/8/2009"},  // never 60 seconds
  };
  for (auto [value, expected] : cases) EXPECT_EQ(vb::date_text({value}), expected) << value;
  for (double value : {kLastDay + 1.0, kFirstDay - 1.0, std::nan("")}) {
    EXPECT_EQ(error_of([&] { vb::date_text({value}); }), vb::err::kOverflow) << value;
  }
}

TEST(parse_date_text, reads_dates_month_names_and_times) {
  const std::pair<const char*, double> cases[] = {
      {"03/07/2009", k3Mar2009},
      {"2009-03-07", k3Mar2009},
      {"  3/7/2009  ", k3Mar2009},
      {"1/5/29", 47123},  // two-digit years 00-29 are 2000-2029
      {"1/5/30", 10963},  // and 30-99 are 1930-1999
      {"2/29/2000", kLeapDay2000},
      {"12/31/9999", kLastDay},
      {"1/1/100", kFirstDay},
      {"5-Jan-2026", k5Jan2026},
      {"January 5, 2026", k5Jan2026},
      {"12:0:01AM", serial(0, 0, 0, 1)},
      {"12:30 PM", serial(0, 12, 30)},
      {"21:30", serial(0, 21, 30)},
      {"9 AM", serial(0, 9)},
      {"3/7/2009 9:05:00 AM", serial(k3Mar2009, 9, 5)},
  };
  for (auto [text, expected] : cases) {
    std::optional<vb::DateTime> date = vb::parse_date_text(text);
    ASSERT_TRUE(date.has_value()) << text;
    EXPECT_DOUBLE_EQ(date->serial, expected) << text;
  }
}

TEST(parse_date_text, refuses_impossible_dates_and_garbage_around_a_date) {
  const char* cases[] = {
      "",           "2/29/2009", "2/29/1900", "2/29/2100",  "4/31/2009", "13/1/2009",
      "1/1/10000",  "1/5",       "24:00",     "13:00 PM",   "9:60",      "9",
      "Foo 5 2026", "3/7/2009x", "3.7.2009",  "9:05 AM PM",
  };
  for (const char* text : cases) EXPECT_FALSE(vb::parse_date_text(text).has_value()) << text;
}

TEST(CDate, converts_text_and_numbers_and_IsDate_accepts_dates_and_date_text_only) {
  struct Case {
    const char* label;
    vb::Variant value;
    bool is_date;
    double serial;
    long error;
  };
  const Case cases[] = {
      {"text", vb::Variant("3/7/2009"), true, k3Mar2009, 0},
      {"Empty", vb::Variant(), false, 0, 0},
      {"selector text", vb::Variant("Feb/30/2026"), false, 0, vb::err::kTypeMismatch},
      {"numeric text", vb::Variant("39879"), false, 0, vb::err::kTypeMismatch},
      {"Null", vb::Variant::null(), false, 0, vb::err::kInvalidUseOfNull},
      {"past 9999", vb::Variant(1e7), false, 0, vb::err::kOverflow},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vb::IsDate(c.value), c.is_date) << c.label;
    EXPECT_EQ(error_of([&] { vb::CDate(c.value); }), c.error) << c.label;
    if (c.error == 0) {
      EXPECT_DOUBLE_EQ(vb::CDate(c.value).serial, c.serial) << c.label;
    }
  }
  EXPECT_TRUE(vb::IsDate(Date(k3Mar2009)));
}

TEST(DateSerial, rolls_months_and_days_over_within_the_years_100_to_9999) {
  struct Case {
    int year, month, day;
    double serial;
  };
  const Case cases[] = {
      {2024, 2, 29, kLeapDay2024}, {2009, 2, 29, 39873}, {2009, 13, 1, 40179},
      {2009, 0, 1, 39783},         {2009, 3, -5, 39867}, {26, 1, 5, k5Jan2026},
      {30, 1, 5, 10963},           {1900, 3, 1, 61},     {100, 1, 1, kFirstDay},
      {9999, 12, 31, kLastDay},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(vb::DateSerial(c.year, c.month, c.day).serial, c.serial)
        << c.year << "-" << c.month << "-" << c.day;
  }
  EXPECT_EQ(error_of([] { vb::DateSerial(10000, 1, 1); }), vb::err::kOverflow);
  EXPECT_EQ(error_of([] { vb::DateSerial(100, 1, 0); }), vb::err::kOverflow);
}

TEST(TimeSerial, counts_from_midnight_and_rolls_into_other_days) {
  EXPECT_EQ(vb::date_text(vb::TimeSerial(0, 90, 0)), "1:30:00 AM");
  EXPECT_EQ(vb::date_text(vb::TimeSerial(24, 0, 0)), "12/31/1899");
  EXPECT_EQ(vb::date_text(vb::TimeSerial(-1, 0, 0)), "12/29/1899 11:00:00 PM");
}

TEST(DateValue, keeps_the_date_and_TimeValue_the_time) {
  EXPECT_DOUBLE_EQ(vb::DateValue(Date(serial(k3Mar2009, 18))).serial, k3Mar2009);
  // Almost midnight rounds up to the next day.
  EXPECT_DOUBLE_EQ(vb::DateValue(Date(k3Mar2009 + 86399.7 / 86400)).serial, k3Mar2009 + 1);
  EXPECT_EQ(error_of([] { vb::DateValue(vb::Variant::null()); }), vb::err::kInvalidUseOfNull);
  EXPECT_DOUBLE_EQ(vb::TimeValue(Date(serial(k3Mar2009, 18))).serial, 0.75);
}

}  // namespace
