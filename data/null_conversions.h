// NullToStr and NullToZero: how every page reads a column value that may be Null.
// They belong to the approval module by tradition, so mdlApproval:: names them too.
#pragma once

#include <cstdint>
#include <string>

#include "platform/vb/variant.h"

namespace data {

// One blank " " for Null (callers that want "" trim it), else the value's text: a yes/no value
// gives "True" or "False". Other failures are CStr's.
std::string NullToStr(const vb::Variant& value);

// 0 for Null or the empty text, else the value as a 32-bit whole number; text that is no number
// raises 13 and a value out of range 6, as CLng does.
std::int32_t NullToZero(const vb::Variant& value);

}  // namespace data

namespace mdlApproval {
using data::NullToStr;
using data::NullToZero;
}  // namespace mdlApproval
