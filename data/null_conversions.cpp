// NullToStr and NullToZero.
#include "data/null_conversions.h"

#include "platform/vb/conversions.h"

namespace data {

std::string NullToStr(const vb::Variant& value) {
  if (value.is_null()) return " ";
  return vb::CStr(value);
}

std::int32_t NullToZero(const vb::Variant& value) {
  if (value.is_null()) return 0;
  if (const auto* text = value.get_if<std::string>(); text && text->empty()) return 0;
  return vb::CLng(value);
}

}  // namespace data
