// Text conversions: CStr, the Trim family, case changes and comparison without regard to case.
#include <cmath>

#include "platform/vb/conversions.h"
#include "platform/vb/detail.h"
#include "platform/vb/errors.h"

namespace vb {

namespace {

constexpr int kDoubleDigits = 15;
constexpr int kSingleDigits = 7;

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string utf8_from_utf16le(std::string_view bytes) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::string out;
  std::size_t count = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[2 * i]) |
           (static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  for (std::size_t i = 0; i < count; ++i) {
    char32_t code = unit(i);
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = kReplacement;
    }
    append_utf8(out, code);
  }
  return out;
}

namespace {

std::string floating_text(double value, int significant) {
  if (!std::isfinite(value)) return detail::non_finite_text(value);
  return detail::shortest_text(detail::decimal_of(value, significant), significant);
}

}  // namespace

std::string CStr(const Variant& value) {
  return std::visit(
      detail::Overloaded{
          [](const Empty&) -> std::string { return ""; },
          [](const Null&) -> std::string { throw err::invalid_use_of_null(); },
          [](bool v) -> std::string { return v ? "True" : "False"; },
          [](std::int16_t v) { return std::to_string(v); },
          [](std::int32_t v) { return std::to_string(v); },
          [](float v) { return floating_text(v, kSingleDigits); },
          [](double v) { return floating_text(v, kDoubleDigits); },
          [](Currency v) { return detail::plain_text(detail::decimal_of_scaled(v.scaled)); },
          [](DateTime v) { return date_text(v); },
          [](const std::string& v) { return v; },
          [](const StringArray&) -> std::string { throw err::type_mismatch(); },
          [](const StringTable&) -> std::string { throw err::type_mismatch(); },
          [](const Bytes& v) {
            return utf8_from_utf16le(
                std::string_view(reinterpret_cast<const char*>(v.data()), v.size()));
          },
      },
      value.storage());
}

std::string LTrim(std::string_view text) {
  return text::trim_left(text);
}

std::string RTrim(std::string_view text) {
  return text::trim_right(text);
}

std::string Trim(std::string_view text) {
  return text::trim(text);
}

std::string UCase(std::string_view text) {
  return text::upper_ascii(text);
}

std::string LCase(std::string_view text) {
  return text::lower_ascii(text);
}

}  // namespace vb
