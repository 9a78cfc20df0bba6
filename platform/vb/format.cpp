// Format: numeric patterns of "0", "#", ",", ".", "%" and literal text, and the named formats.
//
// A pattern has up to three sections separated by ";": positive, negative, zero. The number is
// first turned into its decimal form (15 significant digits for a Double, 7 for a Single, exact
// for whole numbers and Currency) and rounded half away from zero on those decimal digits, which
// is why 2.345 gives "2.35" although the binary value lies just below 2.345. Digits are then
// laid right to left into the integer placeholders, the leftmost one taking any surplus.
#include <cmath>
#include <vector>

#include "platform/vb/conversions.h"
#include "platform/vb/detail.h"
#include "platform/vb/errors.h"

namespace vb {

namespace {

using detail::DecimalForm;

struct Element {
  enum Type { digit, point, comma, percent, literal } type;
  char placeholder = 0;  // '0' or '#' for digits
  std::string text;      // for literals
};

using Section = std::vector<Element>;

std::vector<Section> parse_pattern(std::string_view pattern) {
  std::vector<Section> sections(1);
  bool seen_point = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    Section& section = sections.back();
    if (c == ';') {
      sections.emplace_back();
      seen_point = false;
    } else if (c == '"') {
      std::size_t end = pattern.find('"', i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      section.push_back({Element::literal, 0, std::string(pattern.substr(i + 1, end - i - 1))});
      i = end;
    } else if (c == '\\' && i + 1 < pattern.size()) {
      section.push_back({Element::literal, 0, std::string(1, pattern[++i])});
    } else if (c == '0' || c == '#') {
      section.push_back({Element::digit, c, ""});
    } else if (c == '.' && !seen_point) {
      seen_point = true;
      section.push_back({Element::point, 0, ""});
    } else if (c == ',') {
      section.push_back({Element::comma, 0, ""});
    } else if (c == '%') {
      section.push_back({Element::percent, 0, "%"});
    } else {
      section.push_back({Element::literal, 0, std::string(1, c)});
    }
  }
  return sections;
}

// Where a section's parts stand: the point, the integer and fraction placeholders, and what
// each comma in the integer part means: between placeholders it asks for thousands separators;
// right of the last one it divides by 1000; before the first it is plain text.
struct Layout {
  std::size_t point = 0;
  std::vector<std::size_t> integer_slots;
  int fraction_slots = 0;
  int percents = 0;
  bool grouping = false;
  int scale_commas = 0;
  std::vector<bool> literal_comma;
};

Layout layout_of(const Section& section) {
  Layout layout;
  layout.point = section.size();
  for (std::size_t i = 0; i < section.size(); ++i) {
    if (section[i].type == Element::point) layout.point = i;
  }
  for (std::size_t i = 0; i < section.size(); ++i) {
    if (section[i].type == Element::digit) {
      if (i < layout.point) {
        layout.integer_slots.push_back(i);
      } else {
        ++layout.fraction_slots;
      }
    }
    if (section[i].type == Element::percent) ++layout.percents;
  }
  const std::vector<std::size_t>& slots = layout.integer_slots;
  layout.literal_comma.assign(section.size(), false);
  for (std::size_t i = 0; i < section.size(); ++i) {
    if (section[i].type != Element::comma) continue;
    bool digit_before = !slots.empty() && slots.front() < i;
    bool digit_after = !slots.empty() && slots.back() > i;
    if (i > layout.point || !digit_before) {
      layout.literal_comma[i] = true;
    } else if (digit_after) {
      layout.grouping = true;
    } else {
      ++layout.scale_commas;
    }
  }
  return layout;
}

// The integer digits, padded to the placeholders from the first "0" on.
std::string integer_digits(const Section& section, const Layout& layout,
                           const DecimalForm& number) {
  std::string digits = number.integer_digits();
  const std::vector<std::size_t>& slots = layout.integer_slots;
  std::size_t minimum = 0;
  for (std::size_t k = 0; k < slots.size(); ++k) {
    if (section[slots[k]].placeholder == '0') {
      minimum = slots.size() - k;
      break;
    }
  }
  if (digits.size() < minimum) digits.insert(0, minimum - digits.size(), '0');
  return digits;
}

// The fraction digits; trailing zeros under "#" are dropped.
std::string fraction_digits(const Section& section, const Layout& layout,
                            const DecimalForm& number) {
  std::string fraction = number.fraction_digits(layout.fraction_slots);
  std::vector<char> placeholders;
  for (std::size_t i = layout.point; i < section.size(); ++i) {
    if (section[i].type == Element::digit) placeholders.push_back(section[i].placeholder);
  }
  while (!fraction.empty() && fraction.back() == '0' && placeholders[fraction.size() - 1] == '#') {
    fraction.pop_back();
  }
  return fraction;
}

// Lays out the magnitude of `number`; its sign becomes a leading "-" unless the rounded value is
// zero ("0.00", not "-0.00").
std::string render(const Section& section, DecimalForm number, bool with_sign) {
  const Layout layout = layout_of(section);
  const std::size_t point = layout.point;
  const std::vector<std::size_t>& integer_slots = layout.integer_slots;
  const bool grouping = layout.grouping;
  number.point += 2 * layout.percents - 3 * layout.scale_commas;
  number.round_to(layout.fraction_slots);
  const std::string digits = integer_digits(section, layout, number);
  const std::string fraction = fraction_digits(section, layout, number);

  std::string out = with_sign && number.negative && !number.is_zero() ? "-" : "";
  std::size_t next_digit = 0;  // index into `digits`
  auto emit_digits = [&](std::size_t count) {
    for (std::size_t n = 0; n < count && next_digit < digits.size(); ++n, ++next_digit) {
      out += digits[next_digit];
      std::size_t from_right = digits.size() - 1 - next_digit;
      if (grouping && from_right > 0 && from_right % 3 == 0) out += ',';
    }
  };
  std::size_t slots_left = integer_slots.size();
  std::size_t fraction_index = 0;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const Element& element = section[i];
    if (i == point && integer_slots.empty()) emit_digits(digits.size());
    switch (element.type) {
      case Element::digit:
        if (i < point) {
          // Each slot takes one digit from the right; the leftmost takes all that remain.
          std::size_t remaining = digits.size() - next_digit;
          emit_digits(slots_left == integer_slots.size() && remaining >= slots_left
                          ? remaining - slots_left + 1
                          : (remaining >= slots_left ? 1 : 0));
          --slots_left;
        } else if (fraction_index < fraction.size()) {
          out += fraction[fraction_index++];
        }
        break;
      case Element::point:
        out += '.';
        break;
      case Element::comma:
        if (layout.literal_comma[i]) out += ',';
        break;
      case Element::percent:
      case Element::literal:
        out += element.text;
        break;
    }
  }
  return out;
}

// The named formats that the application and its reports use.
std::string_view named_pattern(std::string_view name) {
  if (text::same_text(name, "Currency")) return "$#,##0.00;($#,##0.00)";
  if (text::same_text(name, "Fixed")) return "0.00";
  if (text::same_text(name, "Standard")) return "#,##0.00";
  if (text::same_text(name, "Percent")) return "0.00%";
  return name;
}

std::string format_number(const DecimalForm& number, std::string_view pattern) {
  std::vector<Section> sections = parse_pattern(named_pattern(pattern));
  // A section of its own for negatives carries its own sign ("($5.00)").
  if (number.negative && sections.size() >= 2 && !sections[1].empty())
    return render(sections[1], number, false);
  if (number.is_zero() && sections.size() >= 3 && !sections[2].empty())
    return render(sections[2], number, false);
  return render(sections[0], number, true);
}

}  // namespace

std::string Format(const Variant& value, std::string_view pattern) {
  if (value.is_null() || value.is_empty()) return "";
  if (value.is_array() || value.is_table()) throw err::type_mismatch();
  if (pattern.empty() || text::same_text(pattern, "General Number")) return CStr(value);

  DecimalForm number;
  if (const std::string* text = value.get_if<std::string>()) {
    std::optional<double> parsed = parse_number(*text);
    if (!parsed) return *text;
    number = detail::decimal_of(*parsed, 15);
  } else if (value.holds<Bytes>()) {
    return Format(Variant(CStr(value)), pattern);
  } else if (const Currency* money = value.get_if<Currency>()) {
    number = detail::decimal_of_scaled(money->scaled);
  } else if (const float* single = value.get_if<float>()) {
    if (!std::isfinite(*single)) return detail::non_finite_text(*single);
    number = detail::decimal_of(*single, 7);
  } else if (value.holds<std::int16_t>() || value.holds<std::int32_t>() || value.is_bool()) {
    number = detail::decimal_of_integer(CLng(value));
  } else {
    double real = CDbl(value);  // Double or a date's serial
    if (!std::isfinite(real)) return detail::non_finite_text(real);
    number = detail::decimal_of(real, 15);
  }
  return format_number(number, pattern);
}

}  // namespace vb
