// Format with the application's patterns, the named formats and the general pattern engine.
#include <gtest/gtest.h>

#include "platform/vb/conversions.h"
#include "tests/platform/vb/vb_test_support.h"

namespace {

using namespace vb_test;

TEST(Format, lays_out_values_by_pattern_rounding_the_decimal_value_half_away_from_zero) {
  struct Case {
    vb::Variant value;
    const char* pattern;
    const char* expected;
  };
  const Case cases[] = {
      {vb::Variant(1234.5), "$###,##0.00", "$1,234.50"},
      {vb::Variant(-5.0), "$###,##0.00", "-$5.00"},
      {vb::Variant(999.995), "$###,##0.00", "$1,000.00"},
      {Lng(12345678), "#,###,##0", "12,345,678"},  // surplus digits go to the first place
      {vb::Variant(2.5), "#,###,##0", "3"},        // unlike CInt
      {vb::Variant(2.345), "#0.00", "2.35"},
      {vb::Variant(1.005), "#0.00", "1.01"},
      {vb::Variant(-0.001), "#0.00", "0.00"},
      {Cur(25050), "#0.00", "2.51"},
      {Date(39879.5), "#0.00", "39879.50"},
      {vb::Variant(" 1,234.5 "), "$###,##0.00", "$1,234.50"},  // numeric text is a number
      {vb::Variant("abc"), "#0.00", "abc"},
      {vb::Variant::null(), "$###,##0.00", ""},
      {vb::Variant(-1234.5), "Currency", "($1,234.50)"},
      {Cur(12345000), "currency", "$1,234.50"},
      {vb::Variant(1234.5), "Standard", "1,234.50"},
      {vb::Variant(0.5), "Percent", "50.00%"},
      {Lng(123456789), "000-00-0000", "123-45-6789"},
      {Lng(5), "\"No. \"0", "No. 5"},
      {Lng(-5), "0;(0);\"zero\"", "(5)"},
      {Lng(0), "0;(0);\"zero\"", "zero"},
      {Lng(-5), "0;", "-5"},
      {Date(39879), "", "3/7/2009"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vb::Format(c.value, c.pattern), c.expected) << c.pattern << " -> " << c.expected;
  }
  EXPECT_EQ(error_of([] { vb::Format(vb::StringArray{"1"}, "#0.00"); }), vb::err::kTypeMismatch);
}

}  // namespace
