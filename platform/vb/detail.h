// Helpers shared by the conversion files: the decimal form of a number, which both the text
// forms (CStr) and Format work on, and the visitor helper. Not for use outside platform/vb.
#pragma once

#include <cstdint>
#include <string>

namespace vb::detail {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// A finite number as decimal digits: value = 0.d1d2d3... x 10^point. `digits` has no leading or
// trailing zeros; an empty `digits` is zero.
struct DecimalForm {
  bool negative = false;
  std::string digits;
  int point = 0;

  bool is_zero() const { return digits.empty(); }
  // Rounds half away from zero to `decimals` places after the point.
  void round_to(int decimals);
  // The digits before the point ("" for a value below 1).
  std::string integer_digits() const;
  // Exactly `count` digits after the point, truncated or padded with zeros.
  std::string fraction_digits(int count) const;
};

// The runtime's view of a binary floating-point value: its `significant` leading digits,
// correctly rounded (15 for Double, 7 for Single). Only for finite values.
DecimalForm decimal_of(double value, int significant);
DecimalForm decimal_of_integer(std::int64_t value);
// A Currency's scaled value (value * 10000), exactly.
DecimalForm decimal_of_scaled(std::int64_t scaled);

// The runtime's shortest text: plain decimal when the exponent is between -5 and the precision,
// else "1.5E+20"/"1E-05" (mantissa without trailing zeros, exponent with at least two digits).
std::string shortest_text(const DecimalForm& value, int significant);
// Plain decimal without exponent and without trailing zeros (Currency).
std::string plain_text(const DecimalForm& value);
// The runtime's texts for values that are no number (1.#INF, -1.#INF, -1.#IND).
std::string non_finite_text(double value);

}  // namespace vb::detail
