// NullToStr and NullToZero: how every page reads a column that may be Null.
#include "data/null_conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/vb/errors.h"
#include "platform/vb/variant.h"

namespace {

struct StrCase {
  const char* name;
  vb::Variant value;
  std::string text;
};

TEST(NullToStr, gives_one_blank_for_null_and_the_text_of_anything_else) {
  const StrCase cases[] = {
      {"null", vb::Variant::null(), " "},
      {"yes/no true", vb::Variant(true), "True"},
      {"yes/no false", vb::Variant(false), "False"},
      {"empty text", vb::Variant(""), ""},
      {"text kept as is", vb::Variant("  ADAMS "), "  ADAMS "},
      {"whole number", vb::Variant(std::int32_t{14}), "14"},
      {"single", vb::Variant(2.5f), "2.5"},
      {"date", vb::Variant(vb::DateTime{39879.0}), "3/7/2009"},
      {"time of day", vb::Variant(vb::DateTime{9.0 / 24 + 5.0 / 1440}), "9:05:00 AM"},
      {"empty variant", vb::Variant(), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(data::NullToStr(c.value), c.text) << c.name;
  }
}

struct ZeroCase {
  const char* name;
  vb::Variant value;
  std::int32_t number;
};

TEST(NullToZero, gives_zero_for_null_or_empty_text_and_the_whole_number_otherwise) {
  const ZeroCase cases[] = {
      {"null", vb::Variant::null(), 0},
      {"empty text", vb::Variant(""), 0},
      {"numeric text", vb::Variant("14"), 14},
      {"numeric text with blanks", vb::Variant(" 14 "), 14},
      {"whole number", vb::Variant(std::int32_t{-7}), -7},
      {"16-bit number", vb::Variant(std::int16_t{300}), 300},
      {"half rounds to even (down)", vb::Variant(2.5), 2},
      {"half rounds to even (up)", vb::Variant(3.5f), 4},
      {"yes/no true", vb::Variant(true), -1},
      {"empty variant", vb::Variant(), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(data::NullToZero(c.value), c.number) << c.name;
  }
}

long error_of_zero(const vb::Variant& value) {
  try {
    data::NullToZero(value);
  } catch (const vb::RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(NullToZero, leaves_bad_values_to_the_callers_error_handler) {
  // Only the empty text counts as zero: a blank is text that is no number.
  EXPECT_EQ(error_of_zero(vb::Variant(" ")), vb::err::kTypeMismatch);
  EXPECT_EQ(error_of_zero(vb::Variant("abc")), vb::err::kTypeMismatch);
  EXPECT_EQ(error_of_zero(vb::Variant("3000000000")), vb::err::kOverflow);
}

TEST(NullConversions, are_also_the_approval_modules_names) {
  EXPECT_EQ(mdlApproval::NullToStr(vb::Variant::null()), " ");
  EXPECT_EQ(mdlApproval::NullToZero(vb::Variant("14")), 14);
}

}  // namespace
