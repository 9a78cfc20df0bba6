// Numeric conversions: rounding, CInt/CLng ranges, the number reader, CSng, CDbl, CCur, CBool,
// IsNumeric.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/vb/conversions.h"
#include "tests/platform/vb/vb_test_support.h"

namespace {

using namespace vb_test;

constexpr long kNone = 0;
constexpr long kOverflow = vb::err::kOverflow;
constexpr long kMismatch = vb::err::kTypeMismatch;
constexpr long kNull = vb::err::kInvalidUseOfNull;

TEST(round_half_even, rounds_halves_to_the_even_neighbour) {
  const std::pair<double, double> cases[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0},
      {1.5, 2}, {2.4, 2}, {2.6, 3},   {-2.6, -3}, {0, 0},
  };
  for (auto [value, expected] : cases) EXPECT_EQ(vb::round_half_even(value), expected) << value;
}

struct WholeCase {
  const char* label;
  vb::Variant value;
  long expected;  // when no error
  long error;
};

TEST(CInt, rounds_to_even_and_overflows_outside_sixteen_bits) {
  const WholeCase cases[] = {
      {"2.5", vb::Variant(2.5), 2, kNone},
      {"3.5", vb::Variant(3.5), 4, kNone},
      {"-2.5", vb::Variant(-2.5), -2, kNone},
      {"32767", vb::Variant(32767.0), 32767, kNone},
      {"32767.4", vb::Variant(32767.4), 32767, kNone},
      {"32767.5 rounds to 32768", vb::Variant(32767.5), 0, kOverflow},
      {"32768", Lng(32768), 0, kOverflow},
      {"-32768", vb::Variant(-32768.0), -32768, kNone},
      {"-32768.5 rounds to -32768", vb::Variant(-32768.5), -32768, kNone},
      {"-32769", Lng(-32769), 0, kOverflow},
      {"Single 2.5", vb::Variant(2.5f), 2, kNone},
      {"Currency 2.5", Cur(25000), 2, kNone},
      {"Currency 3.5", Cur(35000), 4, kNone},
      {"Empty", vb::Variant(), 0, kNone},
      {"True", vb::Variant(true), -1, kNone},
      {"False", vb::Variant(false), 0, kNone},
      {"a date's serial", Date(2.5), 2, kNone},
      {"a time of day", Date(0.75), 1, kNone},
      {"Null", vb::Variant::null(), 0, kNull},
      {"array", vb::StringArray{"1"}, 0, kMismatch},
      {"bytes", vb::Bytes{'1', 0}, 0, kMismatch},
      {"infinity", vb::Variant(std::numeric_limits<double>::infinity()), 0, kOverflow},
      {"NaN", vb::Variant(std::nan("")), 0, kOverflow},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CInt(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(vb::CInt(c.value), c.expected) << c.label;
    }
  }
}

TEST(CInt, reads_numbers_typed_as_text) {
  const WholeCase cases[] = {
      {"plain", vb::Variant("12"), 12, kNone},
      {"blanks around", vb::Variant("  12 "), 12, kNone},
      {"minus", vb::Variant("-5"), -5, kNone},
      {"plus", vb::Variant("+5"), 5, kNone},
      {"grouping", vb::Variant("1,234"), 1234, kNone},
      {"dollar", vb::Variant("$12"), 12, kNone},
      {"exponent", vb::Variant("1E3"), 1000, kNone},
      {"half", vb::Variant("2.5"), 2, kNone},
      {"32767", vb::Variant("32767"), 32767, kNone},
      {"32768", vb::Variant("32768"), 0, kOverflow},
      {"too large for a Double", vb::Variant("1E400"), 0, kOverflow},
      {"empty text", vb::Variant(""), 0, kMismatch},
      {"blanks", vb::Variant("   "), 0, kMismatch},
      {"word", vb::Variant("abc"), 0, kMismatch},
      {"number and garbage", vb::Variant("12abc"), 0, kMismatch},
      {"a date", vb::Variant("3/7/2009"), 0, kMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CInt(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(vb::CInt(c.value), c.expected) << c.label;
    }
  }
}

TEST(CLng, rounds_to_even_and_overflows_outside_thirty_two_bits) {
  const WholeCase cases[] = {
      {"max", vb::Variant(2147483647.0), 2147483647, kNone},
      {"max as text", vb::Variant("2147483647"), 2147483647, kNone},
      {"max + 0.5 rounds up", vb::Variant(2147483647.5), 0, kOverflow},
      {"max + 1", vb::Variant(2147483648.0), 0, kOverflow},
      {"min", vb::Variant(-2147483648.0), -2147483648L, kNone},
      {"min - 0.5 rounds to min", vb::Variant(-2147483648.5), -2147483648L, kNone},
      {"min - 1", vb::Variant(-2147483649.0), 0, kOverflow},
      {"2.5", vb::Variant(2.5), 2, kNone},
      {"3.5", vb::Variant(3.5), 4, kNone},
      {"grouped text", vb::Variant("1,000,000"), 1000000, kNone},
      {"Integer", Int(-7), -7, kNone},
      {"date at noon, odd day", Date(39879.5), 39880, kNone},
      {"date at noon, even day", Date(39878.5), 39878, kNone},
      {"Empty", vb::Variant(), 0, kNone},
      {"True", vb::Variant(true), -1, kNone},
      {"Null", vb::Variant::null(), 0, kNull},
      {"word", vb::Variant("x"), 0, kMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CLng(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(vb::CLng(c.value), c.expected) << c.label;
    }
  }
}

TEST(parse_number, reads_what_the_runtime_reads_as_a_number) {
  const std::pair<const char*, double> cases[] = {
      {"12", 12},
      {" 12 ", 12},
      {"-12.5", -12.5},
      {"+3", 3},
      {"1,234.5", 1234.5},
      {"1,234,567", 1234567},
      {"$1,234.50", 1234.5},
      {"-$5", -5},
      {"$-5", -5},
      {".5", 0.5},
      {"5.", 5},
      {"1E3", 1000},
      {"1.5e-2", 0.015},
      {"2.5E+2", 250},
      {"007", 7},
      {"0", 0},
      {"1E-400", 0},
      {"\t7\t", 7},
  };
  for (auto [text, expected] : cases) {
    std::optional<double> parsed = vb::parse_number(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_DOUBLE_EQ(*parsed, expected) << text;
  }
}

TEST(parse_number, refuses_what_is_no_number) {
  const char* cases[] = {"",   "   ", "abc", "12abc", "1.2.3", "--5", "+-5", "$",     ".",
                         "1E", "1E+", ",5",  "5 5",   "$$5",   "5$",  "-",   "1E400", "1/2"};
  for (const char* text : cases) EXPECT_FALSE(vb::parse_number(text).has_value()) << text;
}

TEST(CSng, converts_and_overflows_outside_the_single_range) {
  struct Case {
    const char* label;
    vb::Variant value;
    float expected;
    long error;
  };
  const Case cases[] = {
      {"Double", vb::Variant(2.5), 2.5f, kNone},
      {"one third", vb::Variant(1.0 / 3.0), 1.0f / 3.0f, kNone},
      {"text", vb::Variant("1.5"), 1.5f, kNone},
      {"largest", vb::Variant(3.4e38), 3.4e38f, kNone},
      {"too large", vb::Variant(1e39), 0, kOverflow},
      {"too small", vb::Variant(-1e39), 0, kOverflow},
      {"Empty", vb::Variant(), 0, kNone},
      {"True", vb::Variant(true), -1, kNone},
      {"Null", vb::Variant::null(), 0, kNull},
      {"word", vb::Variant("x"), 0, kMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CSng(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(vb::CSng(c.value), c.expected) << c.label;
    }
  }
}

TEST(CDbl, converts_every_numeric_kind) {
  struct Case {
    const char* label;
    vb::Variant value;
    double expected;
    long error;
  };
  const Case cases[] = {
      {"grouped text", vb::Variant("1,234.5"), 1234.5, kNone},
      {"Integer", Int(-12), -12, kNone},
      {"Single", vb::Variant(0.5f), 0.5, kNone},
      {"Currency", Cur(12345), 1.2345, kNone},
      {"date", Date(39879.5), 39879.5, kNone},
      {"True", vb::Variant(true), -1, kNone},
      {"Empty", vb::Variant(), 0, kNone},
      {"Null", vb::Variant::null(), 0, kNull},
      {"word", vb::Variant("x"), 0, kMismatch},
      {"too large", vb::Variant("1E400"), 0, kOverflow},
      {"bytes", vb::Bytes{'1', 0}, 0, kMismatch},
      {"table", vb::StringTable{}, 0, kMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CDbl(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_DOUBLE_EQ(vb::CDbl(c.value), c.expected) << c.label;
    }
  }
}

TEST(CCur, keeps_four_decimals_rounding_halves_to_even) {
  struct Case {
    const char* label;
    vb::Variant value;
    std::int64_t scaled;
    long error;
  };
  const Case cases[] = {
      {"2.5", vb::Variant(2.5), 25000, kNone},
      {"fifth decimal rounds", vb::Variant(1.23456), 12346, kNone},
      {"half of the last place, odd", vb::Variant(0.09375), 938, kNone},
      {"half of the last place, even", vb::Variant(0.03125), 312, kNone},
      {"text", vb::Variant("$1,234.50"), 12345000, kNone},
      {"Long max", Lng(2147483647), 21474836470000, kNone},
      {"Integer", Int(-3), -30000, kNone},
      {"True", vb::Variant(true), -10000, kNone},
      {"Empty", vb::Variant(), 0, kNone},
      {"Currency", Cur(7), 7, kNone},
      {"too large", vb::Variant(1e15), 0, kOverflow},
      {"Null", vb::Variant::null(), 0, kNull},
      {"word", vb::Variant("x"), 0, kMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CCur(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(vb::CCur(c.value).scaled, c.scaled) << c.label;
    }
  }
}

TEST(Currency, from_double_refuses_what_does_not_fit) {
  EXPECT_EQ(vb::Currency::from_double(900000000000000.0).scaled, 9000000000000000000);
  EXPECT_EQ(vb::Currency::from_double(-0.00004).scaled, 0);
  EXPECT_EQ(error_of([] { vb::Currency::from_double(922337203685478.0); }), kOverflow);
  EXPECT_EQ(error_of([] { vb::Currency::from_double(std::nan("")); }), kOverflow);
  EXPECT_EQ(error_of([] { vb::Currency::from_double(-INFINITY); }), kOverflow);
}

TEST(CBool, reads_true_false_in_any_case_and_numbers) {
  struct Case {
    const char* label;
    vb::Variant value;
    bool expected;
    long error;
  };
  const Case cases[] = {
      {"True", vb::Variant("True"), true, kNone},
      {"true", vb::Variant("true"), true, kNone},
      {"TRUE", vb::Variant("TRUE"), true, kNone},
      {"False", vb::Variant("False"), false, kNone},
      {"fALSE", vb::Variant("fALSE"), false, kNone},
      {"blanks around", vb::Variant(" True "), true, kNone},
      {"zero text", vb::Variant("0"), false, kNone},
      {"0.0 text", vb::Variant("0.0"), false, kNone},
      {"one text", vb::Variant("1"), true, kNone},
      {"-1 text", vb::Variant("-1"), true, kNone},
      {"fraction text", vb::Variant("0.5"), true, kNone},
      {"yes", vb::Variant("yes"), false, kMismatch},
      {"empty text", vb::Variant(""), false, kMismatch},
      {"Empty", vb::Variant(), false, kNone},
      {"Boolean", vb::Variant(true), true, kNone},
      {"Integer 0", Int(0), false, kNone},
      {"Integer 5", Int(5), true, kNone},
      {"Double 0.5", vb::Variant(0.5), true, kNone},
      {"Currency 0", Cur(0), false, kNone},
      {"Null", vb::Variant::null(), false, kNull},
      {"array", vb::StringArray{}, false, kMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { vb::CBool(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(vb::CBool(c.value), c.expected) << c.label;
    }
  }
}

TEST(IsNumeric, accepts_numbers_empty_booleans_and_numeric_text) {
  struct Case {
    const char* label;
    vb::Variant value;
    bool numeric;
  };
  const Case cases[] = {
      {"Empty", vb::Variant(), true},
      {"True", vb::Variant(true), true},
      {"False", vb::Variant(false), true},
      {"Integer", Int(3), true},
      {"Double", vb::Variant(2.5), true},
      {"Currency", Cur(1), true},
      {"text", vb::Variant("12"), true},
      {"text with blanks", vb::Variant(" 12 "), true},
      {"money text", vb::Variant("$1,234.50"), true},
      {"empty text", vb::Variant(""), false},
      {"blank text", vb::Variant("   "), false},
      {"word", vb::Variant("abc"), false},
      {"minus alone", vb::Variant("-"), false},
      {"too large", vb::Variant("1E400"), false},
      {"Null", vb::Variant::null(), false},
      {"date", Date(39879), false},
      {"date text", vb::Variant("3/7/2009"), false},
      {"array", vb::StringArray{"1"}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::IsNumeric(c.value), c.numeric) << c.label;
}

}  // namespace
