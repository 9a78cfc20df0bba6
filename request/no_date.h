// The no-date marker: 19 February 1969 stands for an unknown date or time.
#pragma once

#include "platform/vb/variant.h"

namespace request {

inline constexpr double kNoDateSerial = 25253.0;
inline constexpr vb::DateTime kNoDate{kNoDateSerial};

inline bool is_no_date(vb::DateTime value) {
  return value.serial == kNoDateSerial;
}

}  // namespace request
