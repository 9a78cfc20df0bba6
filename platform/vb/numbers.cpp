// Numeric conversions: CInt, CLng, CSng, CDbl, CCur, CBool, IsNumeric and the number reader they
// share with Format.
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/vb/detail.h"
#include "platform/vb/errors.h"

namespace vb {

namespace {

enum class Parse { ok, not_a_number, overflow };

struct ParsedNumber {
  Parse status = Parse::not_a_number;
  double value = 0.0;
};

using text::is_blank;
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The reader behind parse_number. It tells a text that is no number (13) from one whose value
// does not fit a Double (6), which the conversions report differently. One left-to-right scan
// over a cursor that every step shares, kept in one piece so that the grammar reads in order.
ParsedNumber read_number(std::string_view text) {
  std::size_t i = 0;
  std::size_t n = text.size();
  auto skip_blanks = [&] {
    while (i < n && is_blank(text[i])) ++i;
  };
  std::string clean;  // what from_chars reads: "-123.45e6"
  bool have_sign = false;
  bool have_dollar = false;
  skip_blanks();
  // A sign and a "$" in either order: "-$5", "$-5".
  for (int k = 0; k < 2 && i < n; ++k) {
    if (!have_sign && (text[i] == '-' || text[i] == '+')) {
      if (text[i] == '-') clean += '-';
      have_sign = true;
      ++i;
      skip_blanks();
    } else if (!have_dollar && text[i] == '$') {
      have_dollar = true;
      ++i;
      skip_blanks();
    }
  }
  int digits = 0;
  long significant_whole_digits = 0;  // decides between overflow and underflow below
  while (i < n && (is_digit(text[i]) || (text[i] == ',' && digits > 0))) {
    if (text[i] != ',') {
      if (text[i] != '0' || significant_whole_digits > 0) ++significant_whole_digits;
      clean += text[i];
      ++digits;
    }
    ++i;
  }
  if (i < n && text[i] == '.') {
    clean += '.';
    ++i;
    while (i < n && is_digit(text[i])) {
      clean += text[i++];
      ++digits;
    }
  }
  if (digits == 0) return {};
  long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    clean += 'e';
    ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
      negative = text[i] == '-';
      clean += text[i++];
    }
    std::size_t start = i;
    while (i < n && is_digit(text[i])) {
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
      clean += text[i++];
    }
    if (i == start) return {};
    if (negative) exponent = -exponent;
  }
  skip_blanks();
  if (i != n) return {};

  double value = 0.0;
  auto [end, ec] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large overflows; too small is zero.
    if (significant_whole_digits + exponent > 0) return {Parse::overflow, 0.0};
    return {Parse::ok, 0.0};
  }
  if (ec != std::errc() || end != clean.data() + clean.size()) return {};
  return {Parse::ok, value};
}

double number_from_text(const std::string& text) {
  ParsedNumber parsed = read_number(text);
  if (parsed.status == Parse::overflow) throw err::overflow();
  if (parsed.status != Parse::ok) throw err::type_mismatch();
  return parsed.value;
}

// The value a numeric conversion starts from.
double numeric_value(const Variant& value) {
  return std::visit(detail::Overloaded{
                        [](const Empty&) { return 0.0; },
                        [](const Null&) -> double { throw err::invalid_use_of_null(); },
                        [](bool v) { return v ? -1.0 : 0.0; },
                        [](std::int16_t v) { return static_cast<double>(v); },
                        [](std::int32_t v) { return static_cast<double>(v); },
                        [](float v) { return static_cast<double>(v); },
                        [](double v) { return v; },
                        [](Currency v) { return v.to_double(); },
                        [](DateTime v) { return v.serial; },
                        [](const std::string& v) { return number_from_text(v); },
                        [](const StringArray&) -> double { throw err::type_mismatch(); },
                        [](const StringTable&) -> double { throw err::type_mismatch(); },
                        [](const Bytes&) -> double { throw err::type_mismatch(); },
                    },
                    value.storage());
}

template <class Int>
Int whole_number(const Variant& value) {
  double rounded = round_half_even(numeric_value(value));
  if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
    throw err::overflow();
  return static_cast<Int>(rounded);
}

}  // namespace

double round_half_even(double value) {
  if (!std::isfinite(value)) return value;
  double floor = std::floor(value);
  double fraction = value - floor;
  if (fraction < 0.5) return floor;
  if (fraction > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<double> parse_number(std::string_view text) {
  ParsedNumber parsed = read_number(text);
  if (parsed.status != Parse::ok) return std::nullopt;
  return parsed.value;
}

Currency Currency::from_double(double value) {
  // 2^63, exactly representable; the scaled value must stay below it.
  constexpr double kLimit = 9223372036854775808.0;
  double scaled = round_half_even(value * 10000.0);
  if (!(scaled >= -kLimit && scaled < kLimit)) throw err::overflow();
  return Currency{static_cast<std::int64_t>(scaled)};
}

std::int16_t CInt(const Variant& value) {
  return whole_number<std::int16_t>(value);
}

std::int32_t CLng(const Variant& value) {
  return whole_number<std::int32_t>(value);
}

float CSng(const Variant& value) {
  if (const float* v = value.get_if<float>()) return *v;
  double number = numeric_value(value);
  if (std::isfinite(number) && std::fabs(number) > std::numeric_limits<float>::max())
    throw err::overflow();
  return static_cast<float>(number);
}

double CDbl(const Variant& value) {
  return numeric_value(value);
}

Currency CCur(const Variant& value) {
  if (const Currency* v = value.get_if<Currency>()) return *v;
  if (const std::int16_t* v = value.get_if<std::int16_t>()) return Currency{*v * 10000LL};
  if (const std::int32_t* v = value.get_if<std::int32_t>()) return Currency{*v * 10000LL};
  return Currency::from_double(numeric_value(value));
}

bool CBool(const Variant& value) {
  if (const std::string* text = value.get_if<std::string>()) {
    std::string trimmed = Trim(*text);
    if (text::same_text(trimmed, "True")) return true;
    if (text::same_text(trimmed, "False")) return false;
  }
  return numeric_value(value) != 0.0;
}

bool IsNumeric(const Variant& value) {
  if (value.is_empty() || value.is_bool() || value.is_number()) return true;
  if (const std::string* text = value.get_if<std::string>())
    return read_number(*text).status == Parse::ok;
  return false;
}

}  // namespace vb
