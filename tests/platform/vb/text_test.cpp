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

TEST(CStr, gives_the_shortest_text_of_each_kind_of_value_and_refuses_null_and_arrays) {
  const TextCase cases[] = {
      {"Empty", vb::Variant(), ""},
      {"date and time", Date(serial(39879, 9, 5)), "3/7/2009 9:05:00 AM"},
      {"0.1 + 0.2", vb::Variant(0.1 + 0.2), "0.3"},
      {"2/3 rounds the last of 15 digits", vb::Variant(2.0 / 3.0), "0.666666666666667"},
      {"just below 1E+15 rounds up", vb::Variant(999999999999999.9), "1E+15"},
      {"infinity", vb::Variant(std::numeric_limits<double>::infinity()), "1.#INF"},
      {"Single 1/3 in 7 digits", vb::Variant(1.0f / 3.0f), "0.3333333"},
      {"Single 12345678", vb::Variant(12345678.0f), "1.234568E+07"},
      {"Currency 1234.5", Cur(12345000), "1234.5"},
      {"UTF-16LE surrogate pair", vb::Bytes{0x3D, 0xD8, 0x8C, 0xDE}, "\xF0\x9F\x9A\x8C"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::CStr(c.value), c.expected) << c.label;
  EXPECT_EQ(error_of([] { vb::CStr(vb::Variant::null()); }), vb::err::kInvalidUseOfNull);
  EXPECT_EQ(error_of([] { vb::CStr(vb::StringArray{"a"}); }), vb::err::kTypeMismatch);
}

TEST(Trim, removes_spaces_only_and_UCase_changes_ascii_letters_only) {
  EXPECT_EQ(vb::Trim(" \r\nx\r\n "), "\r\nx\r\n");
  EXPECT_EQ(vb::LTrim("  a b  "), "a b  ");
  EXPECT_EQ(vb::RTrim("  a b  "), "  a b");
  EXPECT_EQ(vb::UCase("Trip req 12 \xC3\xA9"), "TRIP REQ 12 \xC3\xA9");
  EXPECT_EQ(vb::LCase("Trip REQ 12 \xC3\x89"), "trip req 12 \xC3\x89");
}

TEST(same_text, ignores_the_case_of_ascii_letters_only) {
  EXPECT_TRUE(text::same_text("TripReq", "TRIPREQ"));
  EXPECT_FALSE(text::same_text("Save", "Save "));
  EXPECT_FALSE(text::same_text("\xC3\xA9", "\xC3\x89"));
}

}  // namespace
