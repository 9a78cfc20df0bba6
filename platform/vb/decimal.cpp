// The decimal form of numbers that CStr and Format share.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/vb/detail.h"

namespace vb::detail {

namespace {

void normalize(DecimalForm& value) {
  std::size_t first = value.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    value.digits.clear();
    value.point = 0;
    value.negative = false;
    return;
  }
  value.digits.erase(0, first);
  value.point -= static_cast<int>(first);
  value.digits.erase(value.digits.find_last_not_of('0') + 1);
}

DecimalForm decimal_of_unsigned(std::uint64_t magnitude, bool negative, int scale) {
  DecimalForm result;
  result.negative = negative;
  result.digits = std::to_string(magnitude);
  result.point = static_cast<int>(result.digits.size()) - scale;
  normalize(result);
  return result;
}

std::uint64_t magnitude_of(std::int64_t value) {
  // Negating in unsigned arithmetic keeps INT64_MIN defined.
  return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

}  // namespace

void DecimalForm::round_to(int decimals) {
  long keep = static_cast<long>(point) + decimals;
  if (keep >= static_cast<long>(digits.size())) return;
  if (keep < 0) {
    digits.clear();
    normalize(*this);
    return;
  }
  bool up = digits[static_cast<std::size_t>(keep)] >= '5';
  digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') {
      digits[i - 1] = '0';
      --i;
    }
    if (i == 0) {
      digits.insert(digits.begin(), '1');
      ++point;
    } else {
      ++digits[i - 1];
    }
  }
  normalize(*this);
}

std::string DecimalForm::integer_digits() const {
  if (point <= 0) return "";
  std::string result = digits.substr(0, static_cast<std::size_t>(point));
  result.resize(static_cast<std::size_t>(point), '0');
  return result;
}

std::string DecimalForm::fraction_digits(int count) const {
  std::string result;
  for (int j = 0; j < count; ++j) {
    long index = static_cast<long>(point) + j;
    bool inside = index >= 0 && index < static_cast<long>(digits.size());
    result += inside ? digits[static_cast<std::size_t>(index)] : '0';
  }
  return result;
}

DecimalForm decimal_of(double value, int significant) {
  // printf rounds the binary value correctly to the requested digits: "d.ddde+XX".
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, std::fabs(value));
  std::string text = buffer;
  std::size_t e = text.find('e');
  DecimalForm result;
  result.negative = std::signbit(value);
  result.digits = text.substr(0, 1) + text.substr(2, e - 2);
  result.point = std::atoi(text.c_str() + e + 1) + 1;
  normalize(result);
  return result;
}

DecimalForm decimal_of_integer(std::int64_t value) {
  return decimal_of_unsigned(magnitude_of(value), value < 0, 0);
}

DecimalForm decimal_of_scaled(std::int64_t scaled) {
  return decimal_of_unsigned(magnitude_of(scaled), scaled < 0, 4);
}

std::string plain_text(const DecimalForm& value) {
  if (value.is_zero()) return "0";
  std::string text = value.negative ? "-" : "";
  std::string whole = value.integer_digits();
  text += whole.empty() ? "0" : whole;
  int decimals = static_cast<int>(value.digits.size()) - value.point;
  if (decimals > 0) {
    text += '.';
    text += value.fraction_digits(decimals);
  }
  return text;
}

std::string shortest_text(const DecimalForm& value, int significant) {
  if (value.is_zero()) return "0";
  int exponent = value.point - 1;
  if (exponent > -5 && exponent < significant) return plain_text(value);
  std::string text = value.negative ? "-" : "";
  text += value.digits[0];
  if (value.digits.size() > 1) {
    text += '.';
    text.append(value.digits, 1);
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return text + buffer;
}

std::string non_finite_text(double value) {
  if (std::isnan(value)) return "-1.#IND";
  return value < 0 ? "-1.#INF" : "1.#INF";
}

}  // namespace vb::detail
