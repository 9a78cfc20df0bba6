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

TEST(CStr, gives_the_shortest_text_of_each_kind_of_value) {
  const TextCase cases[] = {
      {"Empty", vb::Variant(), ""},
      {"False", vb::Variant(false), "False"},
      {"Long min", Lng(-2147483647 - 1), "-2147483648"},
      {"date and time", Date(serial(39879, 9, 5)), "3/7/2009 9:05:00 AM"},
      {"negative zero", vb::Variant(-0.0), "0"},
      {"0.1 + 0.2", vb::Variant(0.1 + 0.2), "0.3"},
      {"2/3 rounds the last of 15 digits", vb::Variant(2.0 / 3.0), "0.666666666666667"},
      {"1E+14 still plain", vb::Variant(1e14), "100000000000000"},
      {"just below 1E+15 rounds up", vb::Variant(999999999999999.9), "1E+15"},
      {"0.0001 still plain", vb::Variant(0.0001), "0.0001"},
      {"small with mantissa", vb::Variant(-1.5e-10), "-1.5E-10"},
      {"infinity", vb::Variant(std::numeric_limits<double>::infinity()), "1.#INF"},
      {"Single 1/3 in 7 digits", vb::Variant(1.0f / 3.0f), "0.3333333"},
      {"Single 12345678", vb::Variant(12345678.0f), "1.234568E+07"},
      {"Currency 1234.5", Cur(12345000), "1234.5"},
      {"Currency smallest negative", Cur(-1), "-0.0001"},
      {"Currency smallest", Cur(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808"},
      {"UTF-16LE surrogate pair", vb::Bytes{0x3D, 0xD8, 0x8C, 0xDE}, "\xF0\x9F\x9A\x8C"},
      {"lone surrogate", vb::Bytes{0x3D, 0xD8, 'A', 0},
       "\xEF\xBF\xBD"
       "A"},
      {"odd last byte", vb::Bytes{'A', 0, 'B'}, "A"},
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
