// The quoting helpers: typed values written as Jet literals that no content can break out of.
#include <array>
#include <charconv>
#include <cmath>

#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"

namespace db {

std::string quote_text(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

std::string quote_date(std::string_view text) {
  auto date = vb::parse_date_text(text);
  if (!date) throw vb::err::type_mismatch();
  return quote_date(*date);
}

std::string quote_date(vb::DateTime value) {
  if (!std::isfinite(value.serial)) throw vb::err::overflow();
  return "#" + vb::date_text(value) + "#";
}

std::string quote_long(const vb::Variant& value) {
  return std::to_string(vb::CLng(value));
}

std::string quote_double(const vb::Variant& value) {
  const double number = vb::CDbl(value);
  if (!std::isfinite(number)) throw vb::err::overflow();
  // The shortest text that reads back as the same double, so no digit is lost on the way.
  std::array<char, 64> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace db
