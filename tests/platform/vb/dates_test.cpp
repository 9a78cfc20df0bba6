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
constexpr long kNoDate = 25253;      // 2/19/1969

TEST(date_text, writes_month_day_year_and_twelve_hour_time) {
  const std::pair<double, const char*> cases[] = {
      {k3Mar2009, "3/7/2009"},
      {serial(0, 9, 5), "9:05:00 AM"},
      {serial(k3Mar2009, 9, 5), "3/7/2009 9:05:00 AM"},
      {serial(0, 12), "12:00:00 PM"},
      {serial(0, 12, 30), "12:30:00 PM"},
      {serial(0, 23, 59, 59), "11:59:59 PM"},
      {kLastDay, "12/31/9999"},
      {kLeapDay2024, "2/29/2024"},
      {-1, "12/29/1899"},
      {-1.25, "12/29/1899 6:00:00 AM"},  // the fraction is the time of day whatever the sign
      {-0.5, "12:00:00 PM"},
  };
  for (auto [value, expected] : cases) EXPECT_EQ(vb::date_text({value}), expected) << value;
}

TEST(date_text, rounds_to_whole_seconds_without_showing_sixty) {
  const std::pair<double, const char*> cases[] = {
      {k3Mar2009 + 59.6 / 86400, "3/7/2009 12:01:00 AM"}, {k3Mar2009 + 0.4 / 86400, "3/7/2009"},
      {k3Mar2009 + 86399.6 / 86400, "3/8/2009"},          {0.9999999, "12/31/1899"},
      {serial(0, 9, 4, 59) + 0.5 / 86400, "9:05:00 AM"},
  };
  for (auto [value, expected] : cases) EXPECT_EQ(vb::date_text({value}), expected) << value;
}

TEST(date_text, refuses_values_outside_the_years_100_to_9999) {
  const double cases[] = {kLastDay + 1.0, kFirstDay - 1.0, 1e300, std::nan("")};
  for (double value : cases) {
    EXPECT_EQ(error_of([&] { vb::date_text({value}); }), vb::err::kOverflow) << value;
  }
}

TEST(parse_date_text, reads_dates_month_names_and_times) {
  const std::pair<const char*, double> cases[] = {
      {"3/7/2009", k3Mar2009},
      {"03/07/2009", k3Mar2009},
      {"3/7/09", k3Mar2009},
      {"3-7-2009", k3Mar2009},
      {"2009-3-7", k3Mar2009},
      {"2009-03-07", k3Mar2009},
      {"2009/3/7", k3Mar2009},
      {"  3/7/2009  ", k3Mar2009},
      {"1/5/00", 36530},
      {"1/5/29", 47123},  // two-digit years 00-29 are 2000-2029
      {"1/5/30", 10963},  // and 30-99 are 1930-1999
      {"2/29/2024", kLeapDay2024},
      {"2/29/2000", kLeapDay2000},
      {"12/31/9999", kLastDay},
      {"1/1/100", kFirstDay},
      {"12/29/1899", -1},
      {"Jan/5/2026", k5Jan2026},
      {"jan/5/2026", k5Jan2026},
      {"JAN/5/2026", k5Jan2026},
      {"5-Jan-2026", k5Jan2026},
      {"January 5, 2026", k5Jan2026},
      {"january 5 2026", k5Jan2026},
      {"Jan 5 2026", k5Jan2026},
      {"Jan 5, 2026", k5Jan2026},
      {"5 January 2026", k5Jan2026},
      {"2026-Jan-5", k5Jan2026},
      {"Jan/05/26", k5Jan2026},
      {"Sep/30/2026", 46295},
      {"September 30, 2026", 46295},
      {"Feb/29/2024", kLeapDay2024},
      {"9:5AM", serial(0, 9, 5)},
      {"12:0:01AM", serial(0, 0, 0, 1)},
      {"12:00 AM", 0},
      {"12:30 PM", serial(0, 12, 30)},
      {"11:59:59 PM", serial(0, 23, 59, 59)},
      {"21:30", serial(0, 21, 30)},
      {"9 AM", serial(0, 9)},
      {"3/7/2009 9:05:00 AM", serial(k3Mar2009, 9, 5)},
      {"Jan/5/2026 12:0:01AM", serial(k5Jan2026, 0, 0, 1)},
      {"January 5, 2026 21:30", serial(k5Jan2026, 21, 30)},
      {"12/29/1899 6:00 AM", -1.25},
  };
  for (auto [text, expected] : cases) {
    std::optional<vb::DateTime> date = vb::parse_date_text(text);
    ASSERT_TRUE(date.has_value()) << text;
    EXPECT_DOUBLE_EQ(date->serial, expected) << text;
  }
}

TEST(parse_date_text, refuses_impossible_dates_and_garbage_around_a_date) {
  const char* cases[] = {
      "",           "2/29/2009",    "2/29/1900",  "2/29/2100",      "4/31/2009", "13/1/2009",
      "1/32/2009",  "31/1/2009",    "1/1/0099",   "1/1/10000",      "1/5",       "Jan 5",
      "Jan 2026",   "24:00",        "13:00 PM",   "9:60",           "9",         "9:5:1:2",
      "Foo 5 2026", "Jan Feb 2026", "3/7/2009x",  "3/7/2009/1",     "3//7/2009", "/3/7/2009",
      "3.7.2009",   "1 5 2026",     "9:05 AM PM", "3/7/2009T09:05", "3/7/20099", "abc",
      "3/7/2009;",
  };
  for (const char* text : cases) EXPECT_FALSE(vb::parse_date_text(text).has_value()) << text;
}

TEST(IsDate, accepts_dates_and_date_text_only) {
  struct Case {
    const char* label;
    vb::Variant value;
    bool is_date;
  };
  const Case cases[] = {
      {"date", Date(k3Mar2009), true},
      {"date text", vb::Variant("3/7/2009"), true},
      {"time text", vb::Variant("9:5AM"), true},
      {"selector text", vb::Variant("Feb/30/2026"), false},
      {"word", vb::Variant("hello"), false},
      {"empty text", vb::Variant(""), false},
      {"number", vb::Variant(39879.0), false},
      {"Null", vb::Variant::null(), false},
      {"Empty", vb::Variant(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::IsDate(c.value), c.is_date) << c.label;
}

TEST(CDate, converts_text_and_numbers_to_a_date) {
  struct Case {
    const char* label;
    vb::Variant value;
    double serial;
    long error;
  };
  const Case cases[] = {
      {"text", vb::Variant("3/7/2009"), k3Mar2009, 0},
      {"date", Date(39879.5), 39879.5, 0},
      {"Double", vb::Variant(39879.5), 39879.5, 0},
      {"Long", Lng(39879), k3Mar2009, 0},
      {"Empty", vb::Variant(), 0, 0},
      {"True", vb::Variant(true), -1, 0},
      {"word", vb::Variant("x"), 0, vb::err::kTypeMismatch},
      {"numeric text", vb::Variant("39879"), 0, vb::err::kTypeMismatch},
      {"Null", vb::Variant::null(), 0, vb::err::kInvalidUseOfNull},
      {"past 9999", vb::Variant(1e7), 0, vb::err::kOverflow},
      {"array", vb::StringArray{}, 0, vb::err::kTypeMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CDate(c.value); }), c.error) << c.label;
    if (c.error == 0) {
      EXPECT_DOUBLE_EQ(vb::CDate(c.value).serial, c.serial) << c.label;
    }
  }
}

TEST(DateSerial, rolls_months_and_days_over) {
  struct Case {
    int year, month, day;
    double serial;
  };
  const Case cases[] = {
      {2009, 3, 7, k3Mar2009},     {2024, 2, 29, kLeapDay2024},
      {2000, 2, 29, kLeapDay2000}, {2009, 2, 29, 39873},
      {2009, 13, 1, 40179},        {2009, 1, 0, 39813},
      {2009, 0, 1, 39783},         {2009, -1, 1, 39753},
      {2009, 3, -5, 39873 - 6},    {26, 1, 5, k5Jan2026},
      {30, 1, 5, 10963},           {1899, 12, 30, 0},
      {1899, 12, 29, -1},          {1900, 3, 1, 61},
      {100, 1, 1, kFirstDay},      {9999, 12, 31, kLastDay},
      {1969, 2, 19, kNoDate},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(vb::DateSerial(c.year, c.month, c.day).serial, c.serial)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(DateSerial, overflows_outside_the_years_100_to_9999) {
  EXPECT_EQ(error_of([] { vb::DateSerial(10000, 1, 1); }), vb::err::kOverflow);
  EXPECT_EQ(error_of([] { vb::DateSerial(9999, 12, 32); }), vb::err::kOverflow);
  EXPECT_EQ(error_of([] { vb::DateSerial(100, 1, 0); }), vb::err::kOverflow);
  EXPECT_EQ(error_of([] { vb::DateSerial(-5, 1, 1); }), vb::err::kOverflow);
}

TEST(TimeSerial, counts_from_midnight_and_rolls_into_other_days) {
  struct Case {
    int hour, minute, second;
    const char* text;
  };
  const Case cases[] = {
      {9, 5, 0, "9:05:00 AM"},
      {12, 0, 0, "12:00:00 PM"},
      {0, 0, 1, "12:00:01 AM"},
      {23, 59, 59, "11:59:59 PM"},
      {0, 90, 0, "1:30:00 AM"},
      {24, 0, 0, "12/31/1899"},
      {25, 0, 0, "12/31/1899 1:00:00 AM"},
      {-1, 0, 0, "12/29/1899 11:00:00 PM"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vb::date_text(vb::TimeSerial(c.hour, c.minute, c.second)), c.text)
        << c.hour << ":" << c.minute << ":" << c.second;
  }
  EXPECT_DOUBLE_EQ(vb::TimeSerial(9, 5, 0).serial, 32700.0 / 86400);
  EXPECT_DOUBLE_EQ(vb::TimeSerial(12, 0, 0).serial, 0.5);
}

TEST(DateValue, keeps_the_date_and_TimeValue_the_time) {
  struct Case {
    const char* label;
    vb::Variant value;
    double date, time;
  };
  const Case cases[] = {
      {"date and time", Date(serial(k3Mar2009, 18)), k3Mar2009, 0.75},
      {"text", vb::Variant("3/7/2009 9:05 AM"), k3Mar2009, serial(0, 9, 5)},
      {"time text", vb::Variant("9:05 PM"), 0, serial(0, 21, 5)},
      {"before 1899", Date(-1.25), -1, 0.25},
      {"almost midnight rounds up", Date(k3Mar2009 + 86399.7 / 86400), k3Mar2009 + 1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(vb::DateValue(c.value).serial, c.date) << c.label;
    EXPECT_DOUBLE_EQ(vb::TimeValue(c.value).serial, c.time) << c.label;
  }
  EXPECT_EQ(error_of([] { vb::DateValue(vb::Variant::null()); }), vb::err::kInvalidUseOfNull);
  EXPECT_EQ(error_of([] { vb::TimeValue(vb::Variant("x")); }), vb::err::kTypeMismatch);
}

TEST(split, gives_the_calendar_parts_of_a_serial) {
  const std::pair<double, const char*> cases[] = {
      {serial(k3Mar2009, 9, 5, 7), "2009-3-7 9:5:7"},
      {-1.25, "1899-12-29 6:0:0"},
      {kLeapDay2024, "2024-2-29 0:0:0"},
      {kFirstDay, "100-1-1 0:0:0"},
      {serial(kLastDay, 23, 59, 59), "9999-12-31 23:59:59"},
      {k3Mar2009 + 86399.6 / 86400, "2009-3-8 0:0:0"}};
  for (const auto& [value, expected] : cases) {
    const vb::DateParts p = vb::split({value});
    EXPECT_EQ(std::to_string(p.year) + "-" + std::to_string(p.month) + "-" + std::to_string(p.day) +
                  " " + std::to_string(p.hour) + ":" + std::to_string(p.minute) + ":" +
                  std::to_string(p.second),
              expected);
    const vb::DateTime date{value};
    EXPECT_EQ((std::vector<int>{vb::Year(date), vb::Month(date), vb::Day(date), vb::Hour(date),
                                vb::Minute(date), vb::Second(date)}),
              (std::vector<int>{p.year, p.month, p.day, p.hour, p.minute, p.second}));
  }
}

TEST(dates, survive_a_round_trip_through_their_text) {
  // Every day of a leap year and of the first years of the calendar reads back as written.
  for (long day = kLeapDay2024 - 59; day < kLeapDay2024 + 307; ++day) {
    double value = serial(day, static_cast<int>(day % 24), static_cast<int>(day % 60), 7);
    std::optional<vb::DateTime> back = vb::parse_date_text(vb::date_text({value}));
    ASSERT_TRUE(back.has_value()) << day;
    EXPECT_DOUBLE_EQ(back->serial, value) << vb::date_text({value});
  }
  for (long day = kFirstDay; day < kFirstDay + 800; ++day) {
    std::optional<vb::DateTime> back = vb::parse_date_text(vb::date_text({double(day)}));
    ASSERT_TRUE(back.has_value()) << day;
    EXPECT_DOUBLE_EQ(back->serial, day);
  }
}

}  // namespace
