// NullToStr and NullToZero: how every page reads a column that may be Null.
#include "data/null_conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/vb/errors.h"
#include "platform/vb/variant.h"

namespace {

TEST(NullToStr, gives_one_blank_for_null_and_the_text_of_anything_else) {
  const std::pair<vb::Variant, std::string> cases[] = {
      {vb::Variant::null(), " "},
      {vb::Variant(true), "True"},
      {vb::Variant("  ADAMS "), "  ADAMS "},
      {vb::Variant(2.5f), "2.5"},
      {vb::Variant(vb::DateTime{39879.0}), "3/7/2009"},
      {vb::Variant(vb::DateTime{9.0 / 24 + 5.0 / 1440}), "9:05:00 AM"},
      {vb::Variant(), ""},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(data::NullToStr(value), text) << text;
  EXPECT_EQ(mdlApproval::NullToStr(vb::Variant::null()), " ");  // the approval module's name
}

TEST(NullToZero, gives_zero_for_null_or_empty_text_and_the_whole_number_otherwise) {
  const std::pair<vb::Variant, std::int32_t> cases[] = {
      {vb::Variant::null(), 0},  {vb::Variant(""), 0},
      {vb::Variant(" 14 "), 14}, {vb::Variant(std::int16_t{300}), 300},
      {vb::Variant(2.5), 2},     {vb::Variant(3.5f), 4},
      {vb::Variant(true), -1},   {vb::Variant(), 0},
  };
  for (const auto& [value, number] : cases) EXPECT_EQ(data::NullToZero(value), number) << number;
  EXPECT_EQ(mdlApproval::NullToZero(vb::Variant("14")), 14);
}

TEST(NullToZero, leaves_bad_values_to_the_callers_error_handler) {
  // Only the empty text counts as zero: a blank is text that is no number.
  const std::pair<const char*, long> cases[] = {{" ", vb::err::kTypeMismatch},
                                                {"abc", vb::err::kTypeMismatch},
                                                {"3000000000", vb::err::kOverflow}};
  for (const auto& [text, number] : cases) {
    try {
      data::NullToZero(vb::Variant(text));
      ADD_FAILURE() << "no failure for '" << text << "'";
    } catch (const vb::RuntimeError& error) {
      EXPECT_EQ(error.number(), number) << text;
    }
  }
}

}  // namespace
