// CStr, the Trim family, case changes and case-insensitive comparison.
#include <gtest/gtest.h>

#include <limits>

#include "platform/vb/conversions.h"
#include "tests/platform/vb/vb_test_support.h"

namespace {

using namespace vb_test;

struct TextCase {
  const char* label;
  vb::Variant value;
  std::string expected;
};

TEST(CStr, gives_the_text_form_of_each_kind_of_value) {
  const TextCase cases[] = {
      {"Empty", vb::Variant(), ""},
      {"True", vb::Variant(true), "True"},
      {"False", vb::Variant(false), "False"},
      {"Integer max", Int(32767), "32767"},
      {"Integer min", Int(-32768), "-32768"},
      {"Long max", Lng(2147483647), "2147483647"},
      {"Long min", Lng(-2147483647 - 1), "-2147483648"},
      {"text", vb::Variant("Field trip"), "Field trip"},
      {"date", Date(39879), "3/7/2009"},
      {"date and time", Date(serial(39879, 9, 5)), "3/7/2009 9:05:00 AM"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::CStr(c.value), c.expected) << c.label;
}

TEST(CStr, writes_a_double_with_up_to_fifteen_significant_digits_in_the_shortest_form) {
  const TextCase cases[] = {
      {"2.5", vb::Variant(2.5), "2.5"},
      {"12", vb::Variant(12.0), "12"},
      {"zero", vb::Variant(0.0), "0"},
      {"negative zero", vb::Variant(-0.0), "0"},
      {"-0.5", vb::Variant(-0.5), "-0.5"},
      {"0.1 + 0.2", vb::Variant(0.1 + 0.2), "0.3"},
      {"1/3", vb::Variant(1.0 / 3.0), "0.333333333333333"},
      {"2/3 rounds the last digit", vb::Variant(2.0 / 3.0), "0.666666666666667"},
      {"1E+14 still plain", vb::Variant(1e14), "100000000000000"},
      {"1E+15", vb::Variant(1e15), "1E+15"},
      {"just below 1E+15 rounds up", vb::Variant(999999999999999.9), "1E+15"},
      {"17 digits", vb::Variant(123456789012345678.0), "1.23456789012346E+17"},
      {"0.0001 still plain", vb::Variant(0.0001), "0.0001"},
      {"0.00001", vb::Variant(0.00001), "1E-05"},
      {"small with mantissa", vb::Variant(-1.5e-10), "-1.5E-10"},
      {"three-digit exponent", vb::Variant(1e300), "1E+300"},
      {"infinity", vb::Variant(std::numeric_limits<double>::infinity()), "1.#INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::CStr(c.value), c.expected) << c.label;
}

TEST(CStr, writes_a_single_with_up_to_seven_significant_digits) {
  const TextCase cases[] = {
      {"2.5", vb::Variant(2.5f), "2.5"},
      {"0.1", vb::Variant(0.1f), "0.1"},
      {"1/3", vb::Variant(1.0f / 3.0f), "0.3333333"},
      {"1234567", vb::Variant(1234567.0f), "1234567"},
      {"12345678", vb::Variant(12345678.0f), "1.234568E+07"},
      {"0.00001", vb::Variant(0.00001f), "1E-05"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::CStr(c.value), c.expected) << c.label;
}

TEST(CStr, writes_currency_with_up_to_four_decimals_without_trailing_zeros) {
  const TextCase cases[] = {
      {"1234.5", Cur(12345000), "1234.5"},
      {"one", Cur(10000), "1"},
      {"zero", Cur(0), "0"},
      {"smallest negative", Cur(-1), "-0.0001"},
      {"four decimals", Cur(12345), "1.2345"},
      {"largest", Cur(std::numeric_limits<std::int64_t>::max()), "922337203685477.5807"},
      {"smallest", Cur(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::CStr(c.value), c.expected) << c.label;
}

TEST(CStr, reads_a_byte_array_as_utf16le_text) {
  const TextCase cases[] = {
      {"ASCII", vb::Bytes{'C', 0, ':', 0, '/', 0}, "C:/"},
      {"Latin letter", vb::Bytes{0xE9, 0x00}, "\xC3\xA9"},
      {"surrogate pair", vb::Bytes{0x3D, 0xD8, 0x8C, 0xDE}, "\xF0\x9F\x9A\x8C"},
      {"lone surrogate", vb::Bytes{0x3D, 0xD8, 'A', 0},
       "\xEF\xBF\xBD"
       "A"},
      {"odd last byte", vb::Bytes{'A', 0, 'B'}, "A"},
      {"empty", vb::Bytes{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::CStr(c.value), c.expected) << c.label;
}

TEST(CStr, refuses_null_and_arrays) {
  EXPECT_EQ(error_of([] { vb::CStr(vb::Variant::null()); }), vb::err::kInvalidUseOfNull);
  EXPECT_EQ(error_of([] { vb::CStr(vb::StringArray{"a"}); }), vb::err::kTypeMismatch);
  EXPECT_EQ(error_of([] { vb::CStr(vb::StringTable{}); }), vb::err::kTypeMismatch);
}

struct TrimCase {
  std::string text, trim, ltrim, rtrim;
};

TEST(Trim, removes_spaces_only) {
  const TrimCase cases[] = {
      {"  a b  ", "a b", "a b  ", "  a b"},
      {"", "", "", ""},
      {"   ", "", "", ""},
      {"\ta\t", "\ta\t", "\ta\t", "\ta\t"},
      {" \r\nx\r\n ", "\r\nx\r\n", "\r\nx\r\n ", " \r\nx\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vb::Trim(c.text), c.trim) << '"' << c.text << '"';
    EXPECT_EQ(vb::LTrim(c.text), c.ltrim) << '"' << c.text << '"';
    EXPECT_EQ(vb::RTrim(c.text), c.rtrim) << '"' << c.text << '"';
  }
}

TEST(UCase, changes_ascii_letters_only) {
  EXPECT_EQ(vb::UCase("Trip req 12 \xC3\xA9"), "TRIP REQ 12 \xC3\xA9");
  EXPECT_EQ(vb::LCase("Trip REQ 12 \xC3\x89"), "trip req 12 \xC3\x89");
  EXPECT_EQ(vb::UCase(""), "");
}

TEST(same_text, ignores_the_case_of_ascii_letters) {
  struct Case {
    std::string a, b;
    bool same;
  };
  const Case cases[] = {
      {"TripReq", "TRIPREQ", true},    {"", "", true},
      {"Save", "Save ", false},        {"a", "b", false},
      {"\xC3\xA9", "\xC3\x89", false}, {"[x]", "[X]", true},
  };
  for (const auto& c : cases) EXPECT_EQ(text::same_text(c.a, c.b), c.same) << c.a << " / " << c.b;
}

}  // namespace
