// Numeric conversions: rounding, CInt/CLng ranges, the number reader, CDbl, CCur, CBool, IsNumeric.
#include <gtest/gtest.h>

#include "platform/vb/conversions.h"
#include "tests/platform/vb/vb_test_support.h"

namespace {

using namespace vb_test;

constexpr long kNone = 0;
constexpr long kOverflow = vb::err::kOverflow;
constexpr long kMismatch = vb::err::kTypeMismatch;
constexpr long kNull = vb::err::kInvalidUseOfNull;

template <class T>
struct Case {
  const char* label;
  vb::Variant value;
  T expected;  // when no error
  long error;
};

// Each case raises its error, or none and gives its value.
template <class T, class Convert>
void check(const std::vector<Case<T>>& cases, Convert convert) {
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { convert(c.value); }), c.error) << c.label;
    if (c.error == kNone) {
      EXPECT_EQ(convert(c.value), c.expected) << c.label;
    }
  }
}

TEST(CInt, rounds_to_even_and_overflows_outside_sixteen_bits) {
  check<long>({{"2.5", vb::Variant(2.5), 2, kNone},
               {"32767.5 rounds to 32768", vb::Variant(32767.5), 0, kOverflow},
               {"-32768.5 rounds to -32768", vb::Variant(-32768.5), -32768, kNone},
               {"Empty", vb::Variant(), 0, kNone},
               {"Null", vb::Variant::null(), 0, kNull},
               {"money text with blanks", vb::Variant(" $1,234 "), 1234, kNone},
               {"32768 as text", vb::Variant("32768"), 0, kOverflow},
               {"date text", vb::Variant("3/7/2009"), 0, kMismatch}},
              [](const vb::Variant& v) { return long{vb::CInt(v)}; });
}

TEST(CLng, rounds_to_even_and_overflows_outside_thirty_two_bits) {
  check<long>({{"max + 0.5 rounds up", vb::Variant(2147483647.5), 0, kOverflow},
               {"min - 0.5 rounds to min", vb::Variant(-2147483648.5), -2147483648L, kNone},
               {"date at noon, odd day", Date(39879.5), 39880, kNone},
               {"date at noon, even day", Date(39878.5), 39878, kNone}},
              [](const vb::Variant& v) { return long{vb::CLng(v)}; });
}

TEST(parse_number, reads_what_the_runtime_reads_as_a_number_and_nothing_else) {
  const std::pair<const char*, double> numbers[] = {
      {" -12.5 ", -12.5}, {"$1,234.50", 1234.5}, {"-$5", -5},   {"$-5", -5},
      {".5", 0.5},        {"1.5e-2", 0.015},     {"1E-400", 0}, {"\t7\t", 7}};
  for (auto [text, expected] : numbers) {
    std::optional<double> parsed = vb::parse_number(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_DOUBLE_EQ(*parsed, expected) << text;
  }
  for (const char* text :
       {"", "   ", "12abc", "1.2.3", "--5", "$", ".", "1E", ",5", "5 5", "5$", "1E400", "1/2"}) {
    EXPECT_FALSE(vb::parse_number(text).has_value()) << text;
  }
}

TEST(CDbl, converts_every_numeric_kind) {
  check<double>({{"grouped text", vb::Variant("1,234.5"), 1234.5, kNone},
                 {"Currency", Cur(12345), 1.2345, kNone},
                 {"Null", vb::Variant::null(), 0, kNull},
                 {"too large", vb::Variant("1E400"), 0, kOverflow},
                 {"bytes", vb::Bytes{'1', 0}, 0, kMismatch}},
                [](const vb::Variant& v) { return vb::CDbl(v); });
}

TEST(CCur, keeps_four_decimals_rounding_halves_to_even) {
  check<std::int64_t>({{"fifth decimal rounds", vb::Variant(1.23456), 12346, kNone},
                       {"half of the last place, odd", vb::Variant(0.09375), 938, kNone},
                       {"half of the last place, even", vb::Variant(0.03125), 312, kNone},
                       {"text", vb::Variant("$1,234.50"), 12345000, kNone},
                       {"too large", vb::Variant(1e15), 0, kOverflow}},
                      [](const vb::Variant& v) { return vb::CCur(v).scaled; });
  EXPECT_EQ(vb::Currency::from_double(-0.00004).scaled, 0);
  EXPECT_EQ(error_of([] { vb::Currency::from_double(922337203685478.0); }), kOverflow);
}

TEST(CBool, reads_true_false_in_any_case_and_numbers) {
  check<bool>({{"blanks around", vb::Variant(" tRUE "), true, kNone},
               {"fraction text", vb::Variant("0.5"), true, kNone},
               {"yes", vb::Variant("yes"), false, kMismatch},
               {"Empty", vb::Variant(), false, kNone},
               {"Null", vb::Variant::null(), false, kNull}},
              [](const vb::Variant& v) { return vb::CBool(v); });
}

TEST(IsNumeric, accepts_numbers_empty_booleans_and_numeric_text) {
  const std::pair<vb::Variant, bool> cases[] = {
      {vb::Variant(), true},     {vb::Variant(false), true},       {vb::Variant("$1,234.50"), true},
      {vb::Variant(""), false},  {vb::Variant::null(), false},     {Date(39879), false},
      {vb::Variant("-"), false}, {vb::Variant("3/7/2009"), false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(vb::IsNumeric(cases[i].first), cases[i].second) << "case " << i;
  }
}

}  // namespace
